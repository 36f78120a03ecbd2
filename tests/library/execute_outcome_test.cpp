// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// LA_Execute with the real analysis functions: what the caller gets when one
// function runs out of memory, from a top-down DIB, and for ruling lines.
#include "library/dispatcher.h"
#include "library/la_api.h"
#include "platform/global_memory.h"
#include "tests/support/test_page.h"
#include "tests/support/zone_rows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <new>

namespace {

using namespace testsupport;

// A ruling line, a row of words and a block; rows counted from the bottom.
TestPage mixedPage() {
    TestPage page(400, 300);
    page.fillRect(20, 250, 360, 3);
    for (int k = 0; k < 6; ++k) page.fillRect(30 + 50 * k, 200, 30, 12);
    page.fillRect(100, 40, 120, 80);
    return page;
}

struct Analysis {
    std::int32_t status = -1;
    std::vector<ZoneRow> zones;
};

Analysis analyse(const platform::GlobalBlockOwner& dib) {
    ContextHandle ctx = openContext();
    Analysis result;
    result.status = LA_Execute(ctx.get(), dib.get());
    result.zones = readZoneRows(ctx.get());
    return result;
}

bool hasContent(const std::vector<ZoneRow>& zones, std::int32_t content) {
    return std::ranges::any_of(zones, [&](const ZoneRow& z) { return z.content == content; });
}

// Installs an analysis table for the test's lifetime.
struct TableSwap {
    explicit TableSwap(const quadrel::AnalysisTable& table) {
        quadrel::setAnalysisTableForTesting(&table);
    }
    ~TableSwap() { quadrel::setAnalysisTableForTesting(nullptr); }
};

std::int32_t textBlocksFindingNothing(const quadrel::LaBitmap&,
                                      const quadrel::LaList<quadrel::LaRegionRecord>*,
                                      quadrel::LaList<quadrel::LaTextBlock>&, std::int32_t) {
    return LA_STATUS_OK;
}

// Runs the real segmentation, then fails as an allocation would: what it
// wrote stays, as after a failure part way through.
std::int32_t textBlocksOutOfMemory(const quadrel::LaBitmap& input,
                                   const quadrel::LaList<quadrel::LaRegionRecord>* lines,
                                   quadrel::LaList<quadrel::LaTextBlock>& output,
                                   std::int32_t spare) {
    quadrel::segmentTextBlocks(input, lines, output, spare);
    output.clear();
    throw std::bad_alloc();
}

TEST(ApiTest, MemoryRunningOutInOneFunctionKeepsTheOthersZones) {
    const auto dib = mixedPage().toDib();
    quadrel::AnalysisTable table;
    table.textBlocks = &textBlocksFindingNothing;
    Analysis withoutText;
    {
        const TableSwap swap(table);
        withoutText = analyse(dib);
    }
    table.textBlocks = &textBlocksOutOfMemory;
    Analysis failed;
    {
        const TableSwap swap(table);
        failed = analyse(dib);
    }
    const Analysis full = analyse(dib);
    ASSERT_EQ(full.status, LA_STATUS_OK);
    ASSERT_TRUE(hasContent(full.zones, LA_CONTENT_TEXT));
    ASSERT_EQ(withoutText.status, LA_STATUS_OK);
    // The text blocks are lost and the caller is told; the lines found before
    // them are there.
    EXPECT_EQ(failed.status, LA_STATUS_OUT_OF_MEMORY);
    EXPECT_EQ(failed.zones, withoutText.zones);
    EXPECT_TRUE(hasContent(failed.zones, LA_CONTENT_LINE));
    EXPECT_FALSE(hasContent(failed.zones, LA_CONTENT_TEXT));
}

// The same page stored top row first, with a negative height.
platform::GlobalBlockOwner topDownDib(const TestPage& page) {
    TestPage flipped(page.width(), page.height());
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            flipped.set(x, page.height() - 1 - y, page.black(x, y));
    platform::GlobalBlockOwner dib = flipped.toDib();
    auto* header = static_cast<std::uint8_t*>(platform::globalLock(dib.get()));
    const std::uint32_t negative = std::uint32_t(-page.height());
    for (int k = 0; k < 4; ++k) header[8 + k] = std::uint8_t(negative >> (8 * k));
    platform::globalUnlock(dib.get());
    return dib;
}

TEST(ApiTest, TopDownDibGivesTheZonesOfTheBottomUpOne) {
    const TestPage page = mixedPage();
    const Analysis bottomUp = analyse(page.toDib());
    const Analysis topDown = analyse(topDownDib(page));
    ASSERT_EQ(bottomUp.status, LA_STATUS_OK);
    EXPECT_EQ(topDown.status, LA_STATUS_OK);
    EXPECT_GE(bottomUp.zones.size(), 3u);
    EXPECT_EQ(topDown.zones, bottomUp.zones);
}

TEST(ApiTest, RuleZonesKeepTheLineRecordsBox) {
    constexpr int kHeight = 500;
    TestPage page(300, kHeight);
    // Page rows (0 at the top) 480 and 481, columns 20 to 219.
    page.fillRect(20, kHeight - 1 - 481, 200, 2);
    // Columns 100 to 102, page rows 50 to 449.
    page.fillRect(100, kHeight - 1 - 449, 3, 400);
    const Analysis result = analyse(page.toDib());
    ASSERT_EQ(result.status, LA_STATUS_OK);
    // Along a line the end is exclusive, across it inclusive: the vertical
    // rule's right is its last column and its top the row above its ink.
    EXPECT_EQ(result.zones, (std::vector<ZoneRow>{{20, 480, 220, 481, LA_CONTENT_LINE},
                                                  {100, 49, 102, 449, LA_CONTENT_LINE}}));
}

} // namespace
