// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The reading order of built zone tables whose order a reader knows, and the
// parent table of columns and cells.
#include "library/la_api.h"
#include "zones/reading_order.h"
#include "zones/table_parents.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <vector>

namespace {

using zones::ReadingOrder;
using zones::ZoneRecord;

ZoneRecord zone(int left, int top, int right, int bottom, int content = LA_CONTENT_TEXT) {
    return {left, top, right, bottom, content};
}

TEST(ReadingOrder, TwoColumnsUnderAHeadingAreReadColumnByColumn) {
    // Listed bottom to top, as the library tends to: the order must not follow the table.
    const std::vector<ZoneRecord> zones{
        zone(1100, 1500, 2000, 1900), // 0 right column, lower paragraph
        zone(100, 1500, 1000, 1900),  // 1 left column, lower paragraph
        zone(1100, 400, 2000, 1400),  // 2 right column, upper paragraph
        zone(100, 400, 1000, 1400),   // 3 left column, upper paragraph
        zone(100, 100, 2000, 300),    // 4 heading across both columns
    };
    EXPECT_EQ(ReadingOrder(zones), (std::vector<int>{4, 3, 1, 2, 0}));
}

TEST(ReadingOrder, ParagraphsLevelAcrossColumnsStayInTheirColumn) {
    // The paragraph gaps line up: a row-first cut would read across the columns.
    const std::vector<ZoneRecord> zones{zone(100, 100, 1000, 500), zone(1100, 100, 2000, 500),
                                        zone(100, 600, 1000, 900), zone(1100, 600, 2000, 900)};
    EXPECT_EQ(ReadingOrder(zones), (std::vector<int>{0, 2, 1, 3}));
}

TEST(ReadingOrder, ATableBetweenParagraphsIsReadWithItsColumnsAndCells) {
    const std::vector<ZoneRecord> zones{
        zone(100, 1300, 2000, 1600),                          // 0 paragraph under the table
        zone(1050, 850, 2000, 1200, LA_CONTENT_TABLE_CELL),   // 1 cell, second row right
        zone(100, 700, 1050, 840, LA_CONTENT_TABLE_CELL),     // 2 cell, first row left
        zone(1050, 700, 2000, 840, LA_CONTENT_TABLE_CELL),    // 3 cell, first row right
        zone(100, 850, 1050, 1200, LA_CONTENT_TABLE_CELL),    // 4 cell, second row left
        zone(1050, 700, 2000, 1200, LA_CONTENT_TABLE_COLUMN), // 5 right column
        zone(100, 700, 1050, 1200, LA_CONTENT_TABLE_COLUMN),  // 6 left column
        zone(100, 700, 2000, 1200, LA_CONTENT_TABLE),         // 7 the table
        zone(100, 100, 2000, 600),                            // 8 paragraph above
    };
    EXPECT_EQ(ReadingOrder(zones), (std::vector<int>{8, 7, 6, 5, 2, 3, 4, 1, 0}));
    const std::vector<int> parents = zones::TableParents(zones);
    EXPECT_EQ(parents, (std::vector<int>{-1, 7, 7, 7, 7, 7, 7, -1, -1}));
}

TEST(ReadingOrder, PicturesLinesAndNoiseComeAfterTheText) {
    const std::vector<ZoneRecord> zones{
        zone(0, 0, 50, 5, LA_CONTENT_NOISE),               // 0
        zone(10, 10, 900, 12, LA_CONTENT_LINE),            // 1
        zone(10, 20, 400, 300, LA_CONTENT_PICTURE),        // 2
        zone(500, 900, 900, 1000),                         // 3 text, low on the page
        zone(10, 400, 400, 500, LA_CONTENT_INVERTED_TEXT), // 4
        zone(0, 0, 10, 10, 99),                            // 5 unknown code: noise
    };
    EXPECT_EQ(ReadingOrder(zones), (std::vector<int>{4, 3, 2, 1, 0, 5}));
}

TEST(ReadingOrder, EveryZoneComesOnceAndRanksInvertTheOrder) {
    std::vector<ZoneRecord> zones;
    for (int i = 0; i < 60; ++i) // overlapping boxes that no cut separates, and degenerate ones
        zones.push_back(zone((i * 37) % 500, (i * 53) % 700, (i * 37) % 500 + (i % 7) * 40,
                             (i * 53) % 700 + (i % 5) * 30, i % 8));
    std::vector<int> order = ReadingOrder(zones);
    const std::vector<int> ranks = zones::ReadingRanks(order);
    for (std::size_t k = 0; k < order.size(); ++k) EXPECT_EQ(ranks[std::size_t(order[k])], int(k));
    std::sort(order.begin(), order.end());
    std::vector<int> all(zones.size());
    std::iota(all.begin(), all.end(), 0);
    EXPECT_EQ(order, all);
    EXPECT_TRUE(ReadingOrder({}).empty());
}

TEST(TableParents, TheSmallestHoldingTableWinsAndStrayCellsHaveNone) {
    const std::vector<ZoneRecord> zones{
        zone(0, 0, 1000, 1000, LA_CONTENT_TABLE),        // 0 outer table
        zone(100, 100, 500, 500, LA_CONTENT_TABLE),      // 1 inner table
        zone(200, 200, 300, 300, LA_CONTENT_TABLE_CELL), // 2 in both: the inner one
        zone(600, 600, 700, 700, LA_CONTENT_TABLE_CELL), // 3 outer only
        zone(1500, 0, 1600, 90, LA_CONTENT_TABLE_CELL),  // 4 outside every table
        zone(200, 200, 300, 300, LA_CONTENT_TEXT),       // 5 text is nobody's member
    };
    EXPECT_EQ(zones::TableParents(zones), (std::vector<int>{-1, -1, 1, 0, -1, -1}));
    // A stray cell is still read, as a unit of its own.
    const std::vector<int> order = ReadingOrder(zones);
    EXPECT_NE(std::find(order.begin(), order.end(), 4), order.end());
}

} // namespace
