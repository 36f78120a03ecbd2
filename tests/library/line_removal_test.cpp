// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "library/functions/analysis_functions.h"
#include "library/la_api.h"
#include "tests/support/test_page.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using testsupport::TestPage;

TestPage removed(const TestPage& page, std::int32_t mask = 3, std::int32_t maxThickness = 120,
                 int blackIsZero = 0, std::int32_t parameter203 = 7) {
    const quadrel::LaBitmap input = page.toBitmap(blackIsZero);
    quadrel::LaBitmap output;
    EXPECT_EQ(quadrel::removeLines(input, output, 80, parameter203, maxThickness, mask, 0),
              LA_STATUS_OK);
    EXPECT_EQ(output.stride, input.stride);
    EXPECT_EQ(output.blackIsZero, input.blackIsZero);
    return TestPage::fromBitmap(output);
}

bool sameBuffer(const quadrel::LaBitmap& a, const quadrel::LaBitmap& b) {
    return a.bufferSize == b.bufferSize &&
           std::memcmp(a.buffer.data(), b.buffer.data(), a.bufferSize) == 0;
}

// True when every pixel of the rectangle is white.
bool whiteIn(const TestPage& page, int x, int y, int w, int h) {
    for (int yy = y; yy < y + h; ++yy)
        for (int xx = x; xx < x + w; ++xx)
            if (page.black(xx, yy)) return false;
    return true;
}

TEST(LineRemovalTest, HorizontalRuleIsClearedWithOneRowEachSideOverItsSpan) {
    TestPage page(500, 100);
    page.fillRect(100, 50, 300, 2);
    page.set(150, 49); // touches the rule from below: painted
    page.set(150, 52); // from above: painted
    page.set(150, 48); // two rows away: kept
    page.set(405, 49); // beside the span: kept
    for (int blackIsZero : {0, 1}) {
        const TestPage out = removed(page, 3, 120, blackIsZero);
        EXPECT_TRUE(whiteIn(out, 100, 49, 300, 4));
        EXPECT_TRUE(out.black(150, 48));
        EXPECT_TRUE(out.black(405, 49));
        EXPECT_EQ(out.blackCount(), 2);
    }
}

TEST(LineRemovalTest, PaintingAtTheFirstAndLastRowsStaysInsideTheBitmap) {
    TestPage page(400, 60);
    page.fillRect(50, 0, 250, 2);  // rows 0-1: rows 0, 1 and 2 cleared
    page.fillRect(50, 58, 250, 2); // rows 58-59: rows 57, 58 and 59 cleared
    page.fillRect(60, 2, 10, 2);   // row 2 inside the span goes, row 3 stays
    page.fillRect(60, 56, 10, 2);  // row 57 goes, row 56 stays
    const TestPage out = removed(page, 1);
    EXPECT_TRUE(whiteIn(out, 50, 0, 250, 3));
    EXPECT_TRUE(whiteIn(out, 50, 57, 250, 3));
    EXPECT_TRUE(out.black(60, 3));
    EXPECT_TRUE(out.black(60, 56));
    EXPECT_EQ(out.blackCount(), 20);
}

TEST(LineRemovalTest, VerticalRuleIsClearedInItsOwnColumnsOnly) {
    TestPage page(60, 500);
    page.fillRect(20, 50, 3, 400);
    page.fillRect(19, 100, 1, 5); // beside the rule: kept
    page.fillRect(23, 300, 1, 5);
    const TestPage out = removed(page, 2);
    EXPECT_TRUE(whiteIn(out, 20, 0, 3, 500));
    EXPECT_EQ(out.blackCount(), 10);
    // Horizontal removal alone leaves it.
    EXPECT_EQ(removed(page, 1).blackCount(), page.blackCount());
}

TEST(LineRemovalTest, VerticalRuleReachingTheLastRowFailsTheNearEdgeRule) {
    // Its own last row puts 3 black pixels on the frame, and the near-edge
    // rule allows fewer than 3 * 2 / 2 = 3.
    TestPage page(60, 500);
    page.fillRect(20, 100, 3, 400);
    EXPECT_EQ(removed(page, 2).blackCount(), 1200);
}

TEST(LineRemovalTest, RulesAtOrAboveMaxThicknessStay) {
    TestPage page(2100, 400);
    page.fillRect(40, 100, 2000, 150);
    EXPECT_EQ(removed(page, 1, 120).blackCount(), page.blackCount());
    EXPECT_EQ(removed(page, 1, 150).blackCount(), page.blackCount());
    EXPECT_EQ(removed(page, 1, 151).blackCount(), 0);
}

TEST(LineRemovalTest, HorizontalRulesUseTheExactRatio) {
    // 2000 x 199: the ratio is 1000.5, above the limit only as a real quotient.
    TestPage page(2100, 300);
    page.fillRect(50, 50, 2000, 199);
    EXPECT_EQ(removed(page, 1, 1000).blackCount(), 0);
    quadrel::LaList<quadrel::LaRegionRecord> lines;
    EXPECT_EQ(quadrel::detectLinesAndTables(page.toBitmap(), lines, 80, 1000, 1, 0), LA_STATUS_OK);
    EXPECT_TRUE(lines.empty());
}

TEST(LineRemovalTest, DashedRuleIsRemovedWhole) {
    // 100-pixel dashes, 5-pixel gaps: one segment per row here (gap < 7).
    TestPage page(700, 100);
    for (int x = 20; x + 100 <= 680; x += 105) page.fillRect(x, 50, 100, 2);
    EXPECT_EQ(removed(page).blackCount(), 0);
}

TEST(LineRemovalTest, WholeSpanIsPaintedIncludingARunRefusedForDensity) {
    // Anchor [100, 180), 1-pixel runs taken at 186 and 193 (ink 82, span 94);
    // the run at 197 is refused (83 * 1000 / 98 = 846), the run [199, 260)
    // is 5 pixels from the segment and taken (143 * 1000 / 160 = 893).
    TestPage page(400, 100);
    page.fillRect(100, 50, 80, 1);
    for (int x : {186, 193, 197}) page.set(x, 50);
    page.fillRect(199, 50, 61, 1);
    page.set(270, 50); // 10 pixels beyond the span: kept
    const TestPage out = removed(page, 1);
    EXPECT_EQ(out.blackCount(), 1);
    EXPECT_TRUE(out.black(270, 50));
}

TEST(LineRemovalTest, MaskZeroAndParameter203LeaveTheCopyAlone) {
    TestPage page(500, 300);
    page.fillRect(100, 50, 300, 2);
    page.fillRect(30, 30, 2, 200);
    page.fillRect(200, 150, 7, 9);
    const quadrel::LaBitmap input = page.toBitmap(1, true);
    quadrel::LaBitmap copy;
    ASSERT_EQ(quadrel::removeLines(input, copy, 80, 7, 120, 0, 0), LA_STATUS_OK);
    EXPECT_TRUE(sameBuffer(copy, input));
    EXPECT_EQ(copy.stride, input.stride);

    quadrel::LaBitmap reference;
    ASSERT_EQ(quadrel::removeLines(input, reference, 80, 7, 120, 3, 0), LA_STATUS_OK);
    EXPECT_FALSE(sameBuffer(reference, input));
    for (std::int32_t p203 : {0, 1, 100, -5}) {
        quadrel::LaBitmap other;
        ASSERT_EQ(quadrel::removeLines(input, other, 80, p203, 120, 3, 0), LA_STATUS_OK);
        EXPECT_TRUE(sameBuffer(other, reference)) << p203;
    }
}

TEST(LineRemovalTest, InvoicePageLosesItsRules) {
    const auto page = testsupport::loadCcittPage(3);
    if (!page) GTEST_SKIP() << "CCITT test page 3 not available";
    const TestPage out = removed(*page);
    EXPECT_LT(out.blackCount(), page->blackCount());
    // Nothing is painted black.
    int painted = 0;
    for (int y = 0; y < page->height(); ++y)
        for (int x = 0; x < page->width(); ++x) painted += out.black(x, y) && !page->black(x, y);
    EXPECT_EQ(painted, 0);
    // What code 2 found as ruling lines is gone.
    quadrel::LaList<quadrel::LaRegionRecord> before;
    quadrel::LaList<quadrel::LaRegionRecord> after;
    ASSERT_EQ(quadrel::detectLinesAndTables(page->toBitmap(), before, 80, 120, 3, 0), LA_STATUS_OK);
    ASSERT_EQ(quadrel::detectLinesAndTables(out.toBitmap(), after, 80, 120, 3, 0), LA_STATUS_OK);
    EXPECT_GT(before.size(), 20u);
    EXPECT_LT(after.size(), before.size() / 4);
}

} // namespace
