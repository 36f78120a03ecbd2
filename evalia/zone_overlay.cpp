// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "evalia/zone_overlay.h"

#include "evalia/zone_colours.h"

#include <QBrush>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QPen>

#include <algorithm>
#include <cmath>

namespace evalia {

namespace {

// The viewer's font size, kept for numbers up to 100 %, and the largest size
// they grow to when zoomed in.
constexpr int kLabelPixelSize = 11;
constexpr int kLargestLabelPixelSize = 48;
constexpr qreal kHaloWidth = 3.0;

// Nearest integer of a scaled value, ties to even, in extended precision.
int ScaleRounded(int value, long double factor) {
    return static_cast<int>(std::nearbyintl(static_cast<long double>(value) * factor));
}

bool IsHighlighted(int zone, const ZoneOverlayState& state) {
    return zone == state.listSelection ||
           (state.selected != nullptr && state.selected->Contains(zone));
}

// A 1-pixel outline over the rectangle's columns and rows, filled inside with
// the painter's brush. A stroked QRect covers one pixel more than its size
// each way, hence the - 1; a zone one pixel wide or high at this zoom is a
// plain line, and an empty one is not drawn.
void DrawOutline(QPainter& painter, const QRect& r) {
    if (r.isEmpty()) return;
    if (r.width() == 1 || r.height() == 1)
        painter.drawLine(r.topLeft(), r.bottomRight());
    else
        painter.drawRect(r.x(), r.y(), r.width() - 1, r.height() - 1);
}

// The contrast ring of a light colour: one pixel outside and one inside the
// outline, which itself keeps the kind's colour.
void DrawContrastRing(QPainter& painter, const QRect& r, const QColor& colour) {
    if (r.isEmpty()) return;
    painter.save();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(ContrastShade(colour), 0));
    DrawOutline(painter, r.adjusted(-1, -1, 1, 1));
    if (r.width() > 2 && r.height() > 2) DrawOutline(painter, r.adjusted(1, 1, -1, -1));
    painter.restore();
}

int LabelPixelSize(double zoom) {
    const double grown = kLabelPixelSize * zoom / 100.0;
    return std::clamp(static_cast<int>(std::lround(grown)), kLabelPixelSize,
                      kLargestLabelPixelSize);
}

void DrawLabel(QPainter& painter, int zone, const QRect& r, const QColor& colour) {
    const QFontMetrics metrics(painter.font());
    const QPointF baseline((r.left() + r.left() + r.width()) / 2,
                           (r.top() + r.top() + r.height()) / 2 + metrics.ascent());
    QPainterPath path;
    path.addText(baseline, painter.font(), QString::number(zone));
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.strokePath(
        path, QPen(ContrastShade(colour), kHaloWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.fillPath(path, colour);
    painter.restore();
}

} // namespace

int PageToSurface(int value, double zoom) {
    return ScaleRounded(value, static_cast<long double>(zoom) / 100.0L);
}

int SurfaceToPage(int value, double zoom) {
    return ScaleRounded(value, 100.0L / static_cast<long double>(zoom));
}

QPoint SurfaceToPage(QPoint surfacePoint, const SurfaceScale& scale) {
    return {SurfaceToPage(surfacePoint.x(), scale.x), SurfaceToPage(surfacePoint.y(), scale.y)};
}

QRect ZoneSurfaceRect(const zones::ZoneRecord& zone, const SurfaceScale& scale) {
    const int left = PageToSurface(zone.left, scale.x);
    const int top = PageToSurface(zone.top, scale.y);
    return {left, top, PageToSurface(zone.right, scale.x) - left,
            PageToSurface(zone.bottom, scale.y) - top};
}

void DrawZoneOverlay(QPainter& painter, std::span<const zones::ZoneRecord> zones,
                     const ZoneOverlayState& state) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBackgroundMode(Qt::TransparentMode);
    QFont font = painter.font();
    font.setPixelSize(LabelPixelSize(state.scale.x));
    painter.setFont(font);
    for (std::size_t i = 0; i < zones.size(); ++i) {
        const zones::ZoneRecord& zone = zones[i];
        if (!state.shownKinds.showsContent(zone.content)) continue;
        const int number = static_cast<int>(i);
        const QColor colour = ZoneQColor(zone.content);
        const QRect r = ZoneSurfaceRect(zone, state.scale);
        if (IsLight(colour)) DrawContrastRing(painter, r, colour);
        painter.setPen(QPen(colour, 0, Qt::SolidLine));
        painter.setBrush(IsHighlighted(number, state) ? QBrush(colour, Qt::DiagCrossPattern)
                                                      : QBrush(Qt::NoBrush));
        DrawOutline(painter, r);
        if (state.showNumbers) DrawLabel(painter, number, r, colour);
    }
    painter.restore();
}

std::vector<int> ZonesAtPagePoint(std::span<const zones::ZoneRecord> zones, QPoint pagePoint) {
    std::vector<int> hits;
    for (std::size_t i = 0; i < zones.size(); ++i) {
        const zones::ZoneRecord& z = zones[i];
        if (z.left <= pagePoint.x() && pagePoint.x() < z.right && z.top <= pagePoint.y() &&
            pagePoint.y() < z.bottom)
            hits.push_back(static_cast<int>(i));
    }
    return hits;
}

std::vector<int> ZonesAtSurfacePoint(std::span<const zones::ZoneRecord> zones, QPoint surfacePoint,
                                     const SurfaceScale& scale) {
    return ZonesAtPagePoint(zones, SurfaceToPage(surfacePoint, scale));
}

} // namespace evalia
