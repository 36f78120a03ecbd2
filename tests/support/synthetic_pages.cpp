// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "tests/support/synthetic_pages.h"

#include <algorithm>
#include <random>

namespace testsupport {

namespace {

// Outline of a rectangle with strokes `stroke` pixels thick.
void drawRing(TestPage& page, int x, int y, int w, int h, int stroke) {
    page.fillRect(x, y, w, stroke);
    page.fillRect(x, y + h - stroke, w, stroke);
    page.fillRect(x, y, stroke, h);
    page.fillRect(x + w - stroke, y, stroke, h);
}

// One line of words from `left` to `right` with its base at row `base`
// (rows grow towards the top of the page, as stored bottom-up).
void drawTextLine(TestPage& page, std::mt19937& random, int left, int right, int base, int dpi) {
    const int xHeight = std::max(2, dpi / 20);
    const int stroke = std::max(1, dpi / 100);
    const int letterGap = std::max(1, dpi / 75);
    const int wordGap = std::max(3, dpi / 16);
    int x = left;
    while (x < right) {
        const int letters = 2 + int(random() % 8);
        for (int k = 0; k < letters && x < right; ++k) {
            const int w = xHeight / 2 + int(random() % unsigned(xHeight / 2 + 1));
            const bool ascender = random() % 4 == 0;
            const int h = ascender ? xHeight * 3 / 2 : xHeight;
            drawRing(page, x, base, std::min(w, right - x), h, stroke);
            x += w + letterGap;
        }
        x += wordGap;
    }
}

} // namespace

TestPage textLikePage(int width, int height, int dpi, std::uint32_t variant) {
    TestPage page(width, height);
    std::mt19937 random(variant);
    const int margin = dpi;
    const int pitch = std::max(4, dpi / 6);
    const int left = margin;
    const int right = width - margin;
    // A ruling line and a 3 x 4 ruled table near the top of the page.
    int y = height - margin;
    const int rule = std::max(1, dpi / 100);
    page.fillRect(left, y, right - left, rule);
    y -= pitch;
    const int tableTop = y;
    const int tableHeight = 4 * pitch;
    for (int r = 0; r <= 4; ++r) page.fillRect(left, tableTop - r * pitch, right - left, rule);
    for (int c = 0; c <= 3; ++c)
        page.fillRect(left + c * (right - left - rule) / 3, tableTop - tableHeight, rule,
                      tableHeight + rule);
    y = tableTop - tableHeight - 2 * pitch;
    // A solid picture block beside the first paragraphs.
    const int pictureWidth = (right - left) / 3;
    page.fillRect(right - pictureWidth, y - 8 * pitch, pictureWidth, 8 * pitch);
    int line = 0;
    while (y > margin) {
        const bool besidePicture = line < 8;
        const int lineRight = besidePicture ? right - pictureWidth - dpi / 4 : right;
        if (line % 7 != 6) drawTextLine(page, random, left, lineRight, y - pitch / 2, dpi);
        y -= pitch;
        ++line;
    }
    return page;
}

TestPage noisePage(int width, int height, int permille, std::uint32_t variant) {
    TestPage page(width, height);
    std::mt19937 random(variant);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (int(random() % 1000) < permille) page.set(x, y);
    return page;
}

TestPage checkerboardPage(int width, int height, int cell) {
    TestPage page(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if ((x / cell + y / cell) % 2 == 0) page.set(x, y);
    return page;
}

} // namespace testsupport
