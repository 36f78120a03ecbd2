// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// TDIB::ConvertTo: pixel format conversion in place.
//
// The utility converts 1 -> 8, 8 -> 24 and 1 -> 24 (the outlined image is
// drawn in colour on a black-and-white page); those follow fixed rules that
// ignore the palette. The other conversions between 1, 4, 8 and 24 bits go
// through the colour of each pixel and its grey level.
#include "imaging/dib_image.h"
#include "imaging/dib_layout.h"

#include <cstring>
#include <functional>

namespace imaging {

using namespace dib;

namespace {

bool isConvertible(PixelFormat format) {
    return format == pf1bit || format == pf4bit || format == pf8bit || format == pf24bit;
}

// Palette of the converted image: black and white for 1 bit, a full grey
// ramp for 4 bits (white = 255) and for 8 bits; none for 24 bits.
std::vector<std::uint32_t> targetPalette(PixelFormat target) {
    switch (target) {
    case pf1bit:
        return {paletteValue(0, 0, 0), paletteValue(255, 255, 255)};
    case pf4bit: {
        std::vector<std::uint32_t> ramp(16);
        for (int i = 0; i < 16; ++i) ramp[std::size_t(i)] = paletteValue(17 * i, 17 * i, 17 * i);
        return ramp;
    }
    case pf8bit: {
        std::vector<std::uint32_t> ramp(256);
        for (int i = 0; i < 256; ++i) ramp[std::size_t(i)] = paletteValue(i, i, i);
        return ramp;
    }
    default:
        return {};
    }
}

} // namespace

std::vector<std::uint8_t> TDIB::ConvertedBlock(PixelFormat target) const {
    const int width = Width();
    const int height = Height();
    const int targetBits = bitsPerPixel(target);
    const Geometry g = geometryFor(width, height, targetBits);

    // Header: same size and resolution, new bit count and sizes. The block is
    // zero-filled, so the new rows' padding is zero.
    std::vector<std::uint8_t> block(g.blockSize);
    std::memcpy(block.data(), header_, kInfoHeaderSize);
    writeLE16(block.data() + kBitCountField, std::uint16_t(targetBits));
    writeLE32(block.data() + kImageSizeField, std::uint32_t(height) * g.stride);
    writeLE32(block.data() + kColorsUsedField, g.paletteEntries);
    writeLE32(block.data() + kColorsImportantField, g.paletteEntries);

    std::vector<std::uint32_t> palette = targetPalette(target);
    if (pixelFormat_ == pf4bit && target == pf8bit) {
        // Indices are kept, so the colours come along.
        std::fill(palette.begin(), palette.end(), 0u);
        for (std::uint32_t i = 0; i < paletteSize_; ++i) palette[i] = GetPaletteEntry(int(i));
    }
    std::uint8_t* newPalette = block.data() + kInfoHeaderSize;
    for (std::size_t i = 0; i < palette.size(); ++i) writeLE32(newPalette + 4 * i, palette[i]);

    auto colorOf = [this](int value) {
        if (pixelFormat_ == pf24bit) return value;
        const std::uint32_t e = GetPaletteEntry(value);
        return RgbValue(redOf(e), greenOf(e), blueOf(e));
    };
    auto greyOf = [&colorOf](int value) {
        const int c = colorOf(value);
        return luminance(c & 0xFF, c >> 8 & 0xFF, c >> 16 & 0xFF);
    };

    std::function<int(int)> convert;
    if (pixelFormat_ == pf1bit) {
        // A set bit is white, a clear bit black, whatever the palette.
        if (target == pf8bit) convert = [](int bit) { return bit ? 255 : 0; };
        if (target == pf24bit) convert = [](int bit) { return bit ? RgbValue(255, 255, 255) : 0; };
        if (target == pf4bit) convert = [](int bit) { return bit ? 15 : 0; };
    } else if (pixelFormat_ == pf8bit && target == pf24bit) {
        // The byte is taken as a grey level, whatever the palette.
        convert = [](int p) { return RgbValue(p, p, p); };
    } else if (pixelFormat_ == pf4bit && target == pf8bit) {
        convert = [](int index) { return index; };
    } else if (target == pf24bit) {
        convert = colorOf;
    } else if (target == pf8bit) {
        convert = greyOf;
    } else if (target == pf4bit) {
        convert = [&greyOf](int v) { return greyOf(v) >> 4; };
    } else {
        convert = [&greyOf](int v) { return greyOf(v) >= 128 ? 1 : 0; };
    }

    const int sourceBits = BitCount() == 15 ? 16 : BitCount();
    std::uint8_t* newBits = newPalette + 4 * std::size_t(g.paletteEntries);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* source = rows_[std::size_t(y)];
        std::uint8_t* destination = newBits + std::size_t(height - 1 - y) * g.stride;
        for (int x = 0; x < width; ++x)
            storePixel(destination, x, targetBits, convert(loadPixel(source, x, sourceBits)));
    }
    return block;
}

void TDIB::ConvertTo(PixelFormat target) {
    if (!IsValid() || target == pixelFormat_) return;
    if (!isConvertible(target) || !isConvertible(pixelFormat_))
        throw ImageError("Function not available :-(");
    const std::vector<std::uint8_t> block = ConvertedBlock(target);
    const PixelFormat previous = pixelFormat_;
    pixelFormat_ = target;
    try {
        ReplaceBlock(block);
    } catch (...) {
        pixelFormat_ = previous; // the old block is still in place
        throw;
    }
}

} // namespace imaging
