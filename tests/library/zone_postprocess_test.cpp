// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "library/la_api.h"
#include "library/zone_merge_rules.h"
#include "library/zone_postprocess.h"
#include "tests/support/test_page.h"

#include <gtest/gtest.h>

#include <array>

namespace {

using quadrel::LaZone;
using testsupport::TestPage;

constexpr int kPageHeight = 600;

LaZone zone(int left, int top, int right, int bottom, int content = LA_CONTENT_TEXT,
            int index = 0) {
    return LaZone{left, top, right, bottom, content, index};
}

// Fills a zone (page rows, top at 0) with letters `runLength` wide and as
// tall as the zone, so that it measures that run mode and height mode.
void drawText(TestPage& page, const LaZone& z, int runLength) {
    const int bitmapTop = kPageHeight - 1 - z.bottom; // the page is stored bottom row first
    for (int x = z.left + 1; x + runLength < z.right; x += runLength + 4)
        page.fillRect(x, bitmapTop, runLength, z.bottom - z.top + 1);
}

struct Page {
    TestPage pixels{700, kPageHeight};
    std::vector<LaZone> zones;

    void addText(const LaZone& z, int runLength) {
        drawText(pixels, z, runLength);
        zones.push_back(z);
    }
    std::int32_t pass(std::int32_t number) {
        const quadrel::LaBitmap bitmap = pixels.toBitmap();
        return quadrel::postProcessZones(&bitmap, zones, number);
    }
};

// Two zones of 20-row letters in one column, `gap` rows apart.
Page stackedPair(int gap, int runA = 8, int runB = 8) {
    Page page;
    page.addText(zone(100, 100, 400, 119), runA);
    page.addText(zone(100, 119 + gap, 400, 138 + gap), runB);
    return page;
}

// Number of zones after one pass, which must succeed.
std::size_t zonesAfter(Page page, std::int32_t pass) {
    EXPECT_EQ(page.pass(pass), LA_STATUS_OK);
    return page.zones.size();
}

TEST(ZonePostProcessTest, StackedZonesMergeBelowOneAndAQuarterTextHeights) {
    Page page = stackedPair(24); // height modes 20: the limit is 25
    ASSERT_EQ(page.pass(0), LA_STATUS_OK);
    ASSERT_EQ(page.zones.size(), 1u);
    EXPECT_EQ(page.zones[0].top, 100);
    EXPECT_EQ(page.zones[0].bottom, 162);
    EXPECT_EQ(zonesAfter(stackedPair(10), 0), 1u);
    EXPECT_EQ(zonesAfter(stackedPair(25), 0), 2u);
    EXPECT_EQ(zonesAfter(stackedPair(30), 0), 2u);
    EXPECT_EQ(zonesAfter(stackedPair(10), 1), 2u); // side by side wants shared rows
}

TEST(ZonePostProcessTest, HorizontalLineKeepsStackedZonesApart) {
    Page between = stackedPair(10);
    between.zones.push_back(zone(90, 123, 410, 125, 0)); // spanning both
    EXPECT_EQ(zonesAfter(between, 0), 3u);
    Page aside = stackedPair(10);
    aside.zones.push_back(zone(500, 123, 690, 125, 0));
    EXPECT_EQ(zonesAfter(aside, 0), 2u);
}

TEST(ZonePostProcessTest, SideBySideGapIsMeasuredInRunsOfTheSecondZone) {
    for (int runB : {7, 5}) { // a gap of 30 against 35 or 25
        Page page;
        page.addText(zone(100, 100, 300, 119), 7);
        page.addText(zone(330, 100, 530, 119), runB);
        EXPECT_EQ(zonesAfter(page, 1), runB == 7 ? 1u : 2u) << runB;
    }
}

TEST(ZonePostProcessTest, NestedZoneMergesWithinTwentyPixels) {
    for (int pass : {0, 1})
        for (int outside : {19, 20}) {
            Page page;
            page.addText(zone(100, 100, 500, 300), 30); // tall letters, another size
            LaZone small = zone(100 - outside, 250, 200, 280);
            page.pixels.fillRect(100, kPageHeight - 301, 400, 60, false);
            for (int x = 85; x < 190; x += 20) page.pixels.fillRect(x, kPageHeight - 271, 8, 10);
            page.zones.push_back(small);
            EXPECT_EQ(zonesAfter(page, pass), outside == 19 ? 1u : 2u) << pass << " " << outside;
        }
}

TEST(ZonePostProcessTest, CloseRunModesCountAsEqual) {
    EXPECT_EQ(zonesAfter(stackedPair(10, 2, 3), 0), 1u); // 666 per mille, but 1 apart
    EXPECT_EQ(zonesAfter(stackedPair(10, 9, 10), 0), 1u);
    EXPECT_EQ(zonesAfter(stackedPair(10, 6, 10), 0), 2u);
}

TEST(ZonePostProcessTest, EqualisedRunModeLastsForThePass) {
    // Zone 0 (run 9) takes run 10 from zone 1; then 10 against 14 is 714 per
    // mille and zone 2 joins, which 9 against 14 (642) would not allow.
    Page page;
    page.addText(zone(100, 130, 400, 149), 9);
    page.addText(zone(100, 100, 400, 119), 10);
    page.addText(zone(100, 160, 400, 179), 14);
    EXPECT_EQ(zonesAfter(page, 0), 1u);
}

TEST(ZonePostProcessTest, MergedZonesFollowTheOthersInGroupOrder) {
    Page page = stackedPair(10);
    page.zones.insert(page.zones.begin() + 1, zone(10, 10, 60, 40, 5, 1));
    page.addText(zone(100, 400, 400, 419), 8);
    page.zones.push_back(zone(500, 500, 520, 510, 0, 4));
    page.zones.push_back(zone(50, 50, 50, 70, 6, 5)); // no width: left in place
    ASSERT_EQ(page.pass(0), LA_STATUS_OK);
    ASSERT_EQ(page.zones.size(), 5u);
    for (int k : {0, 1, 2}) EXPECT_EQ(page.zones[k].index, (std::array{1, 4, 5})[k]);
    EXPECT_EQ(page.zones[3].top, 100);
    EXPECT_EQ(page.zones[3].bottom, 148);
    EXPECT_EQ(page.zones[3].index, 0);
    EXPECT_EQ(page.zones[4].top, 400);
}

TEST(ZonePostProcessTest, UnmeasurableOrMissingInputLeavesTheTable) {
    Page page = stackedPair(10);
    const auto before = page.zones;
    EXPECT_EQ(quadrel::postProcessZones(nullptr, page.zones, 0), LA_STATUS_OK);
    EXPECT_EQ(page.zones.size(), before.size());

    page.zones.push_back(zone(500, 300, 600, 320)); // no black inside
    EXPECT_EQ(page.pass(0), LA_STATUS_NO_BLACK_PIXEL);
    EXPECT_EQ(page.zones.size(), 3u);

    std::vector<LaZone> noText{zone(1, 1, 50, 5, 0), zone(1, 10, 50, 50, 5)};
    const quadrel::LaBitmap blank = TestPage(100, 100).toBitmap();
    EXPECT_EQ(quadrel::postProcessZones(&blank, noText, 1), LA_STATUS_OK);
    EXPECT_EQ(noText.size(), 2u);
}

TEST(ZoneMergeRulesTest, ZeroModesNeverMatchAndNeverFault) {
    quadrel::LaTextStats zero{20, 20, 0, 0};
    EXPECT_FALSE(quadrel::sameTextSize(zero, {20, 20, 0, 10}));
    quadrel::LaTextStats a{20, 20, 5, 0};
    const quadrel::LaTextStats b{20, 20, 5, 10};
    EXPECT_FALSE(quadrel::sameTextSize(a, b)); // a height mode of 0 never matches
    EXPECT_FALSE(
        quadrel::zonesBelongTogether(zone(0, 0, 50, 20), a, zone(60, 0, 110, 20), b, 1, {}));
}

} // namespace
