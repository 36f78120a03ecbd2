// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Removal of redundant zones and the geometry tests it rests on.
#include "library/la_api.h"
#include "library/zone_cleanup.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using quadrel::LaZone;

LaZone zone(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
            std::int32_t content) {
    return {left, top, right, bottom, content, 0};
}

// Contents of the zones left after marking and compaction on a 1000 x 1000 page.
std::vector<std::int32_t> survivors(std::vector<LaZone> zones, std::int32_t pageWidth = 1000,
                                    std::int32_t pageHeight = 1000) {
    quadrel::markRedundantZones(zones, pageWidth, pageHeight);
    quadrel::compactZones(zones);
    std::vector<std::int32_t> contents;
    for (const LaZone& z : zones) contents.push_back(z.content);
    return contents;
}

using Contents = std::vector<std::int32_t>;

// True when `removed` goes and `kept` stays, whichever of the two comes first.
bool removedInEitherOrder(const LaZone& kept, const LaZone& removed) {
    const Contents left{kept.content};
    return survivors({kept, removed}) == left && survivors({removed, kept}) == left;
}

TEST(ZoneCleanupTest, NoiseInsideAZoneIsRemovedBordersIncluded) {
    const LaZone text = zone(100, 100, 200, 200, LA_CONTENT_TEXT);
    EXPECT_TRUE(removedInEitherOrder(text, zone(100, 150, 108, 158, LA_CONTENT_NOISE)));
    EXPECT_EQ(survivors({text, zone(99, 150, 107, 158, LA_CONTENT_NOISE)}),
              (Contents{LA_CONTENT_TEXT, LA_CONTENT_NOISE}));
}

TEST(ZoneCleanupTest, IdenticalNoiseZonesRemoveEachOther) {
    const LaZone noise = zone(10, 10, 18, 18, LA_CONTENT_NOISE);
    EXPECT_EQ(survivors({noise, noise}), Contents{});
}

TEST(ZoneCleanupTest, NestedPicturesAwayFromThePageEdge) {
    const LaZone inner = zone(120, 120, 170, 170, LA_CONTENT_PICTURE);
    EXPECT_EQ(survivors({zone(100, 100, 200, 200, LA_CONTENT_PICTURE), inner}).size(), 1u);
    EXPECT_EQ(survivors({inner, zone(100, 100, 200, 200, LA_CONTENT_PICTURE)}).size(), 1u);
    // Touching the left page edge, or the far edges, keeps both.
    EXPECT_EQ(survivors({zone(0, 100, 200, 200, LA_CONTENT_PICTURE), inner}).size(), 2u);
    EXPECT_EQ(survivors({zone(100, 100, 999, 200, LA_CONTENT_PICTURE), inner}).size(), 2u);
    EXPECT_EQ(survivors({zone(100, 100, 200, 999, LA_CONTENT_PICTURE), inner}).size(), 2u);
    // With no page size known every picture counts as touching the edge.
    EXPECT_EQ(survivors({zone(100, 100, 200, 200, LA_CONTENT_PICTURE), inner}, 0, 0).size(), 2u);
}

TEST(ZoneCleanupTest, InvertedTextInsideTextDependsOnTheWidthRatio) {
    const LaZone inverted = zone(100, 100, 200, 120, LA_CONTENT_INVERTED_TEXT);
    // 100 / 300 = 333: a narrow band inside a wide text block is removed.
    EXPECT_TRUE(removedInEitherOrder(zone(50, 100, 350, 120, LA_CONTENT_TEXT), inverted));
    // 100 / 105 = 952: nearly the same width, it stays.
    EXPECT_EQ(survivors({inverted, zone(98, 100, 203, 120, LA_CONTENT_TEXT)}),
              (Contents{LA_CONTENT_INVERTED_TEXT, LA_CONTENT_TEXT}));
}

TEST(ZoneCleanupTest, InvertedTextUnderAPictureIsRemoved) {
    // Sharing the columns is enough, wherever the rows are.
    EXPECT_EQ(survivors({zone(100, 0, 200, 50, LA_CONTENT_PICTURE),
                         zone(101, 600, 199, 650, LA_CONTENT_INVERTED_TEXT)}),
              Contents{LA_CONTENT_PICTURE});
    // Covering more than 80% of the picture, and the picture more than 80% of it.
    const LaZone picture = zone(100, 100, 400, 400, LA_CONTENT_PICTURE);
    EXPECT_EQ(survivors({picture, zone(110, 110, 390, 390, LA_CONTENT_INVERTED_TEXT)}),
              Contents{LA_CONTENT_PICTURE});
    // A small band inside a big picture is not enough.
    EXPECT_EQ(survivors({picture, zone(150, 150, 250, 250, LA_CONTENT_INVERTED_TEXT)}),
              (Contents{LA_CONTENT_PICTURE, LA_CONTENT_INVERTED_TEXT}));
}

TEST(ZoneCleanupTest, OnlyTinyTextInsideAPictureIsRemoved) {
    const LaZone picture = zone(100, 100, 400, 400, LA_CONTENT_PICTURE);
    EXPECT_TRUE(removedInEitherOrder(picture, zone(150, 150, 190, 170, LA_CONTENT_TEXT)));
    EXPECT_EQ(survivors({picture, zone(150, 150, 190, 190, LA_CONTENT_TEXT)}),
              (Contents{LA_CONTENT_PICTURE, LA_CONTENT_TEXT}));
}

TEST(ZoneCleanupTest, SurvivorsAreNumberedInOrder) {
    std::vector<LaZone> zones{
        zone(10, 10, 18, 18, LA_CONTENT_NOISE), zone(0, 0, 100, 100, LA_CONTENT_TEXT),
        zone(200, 200, 300, 300, LA_CONTENT_TEXT), zone(210, 210, 212, 212, LA_CONTENT_NOISE)};
    quadrel::markRedundantZones(zones, 1000, 1000);
    quadrel::compactZones(zones);
    ASSERT_EQ(zones.size(), 2u);
    EXPECT_EQ(zones[0].left, 0);
    EXPECT_EQ(zones[0].index, 0);
    EXPECT_EQ(zones[1].left, 200);
    EXPECT_EQ(zones[1].index, 1);
}

TEST(ZoneCleanupTest, ZeroDivisorsDoNotFault) {
    const LaZone line = zone(50, 10, 50, 90, LA_CONTENT_LINE); // zero width
    EXPECT_FALSE(quadrel::columnOverlap(line, line));
    EXPECT_EQ(quadrel::widthRatio(line, line), 1000);
}

TEST(ZoneCleanupTest, OverlapOfBigZonesIsComputedWide) {
    // Areas near 10^9: times 1000 they pass 32 bits.
    const LaZone big = zone(0, 0, 40000, 40000, LA_CONTENT_LINE);
    const LaZone inside = zone(100, 100, 39000, 39000, LA_CONTENT_LINE);
    EXPECT_EQ(quadrel::overlapClass(inside, big), 1);
    EXPECT_EQ(quadrel::overlapClass(big, inside), 2);
    EXPECT_EQ(quadrel::smallerShareOverlap(big, inside), 945); // 1513287801000 / 1600080001
}

} // namespace
