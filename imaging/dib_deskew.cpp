// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// TDIB::ShearDeskew: straightens a page by two shears, one moving rows
// sideways and one moving columns up or down, each shift growing linearly
// across the page. Every pass works in place, walking in the direction that
// reads each source pixel before it is overwritten. Arithmetic is in long
// double (x87 extended precision), rounding half to even.
#include "imaging/dib_image.h"
#include "imaging/dib_layout.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace imaging {

using namespace dib;

namespace {

int roundExtended(long double value) {
    return int(std::nearbyint(value));
}

struct ShiftAt {
    int whole;            // trunc(shift), the pixels moved
    long double fraction; // shift - trunc(shift)
};

ShiftAt shiftAt(long double slope, int index) {
    const long double shift = slope * index;
    const long double whole = std::trunc(shift);
    return {int(std::fabs(whole)), std::fabs(shift - whole)};
}

} // namespace

// New value from the pixel the shift lands on (`near`, weight t) and its
// neighbour (`far`, weight 1 - t): interpolated per channel for 24 bits, or,
// on the simpler path, the pixel with the larger weight.
int TDIB::BlendPixels(int near, int far, long double t, bool interpolate) const {
    if (!interpolate) return t >= 0.5L ? near : far;
    if (pixelFormat_ != pf24bit) return roundExtended(t * near + (1 - t) * far);
    int value = 0;
    for (int c = 0; c < 3; ++c) {
        const int a = near >> (8 * c) & 0xFF;
        const int b = far >> (8 * c) & 0xFF;
        value |= roundExtended(t * a + (1 - t) * b) << (8 * c);
    }
    return value;
}

// Row y moves right by Ry * y.
void TDIB::ShearRowsRight(long double ry, int fill, bool interpolate) {
    const int width = Width();
    for (int y = 0; y < Height(); ++y) {
        const ShiftAt s = shiftAt(ry, y);
        if (s.whole <= 0) continue;
        for (int x = width - 1; x >= s.whole; --x)
            SetPixel(x, y,
                     BlendPixels(GetPixel(x - s.whole, y), GetPixel(x - s.whole + 1, y), s.fraction,
                                 interpolate));
        for (int x = 0; x < std::min(s.whole, width); ++x) SetPixel(x, y, fill);
    }
}

// Column x moves up by Cx * x.
void TDIB::ShearColumnsUp(long double cx, int fill, bool interpolate) {
    const int height = Height();
    for (int x = 0; x < Width(); ++x) {
        const ShiftAt s = shiftAt(cx, x);
        if (s.whole <= 0) continue;
        for (int y = 0; y <= height - s.whole - 1; ++y)
            SetPixel(x, y,
                     BlendPixels(GetPixel(x, y + s.whole), GetPixel(x, y + s.whole - 1), s.fraction,
                                 interpolate));
        for (int y = std::max(height - s.whole, 0); y < height; ++y) SetPixel(x, y, fill);
    }
}

// Row y moves left by Ry * y.
void TDIB::ShearRowsLeft(long double ry, int fill, bool interpolate) {
    const int width = Width();
    for (int y = 0; y < Height(); ++y) {
        const ShiftAt s = shiftAt(ry, y);
        if (s.whole <= 0) continue;
        for (int x = 0; x <= width - s.whole - 1; ++x)
            SetPixel(x, y,
                     BlendPixels(GetPixel(x + s.whole, y), GetPixel(x + s.whole - 1, y), s.fraction,
                                 interpolate));
        for (int x = std::max(width - s.whole, 0); x < width; ++x) SetPixel(x, y, fill);
    }
}

// Column x moves down by Cx * x.
void TDIB::ShearColumnsDown(long double cx, int fill, bool interpolate) {
    const int height = Height();
    for (int x = 0; x < Width(); ++x) {
        const ShiftAt s = shiftAt(cx, x);
        if (s.whole <= 0) continue;
        for (int y = height - 1; y >= s.whole; --y)
            SetPixel(x, y,
                     BlendPixels(GetPixel(x, y - s.whole), GetPixel(x, y - s.whole + 1), s.fraction,
                                 interpolate));
        for (int y = 0; y < std::min(s.whole, height); ++y) SetPixel(x, y, fill);
    }
}

void TDIB::ShearDeskew(bool fillWhite, bool enlarge, bool perFormat, double angleA, double angleB) {
    if (!IsValid() || !std::isfinite(angleA) || !std::isfinite(angleB)) return;
    if (std::fabs(angleA) < 0.1 && std::fabs(angleB) < 0.1) return;
    if (perFormat && pixelFormat_ != pf1bit && pixelFormat_ != pf8bit && pixelFormat_ != pf24bit)
        return;

    const long double pi = std::numbers::pi_v<long double>;
    const long double alpha = angleA * pi / 180;
    const long double beta = angleB * pi / 180;
    const int shearB = roundExtended(std::sin(alpha) * Width());
    const int shearA = roundExtended(std::cos(beta - pi / 2) * Height());
    const long double cx = Width() > 0 ? std::fabs((long double)shearB / Width()) : 0;
    const long double ry = Height() > 0 ? std::fabs((long double)shearA / Height()) : 0;
    const int fill = fillWhite ? WhiteIndex() : BlackIndex();

    if (enlarge) {
        const std::uint8_t fillByte =
            pixelFormat_ == pf1bit ? (fill ? 0xFF : 0x00) : std::uint8_t(fill);
        ResizeCanvas(Width() + std::abs(shearA), Height() + std::abs(shearB), fillByte);
        if (shearB < 0) ShiftRows(std::abs(shearB));
        if (shearA > 0) ShiftColumns(shearA);
    }
    // The passes cover the (possibly enlarged) page with the slopes of the original one.
    if (beta < 0) ShearRowsRight(ry, fill, perFormat);
    if (alpha < 0) ShearColumnsUp(cx, fill, perFormat);
    if (beta > 0) ShearRowsLeft(ry, fill, perFormat);
    if (alpha > 0) ShearColumnsDown(cx, fill, perFormat);
}

} // namespace imaging
