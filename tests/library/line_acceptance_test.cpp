// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "library/image/line_acceptance.h"
#include "library/image/line_extraction.h"
#include "tests/support/test_page.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <vector>

namespace {

using quadrel::LaRegionRecord;
using quadrel::RatioMode;
using testsupport::TestPage;

// A finder-style record for a box; density 1000.
LaRegionRecord line(std::int32_t xMin, std::int32_t yMin, std::int32_t xMax, std::int32_t yMax) {
    LaRegionRecord r;
    r.xMin = xMin;
    r.yMin = yMin;
    r.xMax = xMax;
    r.yMax = yMax;
    r.length = xMax - xMin;
    r.thickness = yMax - yMin + 1;
    r.area = r.length * r.thickness;
    r.inkCount = r.area;
    r.density = 1000;
    return r;
}

std::vector<std::int32_t> walk(const TestPage& page, int x0, int y0, int x1, int y1) {
    std::vector<std::int32_t> out;
    const auto n = quadrel::walkSegment(page.toBitmap(), x0, y0, x1, y1, out);
    out.resize(std::size_t(n));
    return out;
}

TEST(LineAcceptanceTest, RatioLimitFor1000LongLines) {
    TestPage page(1100, 300);
    page.fillRect(50, 50, 1000, 99);
    quadrel::FoundLines found;
    ASSERT_EQ(
        quadrel::findLines(page.toBitmap(), quadrel::LineOrientation::kHorizontal, 80, 3, found),
        0);
    ASSERT_EQ(found.lines.size(), 1u);
    // 1001 * 100 / 100 = 1001 > 1000.
    EXPECT_TRUE(quadrel::acceptLine(found.lines[0], 100, RatioMode::kInteger, page.toBitmap()));
    EXPECT_FALSE(quadrel::acceptLine(found.lines[0], 99, RatioMode::kInteger, page.toBitmap()));

    page.fillRect(50, 149, 1000, 1); // now 100 thick: 100100 / 101 = 991
    ASSERT_EQ(
        quadrel::findLines(page.toBitmap(), quadrel::LineOrientation::kHorizontal, 80, 3, found),
        0);
    ASSERT_EQ(found.lines[0].thickness, 100);
    for (auto mode : {RatioMode::kInteger, RatioMode::kExact})
        EXPECT_FALSE(quadrel::acceptLine(found.lines[0], 500, mode, page.toBitmap()));
}

TEST(LineAcceptanceTest, ExactModeAcceptsAFractionAboveTheLimit) {
    const quadrel::LaBitmap blank = TestPage(2100, 300).toBitmap();
    // 2001 * 100 / 200 = 1000.5.
    const LaRegionRecord r = line(50, 50, 2050, 248);
    ASSERT_EQ(r.thickness, 199);
    EXPECT_TRUE(quadrel::acceptLine(r, 1000, RatioMode::kExact, blank));
    EXPECT_FALSE(quadrel::acceptLine(r, 1000, RatioMode::kInteger, blank));
}

TEST(LineAcceptanceTest, ThicknessMustStayBelowTheMaximum) {
    const quadrel::LaBitmap blank = TestPage(300, 100).toBitmap();
    const LaRegionRecord r = line(20, 40, 220, 44); // 5 thick
    EXPECT_FALSE(quadrel::acceptLine(r, 5, RatioMode::kInteger, blank));
    EXPECT_TRUE(quadrel::acceptLine(r, 6, RatioMode::kInteger, blank));
    LaRegionRecord empty = r;
    empty.density = 0;
    EXPECT_FALSE(quadrel::acceptLine(empty, 6, RatioMode::kInteger, blank));
}

TEST(IsolationTest, FrameCountMustStayBelowHalfTheBoxPerimeter) {
    // Box x 100..300, rows 50..51: limit (1 + 200) / 2 = 100 frame pixels.
    const LaRegionRecord r = line(100, 50, 300, 51);
    TestPage page(400, 120);
    page.fillRect(100, 48, 99, 1); // on the frame row two below the line
    EXPECT_TRUE(quadrel::lineIsIsolated(r, page.toBitmap()));
    page.set(199, 48);
    EXPECT_FALSE(quadrel::lineIsIsolated(r, page.toBitmap()));
    // Ink one row closer (inside the frame) is not counted.
    TestPage inner(400, 120);
    inner.fillRect(100, 49, 200, 1);
    EXPECT_TRUE(quadrel::lineIsIsolated(r, inner.toBitmap()));
}

TEST(IsolationTest, CornersAreCountedTwiceOnceOrNever) {
    // Box x 10..14, row 10: frame 8..16 x 8..12; limit (0 + 4) / 2 = 2.
    const LaRegionRecord r = line(10, 10, 14, 10);
    auto isolatedWith = [&](int x, int y) {
        TestPage page(40, 40);
        page.set(x, y);
        return quadrel::lineIsIsolated(r, page.toBitmap());
    };
    EXPECT_FALSE(isolatedWith(8, 8));  // first corner: twice
    EXPECT_TRUE(isolatedWith(16, 8));  // once
    EXPECT_TRUE(isolatedWith(8, 12));  // once
    EXPECT_TRUE(isolatedWith(16, 12)); // never
}

// The frame's black pixels are counted alike whatever the polarity and row
// order of the bitmap: random frames of tall and wide boxes over random ink,
// the verdict next to the limit compared with a pixel-by-pixel count.
TEST(IsolationTest, FrameCountIsTheSameInEveryStorage) {
    std::mt19937 random(11);
    TestPage page(90, 70);
    for (int y = 0; y < 70; ++y)
        for (int x = 0; x < 90; ++x)
            if (random() % 3 == 0) page.set(x, y);
    for (int trial = 0; trial < 200; ++trial) {
        const int x0 = int(random() % 80), y0 = int(random() % 60);
        const LaRegionRecord r = line(x0, y0, x0 + 1 + int(random() % 9), y0 + int(random() % 9));
        const int xl = std::max(r.xMin - 2, 0), xr = std::min(r.xMax + 2, 89);
        const int yb = std::max(r.yMin - 2, 0), yt = std::min(r.yMax + 2, 69);
        // Sides stop short of their far corners (see CornersAreCountedTwiceOnceOrNever).
        int count = 0;
        for (int x = xl; x < xr; ++x) count += page.black(x, yb) + page.black(x, yt);
        for (int y = yb; y < yt; ++y) count += page.black(xl, y) + page.black(xr, y);
        const long across = r.xMax - r.xMin;
        const bool inside = yb > 0 && yt < 69;
        const bool expected =
            inside ? count < (r.yMax - r.yMin + across) / 2 : count < 3 * across / 2;
        for (int blackIsZero : {0, 1})
            for (bool bottomUp : {false, true})
                EXPECT_EQ(quadrel::lineIsIsolated(r, page.toBitmap(blackIsZero, bottomUp)),
                          expected)
                    << trial << " " << blackIsZero << " " << bottomUp;
    }
}

TEST(IsolationTest, FrameOnTheFirstOrLastRowUsesTheNearEdgeRule) {
    // 150 frame pixels: too many away from the edges (limit 100), few enough
    // for a rule whose frame reaches row 0 (limit 3 * 200 / 2 = 300).
    TestPage page(400, 120);
    page.fillRect(100, 0, 150, 1);
    EXPECT_TRUE(quadrel::lineIsIsolated(line(100, 1, 300, 2), page.toBitmap()));
    TestPage away(400, 120);
    away.fillRect(100, 48, 150, 1);
    EXPECT_FALSE(quadrel::lineIsIsolated(line(100, 50, 300, 51), away.toBitmap()));
    // The last row likewise: y_max >= height - 3.
    TestPage top(400, 120);
    top.fillRect(100, 119, 150, 1);
    EXPECT_TRUE(quadrel::lineIsIsolated(line(100, 116, 300, 117), top.toBitmap()));
    // A vertical rule reaching the last row puts its own pixels on the frame:
    // 3 >= 3 * 2 / 2, refused.
    TestPage rule(60, 500);
    rule.fillRect(20, 100, 3, 400);
    EXPECT_FALSE(quadrel::lineIsIsolated(line(20, 100, 22, 500), rule.toBitmap()));
}

// The frame count of lineIsIsolated through the general walk: the black
// pixels of each side's Bresenham walk, the far end excluded.
bool isolatedByWalks(const LaRegionRecord& r, const quadrel::LaBitmap& bitmap) {
    const int xl = std::max(r.xMin - 2, 0);
    const int xr = std::min(r.xMax + 2, bitmap.width - 1);
    const int yb = std::max(r.yMin - 2, 0);
    const int yt = std::min(r.yMax + 2, bitmap.height - 1);
    std::vector<std::int32_t> out;
    const auto side = [&](int x0, int y0, int x1, int y1) {
        const auto n = quadrel::walkSegment(bitmap, x0, y0, x1, y1, out);
        return quadrel::blackCountOfWalk({out.data(), std::size_t(n)});
    };
    const std::int64_t count =
        side(xl, yb, xr, yb) + side(xl, yt, xr, yt) + side(xl, yb, xl, yt) + side(xr, yb, xr, yt);
    const std::int64_t across = std::int64_t(r.xMax) - r.xMin;
    if (yb > 0 && yt < bitmap.height - 1)
        return count < (std::int64_t(r.yMax) - r.yMin + across) / 2;
    return count < 3 * across / 2;
}

// Pages with about as many black pixels on and around a box's frame as the
// limit allows, so that a pixel counted wrongly turns the verdict.
TEST(IsolationTest, CountsTheFrameAsTheWalksDoNearTheLimit) {
    std::mt19937 random(11);
    int isolated = 0;
    int trials = 0;
    for (int k = 0; k < 400; ++k) {
        TestPage p(97 + k % 61, 83 + k % 37);
        std::uniform_int_distribution<int> x(-3, p.width() + 2), y(-3, p.height() + 2);
        LaRegionRecord r = line(x(random), y(random), x(random), y(random));
        if (k % 4 != 0)
            r = line(std::min(r.xMin, r.xMax), std::min(r.yMin, r.yMax), std::max(r.xMin, r.xMax),
                     std::max(r.yMin, r.yMax));
        const int xl = std::max(r.xMin - 2, 0), xr = std::min(r.xMax + 2, p.width() - 1);
        const int yb = std::max(r.yMin - 2, 0), yt = std::min(r.yMax + 2, p.height() - 1);
        const int limit = int(std::abs(std::int64_t(r.yMax) - r.yMin + r.xMax - r.xMin) / 2);
        std::uniform_int_distribution<int> side(0, 3), shift(-1, 1);
        std::uniform_int_distribution<int> along(std::min(xl, xr) - 1, std::max(xl, xr) + 1);
        std::uniform_int_distribution<int> down(std::min(yb, yt) - 1, std::max(yb, yt) + 1);
        for (int dot = 0; dot < limit + 3; ++dot) {
            const int s = side(random);
            const int px = s < 2 ? along(random) : (s == 2 ? xl : xr) + shift(random);
            const int py = s >= 2 ? down(random) : (s == 0 ? yb : yt) + shift(random);
            if (px >= 0 && py >= 0 && px < p.width() && py < p.height()) p.set(px, py);
        }
        for (int blackIsZero = 0; blackIsZero <= 1; ++blackIsZero) {
            const quadrel::LaBitmap bitmap = p.toBitmap(blackIsZero, k % 3 == 1);
            const bool expected = isolatedByWalks(r, bitmap);
            EXPECT_EQ(quadrel::lineIsIsolated(r, bitmap), expected)
                << r.xMin << "," << r.yMin << " " << r.xMax << "," << r.yMax;
            isolated += expected ? 1 : 0;
            ++trials;
        }
    }
    EXPECT_GT(isolated, trials / 10) << "both verdicts should occur";
    EXPECT_LT(isolated, trials * 9 / 10) << "both verdicts should occur";
}

TEST(SegmentWalkTest, ListsColourChangesAndStopsAtTheBitmapEdge) {
    TestPage page(20, 5);
    page.fillRect(3, 2, 4, 1);
    page.set(10, 2);
    EXPECT_EQ(walk(page, 0, 2, 12, 2),
              (std::vector<std::int32_t>{0, 3, 7, 10, 11, 12, 12, 12, 12}));
    EXPECT_EQ(quadrel::blackCountOfWalk(walk(page, 0, 2, 12, 2)), 5);
    // The far end is not visited; a walk off the page stops there.
    EXPECT_EQ(walk(page, 0, 2, 6, 2), (std::vector<std::int32_t>{0, 3, 6, 6, 6, 6}));
    EXPECT_EQ(walk(page, 15, 2, 30, 2), (std::vector<std::int32_t>{0, 5, 5, 5, 5}));
    EXPECT_TRUE(walk(page, 4, 4, 4, 4).empty());
    // Columns and diagonals step along the major axis.
    EXPECT_EQ(quadrel::blackCountOfWalk(walk(page, 4, 0, 4, 5)), 1);
    EXPECT_EQ(quadrel::blackCountOfWalk(walk(page, 2, 0, 6, 4)), 1); // passes (4, 2)
}

} // namespace
