// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// TDIB geometry: nearest-neighbour and smooth resize, canvas resize, and the
// row and column shifts that straighten a deskewed page.
#include "imaging/dib_image.h"
#include "imaging/dib_layout.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace imaging {

using namespace dib;

namespace {

// Nearest source index of destination index i at scale s (rounding half to
// even), kept inside the source: when growing, the last destination index
// would otherwise round to one past the source's end.
int nearestSource(double scale, int i, int sourceSize) {
    const int source = roundHalfEven(scale * double(i));
    return std::clamp(source, 0, sourceSize - 1);
}

// Each destination pixel takes the average of the source pixels its area
// covers: per channel for 24 bits, of the values for 1, 4 and 8 bits (the
// standard palettes are ordered from dark to light); 16-bit words take the
// area's first pixel.
void averageInto(const TDIB& source, TDIB& target) {
    const int width = source.Width();
    const int height = source.Height();
    const double sx = double(width) / target.Width();
    const double sy = double(height) / target.Height();
    const PixelFormat format = source.Format();
    const bool words = format == pf15bit || format == pf16bit;
    const int channels = format == pf24bit ? 3 : 1;
    for (int y = 0; y < target.Height(); ++y) {
        const int y0 = std::min(int(y * sy), height - 1);
        const int y1 = std::clamp(int((y + 1) * sy), y0 + 1, height);
        for (int x = 0; x < target.Width(); ++x) {
            const int x0 = std::min(int(x * sx), width - 1);
            const int x1 = std::clamp(int((x + 1) * sx), x0 + 1, width);
            if (words) {
                target.SetPixel(x, y, source.GetPixel(x0, y0));
                continue;
            }
            double sum[3] = {0, 0, 0};
            for (int yy = y0; yy < y1; ++yy)
                for (int xx = x0; xx < x1; ++xx) {
                    const int v = source.GetPixel(xx, yy);
                    if (channels == 1)
                        sum[0] += v;
                    else
                        for (int c = 0; c < 3; ++c) sum[c] += v >> (8 * c) & 0xFF;
                }
            const double n = double(y1 - y0) * double(x1 - x0);
            int value = roundHalfEven(sum[0] / n);
            if (channels == 3)
                value = RgbValue(value, roundHalfEven(sum[1] / n), roundHalfEven(sum[2] / n));
            target.SetPixel(x, y, value);
        }
    }
}

} // namespace

void TDIB::Resize(int newWidth, int newHeight, bool smooth) {
    if (!IsValid()) return;
    const int width = Width();
    const int height = Height();
    if (newWidth == width && newHeight == height) return;
    geometryFor(newWidth, newHeight, BitCount() == 15 ? 16 : BitCount()); // refuse before work
    if (newWidth == 0 || newHeight == 0 || width == 0 || height == 0) {
        ResizeCanvas(newWidth, newHeight, 0);
        return;
    }

    if (smooth) {
        const TDIB source = Clone();
        ResizeCanvas(newWidth, newHeight, 0);
        averageInto(source, *this);
        return;
    }

    const double sx = double(width) / newWidth;
    const double sy = double(height) / newHeight;
    if (newWidth < width) {
        // Left to right in place: the source column is never left of x.
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < newWidth; ++x)
                (this->*setPixel_)(x, y, (this->*getPixel_)(nearestSource(sx, x, width), y));
    }
    if (newHeight < height) {
        // Top to bottom in place: the source row is never above y.
        for (int y = 0; y < newHeight; ++y) {
            const int source = nearestSource(sy, y, height);
            if (source != y)
                std::memmove(rows_[std::size_t(y)], rows_[std::size_t(source)], stride_);
        }
    }
    ResizeCanvas(newWidth, newHeight, 0);
    if (newWidth > width) {
        // Right to left in place: the source column is never right of x.
        const int rows = std::min(height, newHeight);
        for (int y = 0; y < rows; ++y)
            for (int x = newWidth - 1; x >= 0; --x)
                (this->*setPixel_)(x, y, (this->*getPixel_)(nearestSource(sx, x, width), y));
    }
    if (newHeight > height) {
        // Bottom to top in place: the source row is never below y.
        for (int y = newHeight - 1; y >= 0; --y) {
            const int source = nearestSource(sy, y, height);
            if (source != y)
                std::memmove(rows_[std::size_t(y)], rows_[std::size_t(source)], stride_);
        }
    }
}

void TDIB::ResizeCanvas(int width, int height, std::uint8_t fill) {
    if (!IsValid()) return;
    const int bitCount = BitCount() == 15 ? 16 : BitCount();
    const Geometry g = geometryFor(width, height, bitCount);

    std::vector<std::uint8_t> block(g.blockSize);
    const std::size_t paletteBytes = 4 * std::size_t(paletteSize_);
    std::memcpy(block.data(), header_, kInfoHeaderSize + paletteBytes);
    writeLE32(block.data() + kWidthField, std::uint32_t(width));
    writeLE32(block.data() + kHeightField, std::uint32_t(height));
    writeLE32(block.data() + kImageSizeField, std::uint32_t(height) * g.stride);

    // The top-left part is kept; everything else, padding included, takes
    // the fill byte. A partly kept byte keeps its leading (left) bits.
    const int keptWidth = std::min(width, Width());
    const std::uint64_t keptBits = std::uint64_t(keptWidth) * std::uint64_t(bitCount);
    const std::size_t wholeBytes = std::size_t(keptBits / 8);
    const int leftoverBits = int(keptBits % 8);
    std::uint8_t* newBits = block.data() + kInfoHeaderSize + paletteBytes;
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = newBits + std::size_t(height - 1 - y) * g.stride;
        std::memset(row, fill, g.stride);
        if (y >= Height()) continue;
        const std::uint8_t* old = rows_[std::size_t(y)];
        std::memcpy(row, old, wholeBytes);
        if (leftoverBits > 0) {
            const auto keep = std::uint8_t(0xFF << (8 - leftoverBits));
            row[wholeBytes] = std::uint8_t((old[wholeBytes] & keep) | (fill & ~keep));
        }
    }
    ReplaceBlock(block);
}

std::uint8_t TDIB::WhiteByte() const {
    const int white = WhiteIndex();
    switch (pixelFormat_) {
    case pf1bit:
        return white ? 0xFF : 0x00;
    case pf4bit:
        return std::uint8_t((white & 0x0F) * 0x11);
    default:
        return std::uint8_t(white);
    }
}

void TDIB::ShiftRows(int s) {
    if (!IsValid() || s == 0) return;
    const std::int64_t height = Height();
    const std::int64_t shift = std::min<std::int64_t>(std::abs(std::int64_t(s)), height);
    const std::uint8_t white = WhiteByte();
    auto row = [this](std::int64_t y) { return rows_[std::size_t(y)]; };
    if (s > 0) {
        for (std::int64_t y = height - 1; y >= shift; --y)
            std::memcpy(row(y), row(y - shift), stride_);
        for (std::int64_t y = 0; y < shift; ++y) std::memset(row(y), white, stride_);
    } else {
        for (std::int64_t y = 0; y + shift < height; ++y)
            std::memcpy(row(y), row(y + shift), stride_);
        for (std::int64_t y = height - shift; y < height; ++y) std::memset(row(y), white, stride_);
    }
}

void TDIB::ShiftColumns(int s) {
    if (!IsValid()) return;
    if (pixelFormat_ != pf1bit && pixelFormat_ != pf4bit && pixelFormat_ != pf8bit &&
        pixelFormat_ != pf24bit)
        throw ImageError("Bit depht not supported for ShiftLine !");
    if (s == 0) return;
    const int width = Width();
    const int shift = int(std::min<std::int64_t>(std::abs(std::int64_t(s)), width));
    const int white = WhiteIndex();
    const int bitCount = BitCount();
    const int bytesPerPixel = bitCount / 8;
    for (std::uint8_t* row : rows_) {
        if (bytesPerPixel > 0) {
            // Whole-byte pixels move as one block.
            const std::size_t moved = std::size_t(width - shift) * std::size_t(bytesPerPixel);
            const std::size_t offset = std::size_t(shift) * std::size_t(bytesPerPixel);
            if (s > 0)
                std::memmove(row + offset, row, moved);
            else
                std::memmove(row, row + offset, moved);
        } else if (s > 0) {
            for (int x = width - 1; x >= shift; --x)
                storePixel(row, x, bitCount, loadPixel(row, x - shift, bitCount));
        } else {
            for (int x = 0; x + shift < width; ++x)
                storePixel(row, x, bitCount, loadPixel(row, x + shift, bitCount));
        }
        const int first = s > 0 ? 0 : width - shift;
        for (int x = first; x < first + shift; ++x) storePixel(row, x, bitCount, white);
    }
}

} // namespace imaging
