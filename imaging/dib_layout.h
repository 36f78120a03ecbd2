// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Byte layout of a packed DIB: information header fields, palette and row
// sizes, and the pixels-per-metre <-> dots-per-inch conversion. Shared by the
// sources of TDIB; not part of the public interface.
#pragma once

#include "imaging/dib_image.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>

namespace imaging::dib {

constexpr std::size_t kInfoHeaderSize = 40;
constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint16_t kBmpType = 0x4D42; // "BM"

// Offsets of the information header's fields.
constexpr std::size_t kSizeField = 0;
constexpr std::size_t kWidthField = 4;
constexpr std::size_t kHeightField = 8;
constexpr std::size_t kPlanesField = 12;
constexpr std::size_t kBitCountField = 14;
constexpr std::size_t kCompressionField = 16;
constexpr std::size_t kImageSizeField = 20;
constexpr std::size_t kXPelsField = 24;
constexpr std::size_t kYPelsField = 28;
constexpr std::size_t kColorsUsedField = 32;
constexpr std::size_t kColorsImportantField = 36;

constexpr double kPelsPerMetrePerDpi = 39.37;

inline std::uint32_t readLE32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}
inline std::uint16_t readLE16(const std::uint8_t* p) {
    return std::uint16_t(p[0] | p[1] << 8);
}
inline void writeLE32(std::uint8_t* p, std::uint32_t v) {
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
    p[2] = std::uint8_t(v >> 16);
    p[3] = std::uint8_t(v >> 24);
}
inline void writeLE16(std::uint8_t* p, std::uint16_t v) {
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
}

// Bits per pixel written in the header for a format; 0 for an unknown code.
inline int bitsPerPixel(int format) {
    switch (format) {
    case pf1bit:
        return 1;
    case pf4bit:
        return 4;
    case pf8bit:
        return 8;
    case pf15bit:
    case pf16bit:
        return 16;
    case pf24bit:
        return 24;
    default:
        return 0;
    }
}

// The format a header's bit count stands for; 0 when none does.
inline int formatOfBitCount(int bitCount) {
    switch (bitCount) {
    case 1:
        return pf1bit;
    case 4:
        return pf4bit;
    case 8:
        return pf8bit;
    case 15:
        return pf15bit;
    case 16:
        return pf16bit;
    case 24:
        return pf24bit;
    default:
        return 0;
    }
}

// 2^bits for 8 or fewer bits per pixel, else 0 (colours-used is not consulted).
inline std::uint32_t paletteEntries(int bitCount) {
    return bitCount >= 1 && bitCount <= 8 ? std::uint32_t(1) << bitCount : 0;
}

struct Geometry {
    std::uint32_t stride = 0;   // ((width * bpp + 31) div 32) * 4
    std::uint32_t rowBytes = 0; // (width * bpp + 7) div 8
    std::uint32_t paletteEntries = 0;
    std::uint32_t blockSize = 0; // header + palette + height * stride
};

// Sizes of a DIB; raises "Image too large" when the rows and the row table
// would pass kMaxImageBytes or a dimension passes a 32-bit header's range.
Geometry geometryFor(int width, int height, int bitCount);

// Rounds to nearest with ties to even, clamped to the int range (NaN gives 0).
inline int roundHalfEven(double value) {
    if (std::isnan(value)) return 0;
    const double r = std::nearbyint(value);
    if (r <= double(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
    if (r >= double(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
    return int(r);
}

inline std::int32_t pelsPerMetreFromDpi(int dpi) {
    return roundHalfEven(double(dpi) * kPelsPerMetrePerDpi);
}
inline int dpiFromPelsPerMetre(std::int32_t pels) {
    return roundHalfEven(double(pels) / kPelsPerMetrePerDpi);
}

// Grey of palette entry i in an n-entry ramp: round(i * 256 / n).
inline std::uint8_t rampGrey(std::uint32_t i, std::uint32_t n) {
    return std::uint8_t(roundHalfEven(double(i) * 256.0 / double(n)));
}

// Stored palette entry: blue, green, red, 0 as one little-endian value.
inline std::uint32_t paletteValue(int red, int green, int blue) {
    return std::uint32_t(blue) | std::uint32_t(green) << 8 | std::uint32_t(red) << 16;
}
inline int redOf(std::uint32_t entry) {
    return int(entry >> 16 & 0xFF);
}
inline int greenOf(std::uint32_t entry) {
    return int(entry >> 8 & 0xFF);
}
inline int blueOf(std::uint32_t entry) {
    return int(entry & 0xFF);
}

// Grey level of a colour (ITU-R 601 weights), used by conversions to fewer bits.
inline int luminance(int red, int green, int blue) {
    return (299 * red + 587 * green + 114 * blue + 500) / 1000;
}

} // namespace imaging::dib

namespace imaging::dib {

// Pixel value at column x of a stored row of the given bit count.
inline int loadPixel(const std::uint8_t* row, int x, int bitCount) {
    switch (bitCount) {
    case 1:
        return row[x >> 3] >> (7 - (x & 7)) & 1;
    case 4:
        return x & 1 ? row[x >> 1] & 0x0F : row[x >> 1] >> 4;
    case 8:
        return row[x];
    case 15:
    case 16:
        return readLE16(row + 2 * std::size_t(x));
    case 24: {
        const std::uint8_t* p = row + 3 * std::size_t(x);
        return RgbValue(p[2], p[1], p[0]);
    }
    default:
        return 0;
    }
}

// Stores a pixel value with the accessor rules of TDIB::SetPixel.
inline void storePixel(std::uint8_t* row, int x, int bitCount, int value) {
    switch (bitCount) {
    case 1: {
        const auto mask = std::uint8_t(0x80 >> (x & 7));
        if (value > 0)
            row[x >> 3] |= mask;
        else
            row[x >> 3] &= std::uint8_t(~mask);
        break;
    }
    case 4: {
        std::uint8_t& b = row[x >> 1];
        const auto nibble = std::uint8_t(value & 0x0F);
        b = x & 1 ? std::uint8_t((b & 0xF0) | nibble) : std::uint8_t((b & 0x0F) | nibble << 4);
        break;
    }
    case 8:
        row[x] = std::uint8_t(value);
        break;
    case 15:
    case 16:
        writeLE16(row + 2 * std::size_t(x), std::uint16_t(value));
        break;
    case 24: {
        std::uint8_t* p = row + 3 * std::size_t(x);
        p[0] = std::uint8_t(value >> 16);
        p[1] = std::uint8_t(value >> 8);
        p[2] = std::uint8_t(value);
        break;
    }
    default:
        break;
    }
}

} // namespace imaging::dib
