#include "evalia/zone_overlay.h"

#include <QBrush>
#include <QColor>
#include <QFontMetrics>
#include <QPainter>
#include <QPen>

#include <cmath>

namespace evalia {

namespace {

// Nearest integer of a scaled value, ties to even, in extended precision.
int ScaleRounded(int value, long double factor) {
    return static_cast<int>(std::nearbyintl(static_cast<long double>(value) * factor));
}

QColor ColourOf(std::int32_t content) {
    const zones::ZoneColour c = zones::zoneColour(content);
    return QColor(c.red, c.green, c.blue);
}

bool IsHighlighted(int zone, const ZoneOverlayState& state) {
    return zone == state.listSelection ||
           (state.selected != nullptr && state.selected->Contains(zone));
}

struct SurfaceRect {
    int left, top, right, bottom;
};

SurfaceRect ToSurface(const zones::ZoneRecord& zone, double zoom) {
    return {PageToSurface(zone.left, zoom), PageToSurface(zone.top, zoom),
            PageToSurface(zone.right, zoom), PageToSurface(zone.bottom, zoom)};
}

// A 1-pixel outline over columns left .. right - 1 and rows top .. bottom - 1,
// filled inside with the painter's brush. A stroked QRect covers one pixel
// more than its size each way, hence the - 1; a zone one pixel wide or high
// at this zoom is a plain line, and an empty one is not drawn.
void DrawOutline(QPainter& painter, const SurfaceRect& r) {
    if (r.right <= r.left || r.bottom <= r.top) return;
    if (r.right - r.left == 1 || r.bottom - r.top == 1)
        painter.drawLine(r.left, r.top, r.right - 1, r.bottom - 1);
    else
        painter.drawRect(r.left, r.top, r.right - 1 - r.left, r.bottom - 1 - r.top);
}

void DrawLabel(QPainter& painter, int zone, const SurfaceRect& r) {
    const int x = (r.left + r.right) / 2;
    const int y = (r.top + r.bottom) / 2;
    painter.drawText(QPoint(x, y + painter.fontMetrics().ascent()), QString::number(zone));
}

} // namespace

int PageToSurface(int value, double zoom) {
    return ScaleRounded(value, static_cast<long double>(zoom) / 100.0L);
}

int SurfaceToPage(int value, double zoom) {
    return ScaleRounded(value, 100.0L / static_cast<long double>(zoom));
}

void DrawZoneOverlay(QPainter& painter, std::span<const zones::ZoneRecord> zones,
                     const ZoneOverlayState& state) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBackgroundMode(Qt::TransparentMode);
    for (std::size_t i = 0; i < zones.size(); ++i) {
        const zones::ZoneRecord& zone = zones[i];
        if (!state.shownKinds.showsContent(zone.content)) continue;
        const int number = static_cast<int>(i);
        const QColor colour = ColourOf(zone.content);
        const SurfaceRect r = ToSurface(zone, state.zoom);
        painter.setPen(QPen(colour, 0, Qt::SolidLine));
        painter.setBrush(IsHighlighted(number, state) ? QBrush(colour, Qt::DiagCrossPattern)
                                                      : QBrush(Qt::NoBrush));
        DrawOutline(painter, r);
        DrawLabel(painter, number, r);
    }
    painter.restore();
}

std::vector<int> ZonesAtSurfacePoint(std::span<const zones::ZoneRecord> zones, QPoint surfacePoint,
                                     double zoom) {
    const int x = SurfaceToPage(surfacePoint.x(), zoom);
    const int y = SurfaceToPage(surfacePoint.y(), zoom);
    std::vector<int> hits;
    for (std::size_t i = 0; i < zones.size(); ++i) {
        const zones::ZoneRecord& z = zones[i];
        if (z.left <= x && x < z.right && z.top <= y && y < z.bottom)
            hits.push_back(static_cast<int>(i));
    }
    return hits;
}

} // namespace evalia
