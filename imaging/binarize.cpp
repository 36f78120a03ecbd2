// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "imaging/binarize.h"

#include <array>
#include <functional>

namespace imaging {
namespace {

int luminance(int red, int green, int blue) {
    return (299 * red + 587 * green + 114 * blue + 500) / 1000;
}

int greyOfPaletteEntry(std::uint32_t entry) {
    return luminance(int(entry >> 16 & 0xFF), int(entry >> 8 & 0xFF), int(entry & 0xFF));
}

// Grey level of the pixel value `v` as the page's accessor returns it.
std::function<int(int)> greyOfPixelValue(const TDIB& page) {
    switch (page.Format()) {
    case pf24bit:
        return [](int v) { return luminance(v & 0xFF, v >> 8 & 0xFF, v >> 16 & 0xFF); };
    case pf15bit:
    case pf16bit: // 5-5-5 words: the top five bits of each channel
        return [](int v) {
            return luminance((v >> 10 & 31) * 255 / 31, (v >> 5 & 31) * 255 / 31,
                             (v & 31) * 255 / 31);
        };
    default: {
        std::array<int, 256> greys{};
        for (std::uint32_t i = 0; i < page.PaletteSize() && i < greys.size(); ++i)
            greys[i] = greyOfPaletteEntry(page.GetPaletteEntry(int(i)));
        return [greys](int v) { return greys[std::size_t(v & 0xFF)]; };
    }
    }
}

} // namespace

GreyHistogram greyHistogram(const TDIB& page) {
    GreyHistogram histogram{};
    const auto grey = greyOfPixelValue(page);
    for (int y = 0; y < page.Height(); ++y)
        for (int x = 0; x < page.Width(); ++x) ++histogram[std::size_t(grey(page.GetPixel(x, y)))];
    return histogram;
}

TDIB binarized(const TDIB& page) {
    const int threshold = otsuThreshold(greyHistogram(page));
    const auto grey = greyOfPixelValue(page);
    TDIB result;
    // A new 1-bit image is all 0 bits, black with its black-then-white palette.
    result.NewImage(page.Width(), page.Height(), pf1bit, page.XDpi(), page.YDpi());
    for (int y = 0; y < page.Height(); ++y)
        for (int x = 0; x < page.Width(); ++x)
            if (grey(page.GetPixel(x, y)) > threshold) result.SetPixel(x, y, 1);
    return result;
}

} // namespace imaging
