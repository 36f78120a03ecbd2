// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The run tables kept between line searches of one analysis: found only for
// the very same pixels, handed over once, and never seen outside the scope
// or the thread that keeps them.
#include "library/functions/dark_bands.h"
#include "library/image/line_extraction.h"
#include "library/image/run_table_memo.h"
#include "library/kept_tables.h"
#include "library/la_api.h"
#include "tests/support/generated_pages.h"
#include "tests/support/test_page.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

using quadrel::RunAxis;
using quadrel::RunTable;
using quadrel::RunTableMemo;
using testsupport::TestPage;

TestPage ruledPage() {
    TestPage page(300, 120);
    page.fillRect(10, 20, 280, 3);
    page.fillRect(40, 10, 2, 100);
    page.fillRect(100, 60, 30, 20);
    return page;
}

RunTable tableWithOneRun() {
    RunTable table(3);
    table[1].push_back({4, 9, 0, 0});
    return table;
}

TEST(RunTableMemoTest, NothingIsKeptWithoutAMemo) {
    const quadrel::LaBitmap bitmap = ruledPage().toBitmap();
    RunTableMemo::keep(bitmap, RunAxis::kRows, tableWithOneRun());
    EXPECT_FALSE(RunTableMemo::take(bitmap, RunAxis::kRows));
}

TEST(RunTableMemoTest, HandsATableOverOnceForTheSamePixelsOnly) {
    const RunTableMemo memo;
    const TestPage page = ruledPage();
    RunTableMemo::keep(page.toBitmap(), RunAxis::kRows, tableWithOneRun());
    // Another buffer with the same pixels, stored in the other row direction.
    const auto copy = RunTableMemo::take(page.toBitmap(0, true), RunAxis::kRows);
    ASSERT_TRUE(copy);
    EXPECT_EQ((*copy)[1][0].end, 9);
    EXPECT_FALSE(RunTableMemo::take(page.toBitmap(), RunAxis::kRows)) << "taken already";

    RunTableMemo::keep(page.toBitmap(), RunAxis::kColumns, tableWithOneRun());
    EXPECT_FALSE(RunTableMemo::take(page.toBitmap(), RunAxis::kRows)) << "other axis";
    TestPage changed = page;
    changed.set(299, 119);
    EXPECT_FALSE(RunTableMemo::take(changed.toBitmap(), RunAxis::kColumns)) << "one pixel differs";
    EXPECT_FALSE(RunTableMemo::take(page.toBitmap(1), RunAxis::kColumns)) << "other polarity";
    EXPECT_TRUE(RunTableMemo::take(page.toBitmap(), RunAxis::kColumns));
}

TEST(RunTableMemoTest, FindLeavesTheTableInPlace) {
    const RunTableMemo memo;
    const quadrel::LaBitmap bitmap = ruledPage().toBitmap();
    RunTableMemo::keep(bitmap, RunAxis::kRows, tableWithOneRun());
    ASSERT_NE(RunTableMemo::find(bitmap, RunAxis::kRows), nullptr);
    EXPECT_EQ((*RunTableMemo::find(bitmap, RunAxis::kRows))[1][0].start, 4);
    EXPECT_EQ(RunTableMemo::find(bitmap, RunAxis::kColumns), nullptr);
    EXPECT_TRUE(RunTableMemo::take(bitmap, RunAxis::kRows));
    EXPECT_EQ(RunTableMemo::find(bitmap, RunAxis::kRows), nullptr);
}

// A page's tables outlive the crops kept after them (inverse text reads
// several crops between line detection and line removal).
TEST(RunTableMemoTest, WhenFullTheSmallestPixelsGoFirst) {
    const RunTableMemo memo;
    const TestPage page = ruledPage();
    RunTableMemo::keep(page.toBitmap(), RunAxis::kColumns, tableWithOneRun());
    std::vector<TestPage> crops;
    for (int k = 0; k < 4; ++k) {
        crops.emplace_back(20 + k, 10);
        crops.back().set(k, 3);
        RunTableMemo::keep(crops.back().toBitmap(), RunAxis::kRows, tableWithOneRun());
    }
    EXPECT_TRUE(RunTableMemo::take(page.toBitmap(), RunAxis::kColumns));
    EXPECT_FALSE(RunTableMemo::find(crops[0].toBitmap(), RunAxis::kRows));
    EXPECT_FALSE(RunTableMemo::find(crops[1].toBitmap(), RunAxis::kRows));
    EXPECT_TRUE(RunTableMemo::find(crops[3].toBitmap(), RunAxis::kRows));
}

TEST(RunTableMemoTest, PagesWhoseTablesWereTakenMakeRoomFirst) {
    const RunTableMemo memo;
    const TestPage page = ruledPage();
    RunTableMemo::keep(page.toBitmap(), RunAxis::kRows, tableWithOneRun());
    ASSERT_TRUE(RunTableMemo::take(page.toBitmap(), RunAxis::kRows));
    TestPage small(10, 10);
    small.set(1, 1);
    RunTableMemo::keep(small.toBitmap(), RunAxis::kRows, tableWithOneRun());
    TestPage other = page;
    other.invert();
    TestPage third = page;
    third.set(0, 0);
    RunTableMemo::keep(other.toBitmap(), RunAxis::kRows, tableWithOneRun());
    RunTableMemo::keep(third.toBitmap(), RunAxis::kRows, tableWithOneRun());
    EXPECT_TRUE(RunTableMemo::find(small.toBitmap(), RunAxis::kRows)) << "the spent page went";
    EXPECT_TRUE(RunTableMemo::find(other.toBitmap(), RunAxis::kRows));
    EXPECT_TRUE(RunTableMemo::find(third.toBitmap(), RunAxis::kRows));
}

TEST(RunTableMemoTest, InnerMemoEndsAndTheOuterOneIsBack) {
    const RunTableMemo outer;
    const quadrel::LaBitmap bitmap = ruledPage().toBitmap();
    RunTableMemo::keep(bitmap, RunAxis::kRows, tableWithOneRun());
    {
        const RunTableMemo inner;
        EXPECT_FALSE(RunTableMemo::take(bitmap, RunAxis::kRows));
    }
    EXPECT_TRUE(RunTableMemo::take(bitmap, RunAxis::kRows));
}

TEST(RunTableMemoTest, OtherThreadsDoNotSeeTheMemo) {
    const RunTableMemo memo;
    const quadrel::LaBitmap bitmap = ruledPage().toBitmap();
    RunTableMemo::keep(bitmap, RunAxis::kRows, tableWithOneRun());
    bool found = true;
    std::thread([&] { found = RunTableMemo::take(bitmap, RunAxis::kRows).has_value(); }).join();
    EXPECT_FALSE(found);
}

TEST(RunTableMemoTest, KeepOnlyReleasesEveryOtherPage) {
    const RunTableMemo memo;
    const TestPage page = ruledPage();
    TestPage other = page;
    other.set(5, 5);
    RunTableMemo::keep(page.toBitmap(), RunAxis::kRows, tableWithOneRun());
    RunTableMemo::keep(other.toBitmap(), RunAxis::kRows, tableWithOneRun());
    RunTableMemo::keep(other.toBitmap(), RunAxis::kColumns, tableWithOneRun());
    RunTableMemo::keepOnly(other.toBitmap(0, true));
    EXPECT_FALSE(RunTableMemo::find(page.toBitmap(), RunAxis::kRows));
    EXPECT_TRUE(RunTableMemo::find(other.toBitmap(), RunAxis::kRows));
    EXPECT_TRUE(RunTableMemo::find(other.toBitmap(), RunAxis::kColumns));
    RunTableMemo::keepOnly(quadrel::LaBitmap{}); // no pixels: nothing is current
    EXPECT_FALSE(RunTableMemo::find(other.toBitmap(), RunAxis::kRows));
}

TEST(RunTableMemoTest, ReleaseDropsOneAxisOfEveryPage) {
    const RunTableMemo memo;
    const TestPage page = ruledPage();
    TestPage changed = page;
    changed.invert();
    const TestPage& other = changed;
    for (const TestPage* p : {&page, &other}) {
        RunTableMemo::keep(p->toBitmap(), RunAxis::kRows, tableWithOneRun());
        RunTableMemo::keep(p->toBitmap(), RunAxis::kColumns, tableWithOneRun());
    }
    RunTableMemo::release(RunAxis::kColumns);
    for (const TestPage* p : {&page, &other}) {
        EXPECT_FALSE(RunTableMemo::find(p->toBitmap(), RunAxis::kColumns));
        EXPECT_TRUE(RunTableMemo::find(p->toBitmap(), RunAxis::kRows));
    }
    RunTableMemo::release(RunAxis::kRows);
    EXPECT_FALSE(RunTableMemo::find(page.toBitmap(), RunAxis::kRows));
}

LaPipe pipeOf(std::initializer_list<std::int32_t> codes) {
    LaPipe pipe;
    for (const std::int32_t code : codes) pipe.codes[std::size_t(pipe.count++)] = code;
    return pipe;
}

// After each step of a pipe, a table stays only while a later step reads it:
// line detection and removal read both axes, inverse text the rows, and the
// zone table the rows text block segmentation kept.
TEST(RunTableMemoTest, TablesStayUntilTheirLastReaderHasRun) {
    const TestPage page = ruledPage();
    const quadrel::LaBitmap bitmap = page.toBitmap();
    struct Case {
        LaPipe pipe;
        std::int32_t done;
        bool rows, columns;
    };
    const Case cases[] = {
        {pipeOf({2, 8, 4, 32}), 0, true, true},    {pipeOf({2, 8, 4, 32}), 1, true, true},
        {pipeOf({2, 8, 4, 32}), 2, false, false},  {pipeOf({2, 8, 4, 32}), 3, true, false},
        {pipeOf({2, 8, 16, 32}), 1, false, false}, {pipeOf({32, 16}), 1, true, false},
        {pipeOf({2, 16, 8}), 1, true, false},      {pipeOf({8, 32, 4}), 1, true, true},
    };
    for (const Case& c : cases) {
        const RunTableMemo memo;
        RunTableMemo::keep(bitmap, RunAxis::kRows, tableWithOneRun());
        RunTableMemo::keep(bitmap, RunAxis::kColumns, tableWithOneRun());
        quadrel::releaseUnreadTables(c.pipe, c.done, &bitmap);
        EXPECT_EQ(RunTableMemo::find(bitmap, RunAxis::kRows) != nullptr, c.rows) << c.done;
        EXPECT_EQ(RunTableMemo::find(bitmap, RunAxis::kColumns) != nullptr, c.columns) << c.done;
    }
}

void expectSameLines(const quadrel::FoundLines& a, const quadrel::FoundLines& b) {
    ASSERT_EQ(a.lines.size(), b.lines.size());
    for (std::size_t k = 0; k < a.lines.size(); ++k) {
        EXPECT_EQ(a.lines[k].xMin, b.lines[k].xMin);
        EXPECT_EQ(a.lines[k].yMax, b.lines[k].yMax);
        EXPECT_EQ(a.lines[k].inkCount, b.lines[k].inkCount);
    }
    ASSERT_EQ(a.segments.size(), b.segments.size());
    for (std::size_t r = 0; r < a.segments.size(); ++r)
        ASSERT_EQ(a.segments[r].size(), b.segments[r].size()) << "row " << r;
}

// Detection then removal, as one pipe runs them, with a memo and without.
TEST(RunTableMemoTest, SecondSearchFindsWhatAFreshSearchFinds) {
    const TestPage page = ruledPage();
    TestPage changed = page;
    changed.fillRect(10, 100, 200, 2); // a rule the first search never saw
    for (auto orientation :
         {quadrel::LineOrientation::kHorizontal, quadrel::LineOrientation::kVertical}) {
        quadrel::FoundLines fresh, freshChanged, first, second, third;
        ASSERT_EQ(quadrel::findLines(page.toBitmap(), orientation, 80, 7, fresh), LA_STATUS_OK);
        ASSERT_EQ(quadrel::findLines(changed.toBitmap(), orientation, 80, 7, freshChanged),
                  LA_STATUS_OK);
        const RunTableMemo memo;
        ASSERT_EQ(quadrel::findLines(page.toBitmap(), orientation, 80, 3, first), LA_STATUS_OK);
        ASSERT_EQ(quadrel::findLines(page.toBitmap(), orientation, 80, 7, second), LA_STATUS_OK);
        ASSERT_EQ(quadrel::findLines(changed.toBitmap(), orientation, 80, 7, third), LA_STATUS_OK);
        expectSameLines(fresh, second);
        expectSameLines(freshChanged, third);
    }
}

// Inverse text detection reads the page's rows from the table line
// detection kept: its candidates must not change.
TEST(RunTableMemoTest, DarkBandsFromKeptRowsEqualDarkBandsFromPixels) {
    const quadrel::LaBitmap page = testsupport::generatedBannerPage().toBitmap();
    std::vector<quadrel::LaDarkRegion> fresh, fromKept;
    ASSERT_EQ(quadrel::findDarkBandCandidates(page, 80, fresh), LA_STATUS_OK);
    ASSERT_FALSE(fresh.empty());
    const RunTableMemo memo;
    quadrel::FoundLines lines;
    ASSERT_EQ(quadrel::findLines(page, quadrel::LineOrientation::kHorizontal, 80, 3, lines),
              LA_STATUS_OK);
    ASSERT_NE(RunTableMemo::find(page, RunAxis::kRows), nullptr);
    ASSERT_EQ(quadrel::findDarkBandCandidates(page, 80, fromKept), LA_STATUS_OK);
    ASSERT_EQ(fresh.size(), fromKept.size());
    for (std::size_t i = 0; i < fresh.size(); ++i) {
        EXPECT_EQ(fresh[i].left, fromKept[i].left);
        EXPECT_EQ(fresh[i].right, fromKept[i].right);
        EXPECT_EQ(fresh[i].top, fromKept[i].top);
        EXPECT_EQ(fresh[i].bottom, fromKept[i].bottom);
        EXPECT_EQ(fresh[i].ink, fromKept[i].ink);
    }
}

} // namespace
