// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "tests/support/generated_pages.h"

#include <algorithm>
#include <cmath>

namespace testsupport {

namespace {

// A fixed generator: std:: distributions differ between standard libraries,
// this does not.
class Lcg {
  public:
    explicit Lcg(std::uint32_t state) : state_(state) {}
    int next(int bound) {
        state_ = state_ * 1103515245u + 12345u;
        return int((state_ >> 16) % unsigned(bound));
    }

  private:
    std::uint32_t state_;
};

// A letter `height` rows tall from row y up (plus a stem for some): a ring, a
// stem or a stem with a bowl, painted in `ink`.
void drawGlyph(TestPage& page, Lcg& random, int x, int y, int width, int height, bool ink) {
    const int stroke = height >= 24 ? 4 : 3;
    switch (random.next(3)) {
    case 0:
        page.fillRect(x, y, width, height, ink);
        page.fillRect(x + stroke, y + stroke, width - 2 * stroke, height - 2 * stroke, !ink);
        break;
    case 1:
        page.fillRect(x + width / 2 - stroke / 2, y, stroke, height + height / 3, ink);
        break;
    default:
        page.fillRect(x, y, stroke, height + height / 3, ink);
        page.fillRect(x, y, width, stroke, ink);
        page.fillRect(x + width - stroke, y, stroke, height / 2, ink);
        page.fillRect(x, y + height / 2, width, stroke, ink);
        break;
    }
}

struct TextStyle {
    int height = 30;   // letter height
    int minWidth = 14; // letter widths are minWidth + [0, widthRange)
    int widthRange = 12;
    int letterGap = 4;
    int wordGap = 22;
    int rise = 0; // rows climbed per 1000 columns (a tilted line)
    bool ink = true;
};

// One line of words from `left` to at most `right`, letters standing on row y.
void drawTextLine(TestPage& page, Lcg& random, int left, int right, int y, const TextStyle& s) {
    int x = left;
    while (x < right - 3 * s.minWidth) {
        const int letters = 1 + random.next(9);
        for (int k = 0; k < letters && x < right - s.minWidth - s.widthRange; ++k) {
            const int width = s.minWidth + random.next(s.widthRange);
            const int lift = (x - left) * s.rise / 1000;
            drawGlyph(page, random, x, y + lift, width, s.height, s.ink);
            x += width + s.letterGap;
        }
        x += s.wordGap;
    }
}

// Paragraphs of 3 to 8 lines between rows `top` (exclusive, lines go down
// from it) and `bottom`; the first line of each is indented. Rows count up
// from the bottom of the page, so text runs from high rows to low ones.
void drawParagraphs(TestPage& page, Lcg& random, int left, int right, int top, int bottom,
                    const TextStyle& s, int lineSpacing) {
    int y = top - lineSpacing;
    while (y > bottom) {
        const int lines = 3 + random.next(6);
        for (int l = 0; l < lines && y > bottom; ++l, y -= lineSpacing) {
            const int indent = l == 0 ? 3 * s.wordGap : 0;
            const int end = l + 1 == lines ? right - random.next((right - left) / 2) : right;
            drawTextLine(page, random, left + indent, end, y, s);
        }
        y -= lineSpacing / 2;
    }
}

// A ruled table with `rows` x `columns` cells and 3-pixel rules; most cells
// hold a word or two.
void drawTable(TestPage& page, Lcg& random, int left, int bottom, int columnWidth, int rowHeight,
               int columns, int rows) {
    const int width = columns * columnWidth + 3;
    const int height = rows * rowHeight + 3;
    for (int k = 0; k <= rows; ++k) page.fillRect(left, bottom + k * rowHeight, width, 3);
    for (int k = 0; k <= columns; ++k) page.fillRect(left + k * columnWidth, bottom, 3, height);
    TextStyle cell;
    cell.height = 24;
    cell.minWidth = 12;
    cell.widthRange = 10;
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column) {
            if (random.next(5) == 0) continue;
            const int x = left + column * columnWidth + 24;
            const int y = bottom + row * rowHeight + (rowHeight - cell.height) / 2;
            drawTextLine(page, random, x, x + 120 + random.next(columnWidth - 180), y, cell);
        }
}

} // namespace

TestPage generatedTextTablePage() {
    TestPage page(2480, 3508);
    Lcg random(20240601u);
    TextStyle heading;
    heading.height = 60;
    heading.minWidth = 30;
    heading.widthRange = 16;
    heading.letterGap = 8;
    heading.wordGap = 44;
    drawTextLine(page, random, 600, 1900, 3250, heading);
    const TextStyle body;
    drawParagraphs(page, random, 200, 1160, 3150, 1900, body, 52);
    drawParagraphs(page, random, 1320, 2280, 3150, 1900, body, 52);
    drawTable(page, random, 200, 350, 340, 180, 6, 8);
    return page;
}

TestPage generatedBannerPage() {
    TestPage page(1700, 2200);
    Lcg random(77u);
    page.fillRect(150, 1750, 1400, 300);
    // A rule joined to the banner's foot, wider than the banner.
    page.fillRect(50, 1744, 1600, 6);
    TextStyle white;
    white.ink = false;
    white.height = 40;
    white.minWidth = 18;
    white.widthRange = 14;
    white.wordGap = 30;
    for (int line = 0; line < 3; ++line)
        drawTextLine(page, random, 230, 1470, 1960 - 85 * line, white);
    page.fillRect(150, 1660, 1400, 4);
    TextStyle body;
    body.height = 22;
    body.minWidth = 10;
    body.widthRange = 9;
    body.letterGap = 3;
    body.wordGap = 16;
    drawParagraphs(page, random, 150, 1550, 1600, 150, body, 40);
    return page;
}

TestPage generatedPicturePage() {
    TestPage page(1700, 2200);
    Lcg random(4242u);
    // The drawing: a frame with diagonal hatching joined to it, and a disc.
    const int left = 120, bottom = 1000, width = 700, height = 1000;
    page.fillRect(left, bottom, width, 5);
    page.fillRect(left, bottom + height - 5, width, 5);
    page.fillRect(left, bottom, 5, height);
    page.fillRect(left + width - 5, bottom, 5, height);
    for (int d = -height; d < width; d += 14)
        for (int t = 0; t < height; ++t) {
            const int x = left + d + t;
            if (x >= left && x < left + width) page.fillRect(x, bottom + t, 2, 1);
        }
    for (int y = -180; y <= 180; ++y)
        for (int x = -180; x <= 180; ++x)
            if (x * x + y * y <= 180 * 180) page.set(left + width / 2 + x, bottom + height / 2 + y);
    TextStyle body;
    body.height = 24;
    body.minWidth = 11;
    body.widthRange = 10;
    body.wordGap = 18;
    drawParagraphs(page, random, 900, 1580, 2000, 1000, body, 44);
    drawParagraphs(page, random, 120, 1580, 900, 150, body, 44);
    return page;
}

TestPage generatedTiltedPage() {
    TestPage page(1700, 2200);
    Lcg random(9001u);
    TextStyle body;
    body.height = 26;
    body.minWidth = 12;
    body.widthRange = 10;
    body.wordGap = 20;
    body.rise = int(std::lround(1000.0 * std::tan(1.5 * 3.14159265358979 / 180.0)));
    drawParagraphs(page, random, 160, 1500, 2000, 200, body, 50);
    return page;
}

TestPage generatedRuledGridPage() {
    TestPage page(2480, 3508);
    Lcg random(1642u);
    drawTable(page, random, 100, 100, 190, 47, 12, 70);
    return page;
}

TestPage generatedDitheredPage() {
    TestPage page(2480, 3508);
    Lcg random(31337u);
    const TextStyle body;
    drawParagraphs(page, random, 200, 2280, 3350, 2900, body, 52);
    drawParagraphs(page, random, 200, 2280, 600, 150, body, 52);
    // A smooth grey picture (0 white .. 255 black) diffused to black and white.
    const int left = 240, bottom = 700, width = 2000, height = 2200;
    std::vector<int> error(std::size_t(width + 2) * 2, 0);
    for (int y = 0; y < height; ++y) {
        int* here = error.data() + std::size_t(y % 2) * std::size_t(width + 2) + 1;
        int* next = error.data() + std::size_t((y + 1) % 2) * std::size_t(width + 2) + 1;
        std::fill(next - 1, next + width + 1, 0);
        for (int x = 0; x < width; ++x) {
            const double shade = 0.5 + 0.25 * std::sin(x / 170.0) + 0.2 * std::cos(y / 230.0) +
                                 0.05 * std::sin((x + y) / 37.0);
            const int want = int(255.0 * std::clamp(shade, 0.0, 1.0)) + here[x] / 16;
            const bool ink = want >= 128;
            if (ink) page.set(left + x, bottom + y);
            const int e = want - (ink ? 255 : 0);
            here[x + 1] += 7 * e;
            next[x - 1] += 3 * e;
            next[x] += 5 * e;
            next[x + 1] += e;
        }
    }
    return page;
}

namespace {

// A clustered-dot halftone at 45 degrees, `pitch` pixels between dots, of a
// picture darkening from left to right and top to bottom.
void drawHalftone(TestPage& page, int left, int bottom, int width, int height, int pitch) {
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const double u = (x + y) / double(pitch), v = (x - y) / double(pitch);
            const double du = u - std::floor(u) - 0.5, dv = v - std::floor(v) - 0.5;
            const double shade = 0.15 + 0.7 * (double(x) / width + double(height - y) / height) / 2;
            if (du * du + dv * dv < shade * 0.32) page.set(left + x, bottom + y);
        }
}

} // namespace

TestPage generatedHalftonePage() {
    TestPage page(2480, 3508);
    Lcg random(8585u);
    const TextStyle body;
    drawHalftone(page, 200, 2300, 1000, 1000, 5);
    drawParagraphs(page, random, 1320, 2280, 3300, 2300, body, 52);
    // A black band with white text, and solid blocks beside paragraphs.
    page.fillRect(200, 1900, 2080, 300);
    TextStyle white;
    white.ink = false;
    drawTextLine(page, random, 260, 2200, 2020, white);
    page.fillRect(200, 1000, 700, 800);
    drawParagraphs(page, random, 1000, 2280, 1800, 1000, body, 52);
    drawHalftone(page, 1280, 150, 1000, 750, 5);
    drawParagraphs(page, random, 200, 1160, 900, 150, body, 52);
    return page;
}

const std::vector<NamedPage>& generatedPages() {
    static const std::vector<NamedPage> pages{
        {"a4-table", &generatedTextTablePage},
        {"banner", &generatedBannerPage},
        {"picture", &generatedPicturePage},
        {"tilted", &generatedTiltedPage},
        {"dithered", &generatedDitheredPage},
        {"halftones", &generatedHalftonePage},
    };
    return pages;
}

} // namespace testsupport
