// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// TDIB and Qt: a top-down QImage copy for display, the drawing canvas
// (a painter on a copy of the pixels, copied back when closed) and
// StretchDraw onto a caller's painter.
#include "imaging/dib_canvas.h"
#include "imaging/dib_image.h"
#include "imaging/dib_layout.h"

#include <QColor>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstring>
#include <unordered_map>

namespace imaging {

using namespace dib;

namespace {

QList<QRgb> colorTable(const TDIB& image) {
    QList<QRgb> table;
    for (const PaletteColor& c : image.GetPalette()) table.append(qRgb(c.red, c.green, c.blue));
    return table;
}

int squaredDistance(QRgb a, QRgb b) {
    const int dr = qRed(a) - qRed(b);
    const int dg = qGreen(a) - qGreen(b);
    const int db = qBlue(a) - qBlue(b);
    return dr * dr + dg * dg + db * db;
}

// Palette index whose colour is nearest to `color` (the first on a tie).
int nearestIndex(const QList<QRgb>& table, QRgb color) {
    int best = 0;
    int bestDistance = -1;
    for (int i = 0; i < int(table.size()); ++i) {
        const int d = squaredDistance(table[i], color);
        if (bestDistance < 0 || d < bestDistance) best = i, bestDistance = d;
    }
    return best;
}

} // namespace

QImage TDIB::ToQImage() const {
    if (!IsValid() || Width() == 0 || Height() == 0) return {};
    const int width = Width();
    const int height = Height();
    QImage image;
    switch (pixelFormat_) {
    case pf1bit:
        // Qt's Mono format is most significant bit first, like the DIB.
        image = QImage(width, height, QImage::Format_Mono);
        image.setColorTable(colorTable(*this));
        for (int y = 0; y < height; ++y)
            std::memcpy(image.scanLine(y), rows_[std::size_t(y)], rowBytes_);
        break;
    case pf4bit:
    case pf8bit:
        image = QImage(width, height, QImage::Format_Indexed8);
        image.setColorTable(colorTable(*this));
        for (int y = 0; y < height; ++y) {
            uchar* line = image.scanLine(y);
            for (int x = 0; x < width; ++x) line[x] = uchar((this->*getPixel_)(x, y));
        }
        break;
    case pf15bit:
    case pf16bit:
        image = QImage(width, height, QImage::Format_RGB555);
        for (int y = 0; y < height; ++y)
            std::memcpy(image.scanLine(y), rows_[std::size_t(y)], rowBytes_);
        break;
    case pf24bit:
        // The DIB holds blue, green, red; Qt's RGB888 red, green, blue.
        image = QImage(width, height, QImage::Format_RGB888);
        for (int y = 0; y < height; ++y) {
            const std::uint8_t* source = rows_[std::size_t(y)];
            uchar* line = image.scanLine(y);
            for (int x = 0; x < width; ++x) {
                line[3 * x] = source[3 * x + 2];
                line[3 * x + 1] = source[3 * x + 1];
                line[3 * x + 2] = source[3 * x];
            }
        }
        break;
    }
    image.setDotsPerMeterX(HeaderField32(kXPelsField));
    image.setDotsPerMeterY(HeaderField32(kYPelsField));
    return image;
}

QPainter* TDIB::CanvasHandle() {
    if (canvas_) return static_cast<Canvas&>(*canvas_).painter.get();
    QImage image = ToQImage();
    if (image.isNull()) throw ImageError("Cannot open a canvas on the image");
    // Qt cannot paint on indexed images: palette formats are drawn in RGB
    // and mapped back to the palette when the canvas closes.
    if (image.format() == QImage::Format_Mono || image.format() == QImage::Format_Indexed8)
        image = image.convertToFormat(QImage::Format_RGB32);

    auto canvas = std::make_unique<Canvas>();
    canvas->image = std::move(image);
    canvas->width = Width();
    canvas->height = Height();
    canvas->format = pixelFormat_;
    canvas->painter = std::make_unique<QPainter>(&canvas->image);
    if (!canvas->painter->isActive()) throw ImageError("Cannot open a canvas on the image");
    QPainter* painter = canvas->painter.get();
    canvas_ = std::move(canvas);
    return painter;
}

void TDIB::CloseCanvas() {
    if (!canvas_) return;
    const std::unique_ptr<Canvas> canvas(static_cast<Canvas*>(canvas_.release()));
    canvas->painter->end();
    canvas->painter.reset();
    if (canvas->width != Width() || canvas->height != Height() || canvas->format != pixelFormat_)
        return;

    const QImage& image = canvas->image;
    const int width = Width();
    const int height = Height();
    switch (pixelFormat_) {
    case pf1bit:
    case pf4bit:
    case pf8bit: {
        // A pixel still showing its own palette colour keeps its index (even
        // when the palette holds that colour twice); others take the nearest.
        const QList<QRgb> table = colorTable(*this);
        std::unordered_map<QRgb, int> nearest;
        for (int y = 0; y < height; ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int x = 0; x < width; ++x) {
                const QRgb color = line[x] | 0xFF000000u;
                const int index = (this->*getPixel_)(x, y);
                if (index < int(table.size()) && table[index] == color) continue;
                auto found = nearest.find(color);
                if (found == nearest.end())
                    found = nearest.emplace(color, nearestIndex(table, color)).first;
                (this->*setPixel_)(x, y, found->second);
            }
        }
        break;
    }
    case pf15bit:
    case pf16bit:
        for (int y = 0; y < height; ++y)
            std::memcpy(rows_[std::size_t(y)], image.constScanLine(y), rowBytes_);
        break;
    case pf24bit:
        for (int y = 0; y < height; ++y) {
            const uchar* line = image.constScanLine(y);
            std::uint8_t* row = rows_[std::size_t(y)];
            for (int x = 0; x < width; ++x) {
                row[3 * x] = line[3 * x + 2];
                row[3 * x + 1] = line[3 * x + 1];
                row[3 * x + 2] = line[3 * x];
            }
        }
        break;
    }
}

void TDIB::StretchDraw(QPainter& painter, int x, int y, int width, int height, int mode) const {
    const QImage image = ToQImage();
    if (image.isNull()) return;
    // Mode 3 (halftone) scales smoothly; modes 0 to 2 take the nearest pixel.
    const bool smoothBefore = painter.testRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, mode == 3);
    painter.drawImage(QRect(x, y, width, height), image);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, smoothBefore);
}

} // namespace imaging
