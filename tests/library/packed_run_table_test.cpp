// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Column runs kept packed: they unpack to the table they were made from, a
// table that does not fit 16 bits is not packed, and line searches read a
// packed table to the same lines as the pixels give.
#include "library/image/line_extraction.h"
#include "library/image/packed_run_table.h"
#include "library/image/run_table_memo.h"
#include "library/la_api.h"
#include "tests/support/generated_pages.h"
#include "tests/support/test_page.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

using quadrel::LaRun;
using quadrel::PackedRunTable;
using quadrel::RunAxis;
using quadrel::RunTable;
using quadrel::RunTableMemo;

void expectSameRuns(const RunTable& a, const RunTable& b) {
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t r = 0; r < a.size(); ++r) {
        ASSERT_EQ(a[r].size(), b[r].size()) << "row " << r;
        for (std::size_t k = 0; k < a[r].size(); ++k) {
            EXPECT_EQ(a[r][k].start, b[r][k].start);
            EXPECT_EQ(a[r][k].end, b[r][k].end);
            EXPECT_EQ(a[r][k].label, b[r][k].label);
        }
    }
}

TEST(PackedRunTableTest, UnpacksToTheTableItWasMadeFrom) {
    const RunTable table{{}, {{0, 3, 0}, {5, 65535, 0}}, {}, {{7, 8, 0}}, {}};
    const std::optional<PackedRunTable> packed = PackedRunTable::of(table);
    ASSERT_TRUE(packed);
    EXPECT_EQ(packed->rows(), table.size());
    expectSameRuns(packed->unpack(), table);
    // One row at a time, into storage that held a longer row.
    std::vector<LaRun> row(9, LaRun{1, 2, 3});
    packed->unpackRow(1, row);
    expectSameRuns({row}, {table[1]});
    packed->unpackRow(0, row);
    EXPECT_TRUE(row.empty());
    EXPECT_TRUE(PackedRunTable::of(RunTable{}));
}

TEST(PackedRunTableTest, RunsPastSixteenBitsAreNotPacked) {
    EXPECT_FALSE(PackedRunTable::of(RunTable{{{0, 65536, 0}}}));
    EXPECT_FALSE(PackedRunTable::of(RunTable{{}, {{2, 4, 0}, {70000, 70001, 0}}}));
    EXPECT_FALSE(PackedRunTable::of(RunTable{{{-1, 4, 0}}}));
}

// The memo holds column runs packed, hands them out unpacked, and keeps row
// runs and tables that do not pack as they are.
TEST(PackedRunTableTest, MemoKeepsColumnRunsPacked) {
    const quadrel::LaBitmap page = testsupport::generatedRuledGridPage().toBitmap();
    const RunTable columns = quadrel::buildColumnRunTable(page);
    const RunTableMemo memo;
    RunTableMemo::keep(page, RunAxis::kColumns, RunTable(columns));
    ASSERT_TRUE(RunTableMemo::findPacked(page));
    ASSERT_TRUE(RunTableMemo::find(page, RunAxis::kColumns));
    expectSameRuns(*RunTableMemo::find(page, RunAxis::kColumns), columns);
    EXPECT_FALSE(RunTableMemo::findPacked(page)) << "unpacked where it was read";
    RunTableMemo::drop(page, RunAxis::kColumns);
    EXPECT_FALSE(RunTableMemo::find(page, RunAxis::kColumns));

    RunTableMemo::keep(page, RunAxis::kRows, quadrel::buildRowRunTable(page));
    EXPECT_FALSE(RunTableMemo::findPacked(page));
    RunTableMemo::keep(page, RunAxis::kColumns, RunTable{{{0, 70000, 0}}});
    EXPECT_FALSE(RunTableMemo::findPacked(page));
    ASSERT_TRUE(RunTableMemo::take(page, RunAxis::kColumns));
    EXPECT_TRUE(RunTableMemo::find(page, RunAxis::kRows)) << "the row table stays";
}

// A second vertical search reads the packed columns the first one kept.
TEST(PackedRunTableTest, LinesFromPackedColumnsEqualLinesFromPixels) {
    const quadrel::LaBitmap page = testsupport::generatedRuledGridPage().toBitmap();
    const auto key = [](const quadrel::LaRegionRecord& l) {
        return std::tuple(l.xMin, l.yMin, l.xMax, l.yMax, l.length, l.thickness, l.density);
    };
    for (const std::int32_t gap : {3, 7}) {
        quadrel::FoundLines fresh;
        ASSERT_EQ(quadrel::findLines(page, quadrel::LineOrientation::kVertical, 80, gap, fresh),
                  LA_STATUS_OK);
        const RunTableMemo memo;
        quadrel::FoundLines first;
        quadrel::FoundLines second;
        ASSERT_EQ(quadrel::findLines(page, quadrel::LineOrientation::kVertical, 80, 3, first),
                  LA_STATUS_OK);
        ASSERT_TRUE(RunTableMemo::findPacked(page));
        ASSERT_EQ(quadrel::findLines(page, quadrel::LineOrientation::kVertical, 80, gap, second),
                  LA_STATUS_OK);
        ASSERT_FALSE(fresh.lines.empty());
        ASSERT_EQ(second.lines.size(), fresh.lines.size());
        for (std::size_t i = 0; i < fresh.lines.size(); ++i)
            EXPECT_EQ(key(second.lines[i]), key(fresh.lines[i]));
        ASSERT_EQ(second.segments.size(), fresh.segments.size());
        for (std::size_t c = 0; c < fresh.segments.size(); ++c)
            ASSERT_EQ(second.segments[c].size(), fresh.segments[c].size());
        EXPECT_TRUE(RunTableMemo::findPacked(page)) << "still packed";
    }
}

} // namespace
