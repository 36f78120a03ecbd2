// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "imaging/image_loader.h"

#include "imaging/dib_layout.h"
#include "imaging/image_format.h"
#include "imaging/image_stream.h"
#include "imaging/page_reader.h"

#include <QByteArray>
#include <QImage>

#include <algorithm>
#include <array>
#include <cstring>

namespace imaging {

namespace {

// The rest of the stream, for Qt's decoders.
QByteArray remainingBytes(ImageStream& stream) {
    const std::vector<std::uint8_t> bytes = RemainingBytes(stream);
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

void loadWithQt(TDIB& image, ImageStream& stream, const char* format, const char* name) {
    const QImage decoded = QImage::fromData(remainingBytes(stream), format);
    if (decoded.isNull()) throw ImageError(std::string("Invalid ") + name + " image");
    LoadFromQImage(image, decoded);
}

int dpiOf(int dotsPerMetre) {
    return dib::dpiFromPelsPerMetre(dotsPerMetre);
}

} // namespace

void LoadFromQImage(TDIB& image, const QImage& source) {
    if (source.isNull()) throw ImageError("Invalid image");
    const int width = source.width();
    const int height = source.height();
    const int xDpi = dpiOf(source.dotsPerMeterX());
    const int yDpi = dpiOf(source.dotsPerMeterY());
    TDIB loaded;

    const QImage::Format format = source.format();
    if (format == QImage::Format_Mono || format == QImage::Format_MonoLSB ||
        format == QImage::Format_Indexed8) {
        const bool mono = format != QImage::Format_Indexed8;
        const QImage converted = mono ? source.convertToFormat(QImage::Format_Mono) : source;
        loaded.NewImage(width, height, mono ? pf1bit : pf8bit, xDpi, yDpi);
        const QList<QRgb> table = converted.colorTable();
        // Qt reads black-and-white bitmaps as white-then-black; bilevel pages
        // are kept black-then-white (black pixels are 0 bits) as TIFF pages are.
        const bool whiteThenBlack = mono && table.size() == 2 && table[0] == qRgb(255, 255, 255) &&
                                    table[1] == qRgb(0, 0, 0);
        if (!whiteThenBlack)
            for (int i = 0; i < int(std::min<qsizetype>(table.size(), loaded.PaletteSize())); ++i)
                loaded.SetPaletteEntry(
                    i, dib::paletteValue(qRed(table[i]), qGreen(table[i]), qBlue(table[i])));
        const std::size_t bytes =
            std::min<std::size_t>(loaded.RowBytes(), std::size_t(converted.bytesPerLine()));
        for (int y = 0; y < height; ++y)
            std::memcpy(loaded.ScanLine(y), converted.constScanLine(y), bytes);
        if (whiteThenBlack) loaded.Invert();
    } else if (format == QImage::Format_Grayscale8) {
        loaded.NewImage(width, height, pf8bit, xDpi, yDpi);
        for (int y = 0; y < height; ++y)
            std::memcpy(loaded.ScanLine(y), source.constScanLine(y), std::size_t(width));
    } else {
        const QImage rgb = source.convertToFormat(QImage::Format_RGB888);
        loaded.NewImage(width, height, pf24bit, xDpi, yDpi);
        for (int y = 0; y < height; ++y) {
            const uchar* line = rgb.constScanLine(y);
            for (int x = 0; x < width; ++x)
                loaded.SetPixel(x, y, RgbValue(line[3 * x], line[3 * x + 1], line[3 * x + 2]));
        }
    }
    image = std::move(loaded);
}

TiffCompression LoadFromStream(TDIB& image, ImageStream& stream, int page) {
    if (DetectImageFormat(stream) != ImageFormat::Bmp) return LoadPage(image, stream, page);
    loadWithQt(image, stream, "BMP", "BMP");
    return tcAuto;
}

TiffCompression LoadFromFile(TDIB& image, const std::string& fileName, int page) {
    FileStream stream(fileName, FileStream::Mode::Read);
    return LoadFromStream(image, stream, page);
}

} // namespace imaging
