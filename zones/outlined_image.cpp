// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "zones/outlined_image.h"

#include "imaging/image_stream.h"
#include "imaging/tiff_io.h"
#include "zones/output_file.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPen>
#include <QString>

#include <algorithm>
#include <stdexcept>

namespace zones {
namespace {

constexpr imaging::TiffCompression kLzw = imaging::tcLzw;
constexpr int kOneStrip = 0; // rows per strip: all rows in one strip

// Closes the canvas on every path, so the drawing reaches the image or is dropped cleanly.
class CanvasScope {
  public:
    explicit CanvasScope(imaging::TDIB& image) : image_(image), painter_(*image.CanvasHandle()) {}
    ~CanvasScope() {
        if (image_.CanvasOpen()) image_.CloseCanvas();
    }
    CanvasScope(const CanvasScope&) = delete;
    CanvasScope& operator=(const CanvasScope&) = delete;

    QPainter& painter() { return painter_; }
    void close() { image_.CloseCanvas(); }

  private:
    imaging::TDIB& image_;
    QPainter& painter_;
};

QColor qtColour(std::int32_t content) {
    const ZoneColour c = zoneColour(content);
    return QColor(c.red, c.green, c.blue);
}

// A 1-pixel outline over columns left .. right - 1 and rows top .. bottom - 1.
// A stroked QRect covers one pixel more than its size each way, hence the - 1;
// a one-pixel-wide or -high zone is a plain line.
void drawOutline(QPainter& painter, int left, int top, int right, int bottom) {
    if (right <= left || bottom <= top) return;
    if (right - left == 1 || bottom - top == 1)
        painter.drawLine(left, top, right - 1, bottom - 1);
    else
        painter.drawRect(left, top, right - 1 - left, bottom - 1 - top);
}

// Writes `text` with its top-left corner at (x, y).
void drawLabel(QPainter& painter, int x, int y, const QString& text) {
    painter.drawText(x, y + painter.fontMetrics().ascent(), text);
}

void drawZone(QPainter& painter, std::int32_t index, const ZoneRecord& zone, int d,
              ZoneLabels labels) {
    const int left = zone.left / d, top = zone.top / d;
    const int right = zone.right / d, bottom = zone.bottom / d;
    const QColor colour = qtColour(zone.content);
    painter.setPen(QPen(colour, 0)); // cosmetic: exactly one pixel wide
    painter.setBrush(Qt::NoBrush);
    drawOutline(painter, left, top, right, bottom);
    if (labels == ZoneLabels::Numbered)
        drawLabel(painter, (left + right) / d, (top + bottom) / d, QString::number(index));
}

} // namespace

imaging::TDIB outlinedImage(const imaging::TDIB& page, int divisor, const ZoneSource& zones,
                            const ShownZoneKinds& shown, ZoneLabels labels) {
    if (divisor < 1) throw std::invalid_argument("outlined image: divisor below 1");
    imaging::TDIB image = page.Clone();
    // A side shorter than the divisor still keeps one pixel: an image with a
    // side of 0 has no canvas to draw on.
    image.Resize(std::max(1, image.Width() / divisor), std::max(1, image.Height() / divisor),
                 false);
    image.ConvertTo(imaging::pf24bit);
    CanvasScope canvas(image);
    QPainter& painter = canvas.painter();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.setFont(QFont());
    const std::int32_t n = zones.zoneCount();
    for (std::int32_t i = 0; i < n; ++i) {
        const ZoneRecord zone = zones.zone(i);
        if (shown.showsContent(zone.content)) drawZone(painter, i, zone, divisor, labels);
    }
    canvas.close();
    // Set once drawn: Qt sizes the numbers' font by the image's resolution.
    image.SetXDpi(page.XDpi() / divisor);
    image.SetYDpi(page.YDpi() / divisor);
    return image;
}

std::vector<std::uint8_t> outlinedImageTiff(const imaging::TDIB& page, int divisor,
                                            const ZoneSource& zones, const ShownZoneKinds& shown,
                                            ZoneLabels labels) {
    const imaging::TDIB image = outlinedImage(page, divisor, zones, shown, labels);
    imaging::MemoryStream tiff;
    imaging::SaveTiff(image, tiff, false, kLzw, kOneStrip);
    return tiff.Bytes();
}

void WriteOutlinedImage(const imaging::TDIB& page, const std::filesystem::path& file, int divisor,
                        const ZoneSource& zones, const ShownZoneKinds& shown, ZoneLabels labels) {
    const std::vector<std::uint8_t> tiff = outlinedImageTiff(page, divisor, zones, shown, labels);
    WriteOutput(file, {reinterpret_cast<const char*>(tiff.data()), tiff.size()});
}

} // namespace zones
