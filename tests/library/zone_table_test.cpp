// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Gathering the result lists into the public zone table.
#include "library/context.h"
#include "library/la_api.h"
#include "library/zone_table.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using quadrel::LaZone;

quadrel::LaTextBlock textBlock(std::int32_t xMin, std::int32_t yMin, std::int32_t xMax,
                               std::int32_t yMax, std::int32_t content = LA_CONTENT_TEXT) {
    quadrel::LaTextBlock block;
    block.xMin = xMin, block.yMin = yMin, block.xMax = xMax, block.yMax = yMax;
    block.content = content;
    return block;
}

// Records as the dispatcher leaves them: the first y field holds the lower page edge.
std::unique_ptr<LaContext> contextWithLists() {
    auto ctx = std::make_unique<LaContext>();
    ctx->param400 = 9;
    ctx->textList = std::make_unique<quadrel::LaList<quadrel::LaTextBlock>>(
        quadrel::LaList<quadrel::LaTextBlock>{textBlock(500, 520, 540, 500, LA_CONTENT_PICTURE)});
    ctx->pictureList = std::make_unique<quadrel::LaList<quadrel::LaPictureRecord>>(
        quadrel::LaList<quadrel::LaPictureRecord>{{300, 340, 330, 300}});
    ctx->inverseList = std::make_unique<quadrel::LaList<quadrel::LaRegionRecord>>(
        quadrel::LaList<quadrel::LaRegionRecord>{{200, 230, 240, 200}});
    quadrel::LaRegionRecord table{100, 190, 180, 100};
    table.content = LA_CONTENT_TABLE;
    ctx->linesList = std::make_unique<quadrel::LaList<quadrel::LaRegionRecord>>(
        quadrel::LaList<quadrel::LaRegionRecord>{table});
    return ctx;
}

TEST(ZoneTableTest, ListsAreGatheredInCodeOrderWithTopAboveBottom) {
    auto ctx = contextWithLists();
    ASSERT_EQ(quadrel::buildZoneTable(*ctx), LA_STATUS_OK);
    ASSERT_EQ(ctx->zones.size(), 4u);
    const std::vector<std::vector<std::int32_t>> expected{{100, 100, 180, 190, 1, 0},
                                                          {200, 200, 240, 230, 4, 1},
                                                          {300, 300, 340, 330, 5, 2},
                                                          {500, 500, 540, 520, 5, 3}};
    for (std::size_t k = 0; k < expected.size(); ++k) {
        const LaZone& z = ctx->zones[k];
        EXPECT_EQ((std::vector<std::int32_t>{z.left, z.top, z.right, z.bottom, z.content, z.index}),
                  expected[k])
            << k;
    }
}

TEST(ZoneTableTest, SmallTextBlocksBecomeNoise) {
    auto ctx = std::make_unique<LaContext>();
    ctx->param400 = 9;
    // 8 x 8 differences are noise; 9 columns wide is not, however flat.
    ctx->textList = std::make_unique<quadrel::LaList<quadrel::LaTextBlock>>(
        quadrel::LaList<quadrel::LaTextBlock>{textBlock(10, 18, 18, 10), textBlock(40, 12, 49, 10),
                                              textBlock(70, 10, 78, 18)});
    ASSERT_EQ(quadrel::buildZoneTable(*ctx), LA_STATUS_OK);
    ASSERT_EQ(ctx->zones.size(), 3u);
    EXPECT_EQ(ctx->zones[0].content, LA_CONTENT_NOISE);
    EXPECT_EQ(ctx->zones[1].content, LA_CONTENT_TEXT);
    EXPECT_EQ(ctx->zones[2].content, LA_CONTENT_NOISE); // the height counts whichever way round
}

TEST(ZoneTableTest, NoListsGiveAnEmptyTable) {
    LaContext ctx;
    ctx.zones.resize(3);
    EXPECT_EQ(quadrel::buildZoneTable(ctx), LA_STATUS_OK);
    EXPECT_TRUE(ctx.zones.empty());
}

TEST(ZoneTableTest, PageSizeComesFromTheTextInputAndPersists) {
    auto ctx = std::make_unique<LaContext>();
    ctx->textInput = std::make_unique<quadrel::LaBitmap>();
    ctx->textInput->width = 300;
    ctx->textInput->height = 200;
    ASSERT_EQ(quadrel::buildZoneTable(*ctx), LA_STATUS_OK);
    EXPECT_EQ(quadrel::zonePageSize().width, 300);
    EXPECT_EQ(quadrel::zonePageSize().height, 200);

    // A build without text input keeps the page size: the inner picture is
    // removed on the 300 x 200 page it knows.
    LaContext other;
    other.pictureList = std::make_unique<quadrel::LaList<quadrel::LaPictureRecord>>(
        quadrel::LaList<quadrel::LaPictureRecord>{{10, 100, 100, 10}, {20, 50, 50, 20}});
    ASSERT_EQ(quadrel::buildZoneTable(other), LA_STATUS_OK);
    EXPECT_EQ(quadrel::zonePageSize().width, 300);
    EXPECT_EQ(other.zones.size(), 1u);
}

} // namespace
