// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "library/functions/analysis_functions.h"
#include "library/functions/table_detection.h"
#include "library/la_api.h"
#include "tests/support/test_page.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using quadrel::LaRegionRecord;
using testsupport::TestPage;

struct Detection {
    std::int32_t status = -1;
    std::vector<LaRegionRecord> records;

    int count(int content) const {
        int n = 0;
        for (const auto& r : records) n += r.content == content;
        return n;
    }
    std::vector<int> contents() const {
        std::vector<int> c;
        for (const auto& r : records) c.push_back(r.content);
        return c;
    }
};

Detection detect(const TestPage& page, std::int32_t mask = 3, int blackIsZero = 0) {
    Detection d;
    d.status =
        quadrel::detectLinesAndTables(page.toBitmap(blackIsZero), d.records, 80, 120, mask, 0);
    return d;
}

// Horizontal rules 2 rows thick at each y over [x0, x1 + 2), vertical rules 2
// columns wide at each x over [y0, y1 + 2).
void drawGrid(TestPage& page, std::vector<int> ys, std::vector<int> xs) {
    for (int y : ys) page.fillRect(xs.front(), y, xs.back() + 2 - xs.front(), 2);
    for (int x : xs) page.fillRect(x, ys.front(), 2, ys.back() + 2 - ys.front());
}

LaRegionRecord box(std::int32_t xMin, std::int32_t yMin, std::int32_t xMax, std::int32_t yMax) {
    LaRegionRecord r;
    r.xMin = xMin;
    r.yMin = yMin;
    r.xMax = xMax;
    r.yMax = yMax;
    return r;
}

void expectBox(const LaRegionRecord& r, int xMin, int yMin, int xMax, int yMax) {
    EXPECT_EQ(r.xMin, xMin);
    EXPECT_EQ(r.yMin, yMin);
    EXPECT_EQ(r.xMax, xMax);
    EXPECT_EQ(r.yMax, yMax);
    EXPECT_EQ(r.length, xMax - xMin);
    EXPECT_EQ(r.thickness, yMax - yMin + 1);
}

TEST(LineDetectionTest, GridOfThreeByThreeIsOneTableWithTwoColumnsAndFourCells) {
    TestPage page(500, 400);
    drawGrid(page, {100, 200, 300}, {100, 250, 400});
    for (int blackIsZero : {0, 1}) {
        const Detection d = detect(page, 3, blackIsZero);
        ASSERT_EQ(d.status, 0);
        EXPECT_EQ(d.contents(), (std::vector<int>{0, 0, 0, 0, 0, 0, 1, 2, 2, 3, 3, 3, 3}));
    }
    const Detection d = detect(page);
    // Horizontal lines first (by row), then vertical ones (by column).
    expectBox(d.records[0], 100, 100, 402, 101);
    EXPECT_EQ(d.records[0].inkCount, 604);
    // A vertical line keeps its box; length and thickness are rewritten.
    expectBox(d.records[3], 100, 100, 101, 302);
    EXPECT_EQ(d.records[3].inkCount, 404);
    expectBox(d.records[6], 100, 100, 402, 302);
    // Columns and cells are boxes of crossing points; each point lies on the
    // diagonals of both boxes, so it drifts by a pixel along a 2-pixel rule.
    expectBox(d.records[7], 100, 100, 251, 300);
    expectBox(d.records[8], 250, 100, 401, 301);
    expectBox(d.records[9], 100, 100, 250, 200);
    expectBox(d.records[12], 250, 200, 401, 301);
}

TEST(LineDetectionTest, DirectionMaskChoosesTheSearches) {
    TestPage page(500, 400);
    drawGrid(page, {100, 200, 300}, {100, 250, 400});
    const Detection none = detect(page, 0);
    EXPECT_EQ(none.status, 0);
    EXPECT_TRUE(none.records.empty());
    EXPECT_EQ(detect(page, 1).contents(), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(detect(page, 2).contents(), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(detect(page, 2).records[0].xMin, 100);
}

TEST(LineDetectionTest, SingleBoxIsNotReportedAsATable) {
    TestPage page(500, 400);
    drawGrid(page, {100, 300}, {100, 400});
    EXPECT_EQ(detect(page).contents(), (std::vector<int>{0, 0, 0, 0}));
}

TEST(LineDetectionTest, OneRuleCrossedByThreeIsATableWithColumnsAndNoCells) {
    TestPage page(500, 400);
    page.fillRect(100, 200, 302, 2);
    for (int x : {100, 250, 400}) page.fillRect(x, 100, 2, 202);
    const Detection d = detect(page);
    EXPECT_EQ(d.contents(), (std::vector<int>{0, 0, 0, 0, 1, 2, 2}));
}

TEST(LineDetectionTest, CrossingToleranceIsTenPixels) {
    // The last vertical line stops 5 (then 15) white rows short of the rule.
    for (const auto& [gap, reported] : {std::pair{5, true}, std::pair{15, false}}) {
        TestPage page(500, 400);
        page.fillRect(100, 200, 302, 2);
        for (int x : {100, 250}) page.fillRect(x, 100, 2, 202);
        page.fillRect(400, 100, 2, 100 - gap);
        const Detection d = detect(page);
        EXPECT_EQ(d.count(LA_CONTENT_LINE), 4) << gap;
        EXPECT_EQ(d.count(LA_CONTENT_TABLE), reported ? 1 : 0) << gap;
        EXPECT_EQ(d.count(LA_CONTENT_TABLE_COLUMN), reported ? 2 : 0) << gap;
    }
}

TEST(LineDetectionTest, ShortMiddleRuleMergesTwoGridCells) {
    TestPage page(500, 400);
    drawGrid(page, {100, 300}, {100, 250, 400});
    page.fillRect(100, 200, 230, 2); // stops 70 pixels before the last vertical
    const Detection d = detect(page);
    ASSERT_EQ(d.count(LA_CONTENT_TABLE_CELL), 3);
    ASSERT_EQ(d.count(LA_CONTENT_TABLE_COLUMN), 2);
    // Cells in order of their first grid cell: (0,0), (0,1) merged with (1,1), (1,0).
    const auto& merged = d.records[d.records.size() - 2];
    EXPECT_EQ(merged.xMin, 250);
    EXPECT_EQ(merged.yMin, 100);
    EXPECT_EQ(merged.xMax, 401);
    EXPECT_EQ(merged.yMax, 301);
}

TEST(LineDetectionTest, StackedTablesKeepTheirOwnColumns) {
    TestPage page(500, 700);
    drawGrid(page, {100, 200, 300}, {100, 250, 400});
    drawGrid(page, {400, 500, 600}, {150, 260, 350});
    const Detection d = detect(page);
    ASSERT_EQ(d.status, 0);
    EXPECT_EQ(d.contents(), (std::vector<int>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, //
                                              1, 2, 2, 3, 3, 3, 3, 1, 2, 2, 3, 3, 3, 3}));
    // Vertical lines by first column: 100, 150, 250, 260, 350, 400.
    EXPECT_EQ(d.records[7].xMin, 150);
    // The lower table (rows 100-301) comes first: its first crossing comes first.
    expectBox(d.records[12], 100, 100, 402, 302);
    expectBox(d.records[13], 100, 100, 251, 300);
    expectBox(d.records[19], 150, 400, 352, 602);
    expectBox(d.records[20], 150, 400, 261, 601);
    expectBox(d.records[21], 260, 401, 351, 601);
}

TEST(LineDetectionTest, BlankPageAndDashesGiveNoRecords) {
    EXPECT_TRUE(detect(TestPage(300, 300)).records.empty());
    TestPage dashes(700, 100);
    for (int x = 20; x + 100 <= 680; x += 105) dashes.fillRect(x, 50, 100, 2);
    // Gaps of 5 are not bridged here: every dash is a line of its own.
    const Detection d = detect(dashes);
    EXPECT_EQ(d.count(LA_CONTENT_LINE), 6);
    EXPECT_EQ(d.records[1].xMin, 125);
    EXPECT_EQ(d.records[1].xMax, 225);
}

TEST(TableStepTest, LargeGridHasAllItsCellsAndColumns) {
    // 40 x 30 lines: 1200 span positions and 1131 cells, far more than five
    // records per line.
    std::vector<LaRegionRecord> list;
    for (int i = 0; i < 40; ++i) list.push_back(box(0, 20 * i, 1000, 20 * i + 1));
    for (int j = 0; j < 30; ++j) list.push_back(box(30 * j, 0, 30 * j + 1, 800));
    ASSERT_EQ(quadrel::appendTables(list, 70), LA_STATUS_OK);
    ASSERT_EQ(list.size(), 70u + 1 + 29 + 39 * 29);
    EXPECT_EQ(list[70].content, LA_CONTENT_TABLE);
    EXPECT_EQ(list[71].content, LA_CONTENT_TABLE_COLUMN);
    EXPECT_EQ(list[100].content, LA_CONTENT_TABLE_CELL);
    EXPECT_EQ(list.back().content, LA_CONTENT_TABLE_CELL);
    // The last cell lies between the last two rules each way (crossing
    // points rounded on the boxes' diagonals).
    EXPECT_EQ(list.back().xMin, 841);
    EXPECT_EQ(list.back().xMax, 871);
    EXPECT_EQ(list.back().yMin, 761);
    EXPECT_EQ(list.back().yMax, 781);
}

TEST(TableStepTest, ParallelLinesNeverCross) {
    // Both straight lines have slope 0.5: one distinct, one the same line.
    for (const LaRegionRecord& other : {box(10, 0, 0, -5), box(10, 5, 0, 0)}) {
        std::vector<LaRegionRecord> list = {box(0, 0, 10, 5), other};
        ASSERT_EQ(quadrel::appendTables(list, 2), LA_STATUS_OK);
        EXPECT_EQ(list.size(), 2u);
        EXPECT_EQ(list[1].length, -10);
        EXPECT_EQ(list[1].thickness, 6); // counted as vertical
    }
}

TEST(LineDetectionTest, InvoicePageHasRulingLinesAndATable) {
    const auto page = testsupport::loadCcittPage(3);
    if (!page) GTEST_SKIP() << "CCITT test page 3 not available";
    const Detection d = detect(*page);
    ASSERT_EQ(d.status, 0);
    // The invoice's ruled grid: many rules, one table with columns and cells.
    EXPECT_GE(d.count(LA_CONTENT_LINE), 30);
    EXPECT_EQ(d.count(LA_CONTENT_TABLE), 1);
    EXPECT_GE(d.count(LA_CONTENT_TABLE_COLUMN), 4);
    EXPECT_GE(d.count(LA_CONTENT_TABLE_CELL), 4);
    const std::size_t lines = std::size_t(d.count(LA_CONTENT_LINE));
    for (std::size_t k = 0; k < lines; ++k) {
        EXPECT_EQ(d.records[k].content, LA_CONTENT_LINE);
        EXPECT_GE(d.records[k].xMin, 0);
        EXPECT_LE(d.records[k].xMax, page->width());
        EXPECT_LE(d.records[k].yMax, page->height());
    }
    EXPECT_EQ(d.records[lines].content, LA_CONTENT_TABLE);
    EXPECT_EQ(d.records[lines + 1].content, LA_CONTENT_TABLE_COLUMN);
}

} // namespace
