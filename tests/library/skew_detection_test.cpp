// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "library/functions/analysis_functions.h"
#include "library/functions/skew_detection.h"
#include "library/image/run_table_memo.h"
#include "library/la_api.h"
#include "tests/support/test_page.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <optional>
#include <vector>

namespace {

using quadrel::LaBitmap;
using testsupport::rotated;
using testsupport::TestPage;

double radians(double degrees) {
    return degrees * std::numbers::pi / 180.0;
}

// Text-like lines of 20 x 20 blobs, 30 columns apart, whose centres rise by
// tan(degrees) per column in bitmap rows.
TestPage slopedTextPage(int width, int height, double degrees) {
    TestPage page(width, height);
    const double slope = std::tan(radians(degrees));
    for (int base = 200; base < height - 200; base += 100)
        for (int x = 40; x + 60 < width; x += 30) {
            const double centreY = base + (x + 10 - width / 2) * slope;
            page.fillRect(x, int(std::lround(centreY)) - 10, 20, 20);
        }
    return page;
}

struct SkewResult {
    std::int32_t status = 0;
    double angle = -99.0;
    LaBitmap output;
};

SkewResult runSkew(const TestPage& page, int blackIsZero = 0) {
    const LaBitmap input = page.toBitmap(blackIsZero);
    SkewResult result;
    result.status = quadrel::detectSkew(input, result.output, &result.angle);
    return result;
}

double remeasured(const LaBitmap& page) {
    double angle = -99.0;
    LaBitmap output;
    EXPECT_EQ(quadrel::detectSkew(page, output, &angle), LA_STATUS_OK);
    return angle;
}

TEST(SkewSizeFilterTest, KeepsCharacterSizedShapesOnly) {
    EXPECT_FALSE(quadrel::isSkewVoter(100, 4)); // neither side in 6 ... 79
    EXPECT_TRUE(quadrel::isSkewVoter(10, 14));  // 15 > 14
    EXPECT_FALSE(quadrel::isSkewVoter(10, 15)); // 15 is not greater than 15
    EXPECT_TRUE(quadrel::isSkewVoter(100, 70)); // one usable side is enough
}

quadrel::LaComponentBox componentCentredAt(int x, int y) {
    quadrel::LaComponentBox c;
    c.xMin = x - 10;
    c.xEnd = x + 10;
    c.yMin = y - 10;
    c.yMax = y + 10;
    return c;
}

TEST(SkewVoteTest, LastCounterInRowMajorOrderWinsATie) {
    // At the page centre every direction gets one vote at distance 0.
    EXPECT_EQ(quadrel::strongestDirection({componentCentredAt(100, 50)}, 200, 100), 149);
    // 100 columns right of it, directions 0, 1 and 2 share the largest distance (25).
    EXPECT_EQ(quadrel::strongestDirection({componentCentredAt(200, 50)}, 200, 100), 2);
    EXPECT_EQ(quadrel::strongestDirection({}, 200, 100), -1);
}

TEST(SkewBandTest, PicksTheBandWithMostColourChanges) {
    TestPage page(16, 7000);
    for (int y = 3600; y < 6000; y += 4) page.fillRect(0, y, 3, 1);
    const auto band = quadrel::chooseSkewBand(page.toBitmap());
    EXPECT_EQ(band.first, 3500);
    EXPECT_EQ(band.rows, 3500);

    // The last band is short; busy rows outweigh its fewer blank rows.
    TestPage tall(64, 8000);
    for (int y = 7000; y < 8000; ++y)
        for (int x = 0; x < 64; x += 4) tall.set(x, y);
    const auto last = quadrel::chooseSkewBand(tall.toBitmap(1));
    EXPECT_EQ(last.first, 7000);
    EXPECT_EQ(last.rows, 1000);
}

// Rows [from, from + 3500) of `page` set to `row` (x at 0 ... width - 1).
void fillBand(TestPage& page, int from, const std::vector<bool>& row) {
    for (int y = from; y < from + 3500; ++y)
        for (int x = 0; x < page.width(); ++x) page.set(x, y, row[std::size_t(x)]);
}

// A row of `width` pixels with exactly `changes` colour changes (white before
// column 0): isolated black pixels, then one run to the end when odd.
std::vector<bool> rowWithChanges(int width, int changes) {
    std::vector<bool> row(std::size_t(width), false);
    int x = 0;
    for (int k = 0; k + 1 < changes; k += 2, x += 2) row[std::size_t(x)] = true;
    if (changes % 2)
        for (; x < width; ++x) row[std::size_t(x)] = true;
    return row;
}

TEST(SkewBandTest, CountsEachColourChangeAtEveryWidthAndPolarity) {
    struct Case {
        int width;
        std::vector<int> black; // black columns of the tested row
        int changes;
    };
    const std::vector<Case> cases = {{3, {2}, 1},           {63, {0, 62}, 3},
                                     {64, {0, 1, 63}, 3},   {65, {63, 64}, 1},
                                     {65, {64}, 1},         {130, {0, 64, 65, 127, 129}, 7},
                                     {200, {5, 6, 7, 8}, 2}};
    for (const Case& c : cases)
        for (const int blackIsZero : {0, 1})
            for (const int extra : {0, 1}) {
                std::vector<bool> tested(std::size_t(c.width), false);
                for (const int x : c.black) tested[std::size_t(x)] = true;
                TestPage page(c.width, 7000);
                fillBand(page, 0, tested);
                fillBand(page, 3500, rowWithChanges(c.width, c.changes + extra));
                LaBitmap bitmap = page.toBitmap(blackIsZero);
                // Padding bits past the width, black, must not count.
                const int used = c.width % 8;
                for (int y = 0; y < bitmap.height && used; ++y) {
                    std::uint8_t& last = bitmap.row(y)[c.width / 8];
                    const auto padding = std::uint8_t(0xFF >> used);
                    last =
                        blackIsZero ? std::uint8_t(last & ~padding) : std::uint8_t(last | padding);
                }
                // A tie keeps the first band; one change more per row wins.
                EXPECT_EQ(quadrel::chooseSkewBand(bitmap).first, extra ? 3500 : 0)
                    << "width " << c.width << ", polarity " << blackIsZero << ", extra " << extra;
            }
}

TEST(SkewDetectionTest, SlopedLinesGiveTheirAngleWithTheStoredSign) {
    // A line rising by d degrees stores -d.
    for (double degrees : {1.0, -1.0, 2.4, -3.0}) {
        const SkewResult r = runSkew(slopedTextPage(1200, 1400, degrees));
        ASSERT_EQ(r.status, LA_STATUS_OK);
        EXPECT_NEAR(r.angle, -degrees, 0.2) << degrees;
    }
}

TEST(SkewDetectionTest, LevelLinesMeasureZeroAndKeepThePage) {
    TestPage page = slopedTextPage(2550, 3300, 0.0);
    const SkewResult r = runSkew(page);
    ASSERT_EQ(r.status, LA_STATUS_OK);
    EXPECT_EQ(r.angle, 0.0);
    ASSERT_EQ(r.output.width, 2550);
    ASSERT_EQ(r.output.height, 3300);
    // Not turned: pixel for pixel the page (its last column, left white, is white).
    const TestPage out = TestPage::fromBitmap(r.output);
    EXPECT_EQ(out.blackCount(), page.blackCount());
    for (int y = 0; y < page.height(); y += 7)
        for (int x = 0; x < page.width(); x += 3)
            ASSERT_EQ(out.black(x, y), page.black(x, y)) << x << "," << y;
}

TEST(SkewDetectionTest, OnlyAnglesOfAtLeastThreeTenthsRotate) {
    for (double degrees : {-0.4, 0.4}) {
        const SkewResult r = runSkew(slopedTextPage(1200, 1400, degrees));
        EXPECT_NEAR(r.angle, -degrees, 1e-9) << degrees;
        EXPECT_NEAR(remeasured(r.output), 0.0, 1e-9) << degrees << ": turned level";
    }
    // Below 0.3 degrees the size follows the angle but the page is not turned:
    // the copy, centred in it, measures the same.
    for (double degrees : {-0.2, 0.2}) {
        const SkewResult r = runSkew(slopedTextPage(1200, 1400, degrees));
        EXPECT_NEAR(r.angle, -degrees, 1e-9) << degrees;
        EXPECT_GT(r.output.width, 1200);
        EXPECT_NEAR(remeasured(r.output), -degrees, 1e-9) << degrees << ": left as it was";
    }
}

TEST(SkewDetectionTest, TooFewVotesMeasureZeroAndLoseTheLastColumn) {
    TestPage page(100, 60);
    page.fillRect(10, 10, 20, 20);
    page.fillRect(40, 10, 20, 20);
    page.fillRect(70, 30, 30, 10); // reaches the last column
    for (int biz : {0, 1}) {
        const SkewResult r = runSkew(page, biz);
        ASSERT_EQ(r.status, LA_STATUS_OK);
        EXPECT_EQ(r.angle, 0.0);
        ASSERT_EQ(r.output.width, 100);
        ASSERT_EQ(r.output.height, 60);
        EXPECT_EQ(r.output.blackIsZero, biz);
        TestPage expected = page;
        expected.fillRect(99, 0, 1, 60, false);
        const TestPage out = TestPage::fromBitmap(r.output);
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 100; ++x) ASSERT_EQ(out.black(x, y), expected.black(x, y));
    }
    // Six long dashes are enough components, but none votes: also 0.
    TestPage dashes(400, 100);
    for (int k = 0; k < 6; ++k) dashes.fillRect(10, 10 + 12 * k, 300, 3);
    const SkewResult r = runSkew(dashes);
    EXPECT_EQ(r.angle, 0.0);
    EXPECT_EQ(r.output.width, 400);
}

TEST(SkewDetectionTest, BlankOrEmptyPageFails) {
    const SkewResult blank = runSkew(TestPage(300, 200));
    EXPECT_EQ(blank.status, LA_STATUS_NO_BLACK_PIXEL);
    EXPECT_EQ(blank.angle, 0.0);
    EXPECT_FALSE(blank.output.hasPixels());

    // What a failed deskew hands to the next function reads as a blank page.
    double angle = 5.0;
    LaBitmap output;
    EXPECT_EQ(quadrel::detectSkew(blank.output, output, &angle), LA_STATUS_NO_BLACK_PIXEL);
    EXPECT_EQ(angle, 0.0);
}

TEST(SkewDetectionTest, RotatedFaxPageReportsItsAngle) {
    // Typed pages whose own lines measure level.
    for (int n : {1, 7}) {
        const auto page = testsupport::loadCcittPage(n);
        if (!page) GTEST_SKIP() << "CCITT test pages not installed";
        for (double degrees : {-4.3, -1.0, 2.7}) {
            const SkewResult r = runSkew(rotated(*page, degrees));
            ASSERT_EQ(r.status, LA_STATUS_OK);
            EXPECT_NEAR(r.angle, -degrees, 0.4) << n << ": " << degrees;
        }
    }
}

// A page measured level and not turned hands its labels on to the functions
// after it, and they must be the page's own labels; a page that is turned,
// loses its last column or has ink below the measured band hands on nothing.
TEST(SkewDetectionTest, LevelPageKeepsItsOwnLabelsForLaterFunctions) {
    using quadrel::RunTableMemo;
    const auto keptAfterSkew = [](const TestPage& page) -> std::optional<quadrel::LabelledRuns> {
        const RunTableMemo memo;
        const SkewResult r = runSkew(page);
        EXPECT_EQ(r.status, LA_STATUS_OK);
        return RunTableMemo::takeLabels(r.output);
    };
    const TestPage level = slopedTextPage(1200, 1400, 0.0);
    const std::optional<quadrel::LabelledRuns> kept = keptAfterSkew(level);
    ASSERT_TRUE(kept);
    quadrel::LabelledRuns own;
    ASSERT_EQ(quadrel::labelPageComponents(level.toBitmap(), own), LA_STATUS_OK);
    ASSERT_EQ(kept->boxes.size(), own.boxes.size());
    for (std::size_t i = 0; i < own.boxes.size(); ++i) {
        EXPECT_EQ(kept->boxes[i].xMin, own.boxes[i].xMin);
        EXPECT_EQ(kept->boxes[i].yMax, own.boxes[i].yMax);
    }
    ASSERT_EQ(kept->runs.size(), own.runs.size());
    for (std::size_t r = 0; r < own.runs.size(); ++r) {
        ASSERT_EQ(kept->runs[r].size(), own.runs[r].size()) << r;
        for (std::size_t i = 0; i < own.runs[r].size(); ++i) {
            EXPECT_EQ(kept->runs[r][i].start, own.runs[r][i].start);
            EXPECT_EQ(kept->runs[r][i].label, own.runs[r][i].label);
        }
    }

    EXPECT_FALSE(keptAfterSkew(slopedTextPage(1200, 1400, 1.0))) << "turned";
    TestPage lastColumn = level;
    lastColumn.fillRect(1190, 600, 10, 20);
    EXPECT_FALSE(keptAfterSkew(lastColumn)) << "the copy lost its last column";
    // 3520 rows: the band is the first 3500, and both ends of the page have ink.
    TestPage tall = slopedTextPage(1200, 3520, 0.0);
    tall.fillRect(100, 2, 20, 8);
    tall.fillRect(100, 3510, 20, 8);
    EXPECT_FALSE(keptAfterSkew(tall)) << "ink outside the band";
    tall.fillRect(100, 2, 20, 8, false);
    tall.fillRect(100, 3510, 20, 8, false);
    EXPECT_TRUE(keptAfterSkew(tall)) << "blank rows outside the band";
}

} // namespace
