// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "library/functions/analysis_functions.h"
#include "library/functions/dark_bands.h"
#include "library/la_api.h"
#include "tests/support/test_page.h"

#include <gtest/gtest.h>

#include <array>

namespace {

using quadrel::BandSpan;
using quadrel::LaDarkRegion;
using testsupport::TestPage;

using Spans = std::vector<std::pair<int, int>>;

Spans bandsOf(const std::vector<std::int32_t>& values) {
    Spans spans;
    for (const BandSpan& b : quadrel::findBands(values)) spans.emplace_back(b.start, b.end);
    return spans;
}

// n values: `fill` from `from` to `to` (exclusive), 0 elsewhere.
std::vector<std::int32_t> values(int n, int from, int to, std::int32_t fill) {
    std::vector<std::int32_t> v(std::size_t(n), 0);
    for (int i = from; i < to; ++i) v[std::size_t(i)] = fill;
    return v;
}

std::vector<LaDarkRegion> candidatesOf(const TestPage& page, int minWidth = 80) {
    std::vector<LaDarkRegion> candidates;
    quadrel::findDarkBandCandidates(page.toBitmap(), minWidth, candidates);
    return candidates;
}

using Box = std::array<int, 4>;

Box box(const quadrel::LaRegionRecord& r) {
    return {r.xMin, r.yMin, r.xMax, r.yMax};
}

std::vector<quadrel::LaRegionRecord> inverseText(const TestPage& page, std::int32_t param301 = 120,
                                                 int blackIsZero = 0) {
    std::vector<quadrel::LaRegionRecord> records;
    EXPECT_EQ(quadrel::detectInverseText(page.toBitmap(blackIsZero), records, 80, param301),
              LA_STATUS_OK);
    return records;
}

TEST(BandFinderTest, NeedsMoreThanTenValuesAndEndsOnTheLastOne) {
    // A break on the last value counts as none: the band ends there.
    EXPECT_EQ(bandsOf(values(14, 1, 13, 1000)), (Spans{{1, 13}}));
    EXPECT_EQ(bandsOf(values(12, 1, 11, 1000)), Spans{}); // 11 - 1 = 10 is too short
    EXPECT_EQ(bandsOf({500}), Spans{});
    EXPECT_EQ(bandsOf({}), Spans{});
}

TEST(BandFinderTest, SearchResumesTwoValuesPastABreakOrARejectedStart) {
    auto broken = values(27, 1, 26, 1000);
    broken[13] = 400; // ends the first band; value 14 is never a start
    EXPECT_EQ(bandsOf(broken), (Spans{{1, 13}, {15, 26}}));
    auto bright = values(16, 2, 15, 400);
    bright[1] = 1000; // a start rejected at once; value 2 is never a start
    EXPECT_EQ(bandsOf(bright), (Spans{{3, 15}}));
}

TEST(DarkBandTest, RowsMustBeWiderThanTheMinimumAndBandsLongEnough) {
    TestPage page(200, 60);
    page.fillRect(16, 10, 81, 13);
    auto found = candidatesOf(page);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ((Box{found[0].left, found[0].top, found[0].right, found[0].bottom}),
              (Box{16, 11, 97, 22}));
    EXPECT_EQ(found[0].ink, 81 * 12 * 1000 / (12 * 88)); // columns 16 ... 104

    TestPage narrow(200, 60);
    narrow.fillRect(16, 10, 80, 40);
    EXPECT_TRUE(candidatesOf(narrow).empty());
    EXPECT_EQ(candidatesOf(narrow, 79).size(), 1u);
    TestPage shortBar(200, 60);
    shortBar.fillRect(16, 10, 81, 12);
    EXPECT_TRUE(candidatesOf(shortBar).empty());
}

TEST(DarkBandTest, StripedBlockIsABandOfHalfInk) {
    TestPage page(200, 80);
    page.fillRect(16, 10, 160, 4); // joins the stripes into one component
    for (int x = 16; x < 176; x += 8) page.fillRect(x, 10, 4, 50);
    auto found = candidatesOf(page);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_GE(found[0].ink, 500);
    EXPECT_LT(found[0].ink, 700); // too little ink to be read inverted
    EXPECT_TRUE(inverseText(page).empty());
}

TEST(InverseTextTest, SolidRectangleOrBlankPageHoldsNoText) {
    TestPage page(320, 200);
    page.fillRect(64, 40, 160, 80); // inverted, its crop has no black at all
    auto found = candidatesOf(page);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].ink, 1000);
    for (int biz : {0, 1}) EXPECT_TRUE(inverseText(page, 120, biz).empty());
    EXPECT_TRUE(inverseText(TestPage(100, 100)).empty());
    std::vector<quadrel::LaRegionRecord> records; // as left by a failed deskew
    EXPECT_EQ(quadrel::detectInverseText({}, records, 80, 120), LA_STATUS_OK);
    EXPECT_TRUE(records.empty());
}

TEST(InverseTextTest, WhiteTextOnABlackBannerIsFoundOnce) {
    TestPage page(600, 300);
    page.fillRect(40, 40, 480, 200);
    for (int y : {70, 110, 150}) // three lines of white letters
        for (int x = 60; x + 10 < 500; x += 24) page.fillRect(x, y, 10, 20, false);
    for (int biz : {0, 1}) {
        for (std::int32_t param301 : {120, 0}) {
            const auto records = inverseText(page, param301, biz);
            ASSERT_EQ(records.size(), 1u);
            EXPECT_EQ(box(records[0]), (Box{40, 41, 520, 239}));
            EXPECT_EQ(records[0].content, LA_CONTENT_LINE);
        }
    }
}

TEST(InverseTextTest, FaxPagesBannerIsTheOnlyRegion) {
    const auto banner = testsupport::loadCcittPage(8);
    const auto letter = testsupport::loadCcittPage(1);
    if (!banner || !letter) GTEST_SKIP() << "CCITT test pages not installed";
    EXPECT_TRUE(inverseText(*letter).empty());
    const auto records = inverseText(*banner);
    ASSERT_EQ(records.size(), 1u);
    // The banner fills the lower half of the page (the first stored rows).
    EXPECT_EQ(records[0].xMin, 0);
    EXPECT_GT(records[0].xMax, 1600);
    EXPECT_LT(records[0].yMin, 10);
    EXPECT_GT(records[0].yMax, 1100);
    EXPECT_LT(records[0].yMax, 1300);
}

} // namespace
