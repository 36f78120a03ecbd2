// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// TDIB::ScaleToGray: the viewer's grey reduction of a 1-bit page shown below
// half size. Each destination pixel counts the white (value 1) source pixels
// of a k x k box and maps the count to one of L grey levels, so thin black
// strokes stay visible as grey instead of vanishing in a plain stretch.
#include "imaging/dib_image.h"
#include "imaging/dib_layout.h"

#include <algorithm>
#include <cmath>

namespace imaging {

using namespace dib;

namespace {

struct Box {
    int first;
    int last;
};

// Source range of destination index i: round(i * step) ... + k - 1, both
// ends kept inside the source.
Box sourceBox(int i, double step, int k, int size) {
    const int first = roundHalfEven(double(i) * step);
    return {std::clamp(first, 0, size - 1), std::clamp(first + k - 1, 0, size - 1)};
}

} // namespace

TDIB TDIB::ScaleToGray(int levels, double zoom) const {
    if (pixelFormat_ != pf1bit)
        throw ImageError("This operation requires 1 bit per pixel bitmap !");
    const int l = std::clamp(levels, 4, 256);
    const double z = std::isnan(zoom) ? 1.0 : std::clamp(zoom, 1.0, 100.0);
    const double step = 100.0 / z;
    const int k = std::min(int(std::trunc(step + 0.5)), 8);
    const int width = Width();
    const int height = Height();

    TDIB gray;
    gray.NewImage(roundHalfEven(z * width / 100), roundHalfEven(z * height / 100),
                  l > 16 ? pf8bit : pf4bit, XDpi(), YDpi());

    // Level i: grey (256 div (L - 1)) * i mod 256, complemented when the
    // source's entry 0 is not black, so that white stays white.
    const bool complement = redOf(GetPaletteEntry(0)) != 0;
    for (int i = 0; i < l; ++i) {
        int grey = (256 / (l - 1)) * i % 256;
        if (complement) grey = 255 - grey;
        gray.SetPaletteEntry(i, paletteValue(grey, grey, grey));
    }

    // levelOf[n]: the first level whose threshold (i + 1) * k^2 / L is at
    // least n, for every possible count n of value-1 pixels in a box.
    const int boxArea = k * k;
    std::vector<int> levelOf(std::size_t(boxArea) + 1, l - 1);
    for (int n = 0; n <= boxArea; ++n)
        for (int i = 0; i < l; ++i)
            if (double(i + 1) * boxArea / l >= n) {
                levelOf[std::size_t(n)] = i;
                break;
            }

    if (width == 0 || height == 0) return gray;
    for (int r = 0; r < gray.Height(); ++r) {
        const Box rows = sourceBox(r, step, k, height);
        for (int c = 0; c < gray.Width(); ++c) {
            const Box columns = sourceBox(c, step, k, width);
            int count = 0;
            for (int y = rows.first; y <= rows.last; ++y)
                for (int x = columns.first; x <= columns.last; ++x) count += Get1(x, y);
            gray.SetPixel(c, r, levelOf[std::size_t(count)]);
        }
    }
    return gray;
}

} // namespace imaging
