// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The run tables kept between line searches of one analysis: found only for
// the very same pixels, handed over once, and never seen outside the scope
// or the thread that keeps them.
#include "library/functions/analysis_functions.h"
#include "library/functions/dark_bands.h"
#include "library/image/line_extraction.h"
#include "library/image/run_table_memo.h"
#include "library/kept_tables.h"
#include "library/la_api.h"
#include "tests/support/generated_pages.h"
#include "tests/support/test_page.h"

#include <gtest/gtest.h>

#include <optional>
#include <thread>
#include <tuple>

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
    table[1].push_back({4, 9, 0});
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

// Rows are compared in blocks with their padding: padding that differs must
// not hide a page, and a pixel that differs, in any row of a block, must.
TEST(RunTableMemoTest, OnlyThePixelsDecideWhateverThePadding) {
    const RunTableMemo memo;
    TestPage page(300, 150); // rows of 38 bytes padded to 40; three blocks of rows
    page.fillRect(3, 0, 290, 150);
    for (const bool bottomUp : {false, true}) {
        RunTableMemo::keep(page.toBitmap(0, bottomUp), RunAxis::kRows, tableWithOneRun());
        quadrel::LaBitmap padded = page.toBitmap(0, bottomUp);
        for (std::int32_t r = 0; r < padded.height; r += 7) padded.row(r)[39] ^= 0xA5;
        EXPECT_TRUE(RunTableMemo::find(padded, RunAxis::kRows)) << "padding differs";
        EXPECT_TRUE(RunTableMemo::find(page.toBitmap(0, !bottomUp), RunAxis::kRows))
            << "rows stored the other way";
        for (const std::int32_t r : {0, 63, 64, 100, 127, 128, 149}) {
            quadrel::LaBitmap changed = page.toBitmap(0, bottomUp);
            changed.row(r)[r % 38] ^= 0x10;
            EXPECT_FALSE(RunTableMemo::find(changed, RunAxis::kRows)) << "row " << r;
            changed.row(r)[39] ^= 0xFF; // padding that differs in the same block
            EXPECT_FALSE(RunTableMemo::find(changed, RunAxis::kRows)) << "row " << r;
        }
        EXPECT_TRUE(RunTableMemo::take(padded, RunAxis::kRows));
    }
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

// After line removal or skew detection the tables of the pages replaced go;
// the other functions leave the current page as it was, and the tables of
// inverse text's crops may still serve them.
TEST(RunTableMemoTest, TablesOfAReplacedPageGoOnceANewPageIsCurrent) {
    const TestPage page = ruledPage();
    TestPage cleaned = page;
    cleaned.fillRect(10, 20, 280, 3, false); // the rule removed
    const quadrel::LaBitmap before = page.toBitmap();
    const quadrel::LaBitmap after = cleaned.toBitmap();
    for (const std::int32_t code :
         {LA_FUNCTION_LINES_AND_TABLES, LA_FUNCTION_INVERSE_TEXT, LA_FUNCTION_PICTURES,
          LA_FUNCTION_TEXT_BLOCKS, LA_FUNCTION_LINE_REMOVAL, LA_FUNCTION_SKEW}) {
        const RunTableMemo memo;
        RunTableMemo::keep(before, RunAxis::kRows, tableWithOneRun());
        RunTableMemo::keep(before, RunAxis::kColumns, tableWithOneRun());
        RunTableMemo::keep(after, RunAxis::kRows, tableWithOneRun());
        const bool replaces = code == LA_FUNCTION_LINE_REMOVAL || code == LA_FUNCTION_SKEW;
        quadrel::releaseReplacedTables(code, &after);
        EXPECT_EQ(RunTableMemo::find(before, RunAxis::kColumns) == nullptr, replaces) << code;
        EXPECT_TRUE(RunTableMemo::find(after, RunAxis::kRows)) << code;
        quadrel::releaseReplacedTables(code, nullptr); // no current bitmap: nothing goes
        EXPECT_TRUE(RunTableMemo::find(after, RunAxis::kRows)) << code;
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

// Columns are kept for anchors as long as the first search asked for: a
// later search for shorter anchors encodes the page again, a search for
// longer ones reads what was kept; both find what a fresh search finds.
TEST(RunTableMemoTest, ColumnsKeptForLongAnchorsServeNoShorterSearch) {
    TestPage page = ruledPage();
    page.fillRect(200, 30, 3, 40); // shorter than the first search's anchors
    const auto vertical = quadrel::LineOrientation::kVertical;
    for (const std::int32_t later : {20, 80, 100}) {
        quadrel::FoundLines fresh, first, second;
        ASSERT_EQ(quadrel::findLines(page.toBitmap(), vertical, later, 7, fresh), LA_STATUS_OK);
        const RunTableMemo memo;
        ASSERT_EQ(quadrel::findLines(page.toBitmap(), vertical, 80, 7, first), LA_STATUS_OK);
        ASSERT_TRUE(RunTableMemo::findPacked(page.toBitmap()));
        EXPECT_FALSE(RunTableMemo::find(page.toBitmap(), RunAxis::kColumns))
            << "not a whole column table";
        ASSERT_EQ(quadrel::findLines(page.toBitmap(), vertical, later, 7, second), LA_STATUS_OK);
        expectSameLines(fresh, second);
        EXPECT_EQ(fresh.lines.size() > 1, later == 20) << "the short rules count at 20 only";
    }
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

TEST(RunTableMemoTest, LabelsAreFoundForTheSamePixelsAndHandedOverOnce) {
    const TestPage page = ruledPage();
    quadrel::LabelledRuns labels;
    labels.boxes.resize(2);
    RunTableMemo::keepLabels(page.toBitmap(), quadrel::LabelledRuns(labels));
    EXPECT_FALSE(RunTableMemo::findLabels(page.toBitmap())) << "no memo";
    const RunTableMemo memo;
    RunTableMemo::keepLabels(page.toBitmap(), std::move(labels));
    RunTableMemo::keep(page.toBitmap(), RunAxis::kRows, tableWithOneRun());
    TestPage changed = page;
    changed.set(299, 119);
    EXPECT_FALSE(RunTableMemo::findLabels(changed.toBitmap()));
    EXPECT_FALSE(RunTableMemo::takeLabels(page.toBitmap(1)));
    ASSERT_TRUE(RunTableMemo::findLabels(page.toBitmap()));
    EXPECT_EQ(RunTableMemo::findLabels(page.toBitmap())->boxes.size(), 2U);
    EXPECT_TRUE(RunTableMemo::takeLabels(page.toBitmap(0, true)));
    EXPECT_FALSE(RunTableMemo::takeLabels(page.toBitmap())) << "taken already";
    EXPECT_TRUE(RunTableMemo::find(page.toBitmap(), RunAxis::kRows)) << "the table stays";
}

// A page's row runs kept labelled are its row table too: found in place, and
// taken as a row table without their boxes.
TEST(RunTableMemoTest, LabelledRowRunsAreTheRowTable) {
    const quadrel::LaBitmap page = ruledPage().toBitmap();
    const RunTableMemo memo;
    quadrel::LabelledRuns labels;
    ASSERT_EQ(quadrel::labelPageComponents(page, labels), LA_STATUS_OK);
    const quadrel::LaRun* storage = labels.runs[21].data();
    RunTableMemo::keepLabels(page, std::move(labels));
    EXPECT_FALSE(RunTableMemo::find(page, RunAxis::kColumns));
    ASSERT_TRUE(RunTableMemo::find(page, RunAxis::kRows));
    EXPECT_EQ((*RunTableMemo::find(page, RunAxis::kRows))[21].data(), storage);
    quadrel::FoundLines lines;
    ASSERT_EQ(quadrel::findLines(page, quadrel::LineOrientation::kHorizontal, 80, 3, lines),
              LA_STATUS_OK);
    EXPECT_FALSE(lines.lines.empty());
    ASSERT_TRUE(RunTableMemo::findLabels(page)) << "read in place, still labelled";
    std::optional<RunTable> rows = RunTableMemo::take(page, RunAxis::kRows);
    ASSERT_TRUE(rows);
    EXPECT_EQ((*rows)[21].data(), storage);
    EXPECT_FALSE(RunTableMemo::findLabels(page)) << "boxes go with their runs";
    EXPECT_FALSE(RunTableMemo::find(page, RunAxis::kRows));
}

std::vector<quadrel::LaTextBlock> textBlocksOf(const quadrel::LaBitmap& page) {
    std::vector<quadrel::LaTextBlock> blocks;
    EXPECT_EQ(quadrel::segmentTextBlocks(page, nullptr, blocks, 0), LA_STATUS_OK);
    return blocks;
}

// Text block segmentation starts from the labels inverse text detection kept
// for the same page: the blocks must not change, and they are used up.
TEST(RunTableMemoTest, TextBlocksFromKeptLabelsEqualTextBlocksFromPixels) {
    const quadrel::LaBitmap page = testsupport::generatedBannerPage().toBitmap();
    const std::vector<quadrel::LaTextBlock> fresh = textBlocksOf(page);
    ASSERT_FALSE(fresh.empty());
    const auto key = [](const quadrel::LaTextBlock& b) {
        return std::tuple(b.xMin, b.yMin, b.xMax, b.yMax, b.content);
    };
    // With the row table line detection keeps, and without it.
    for (const bool rowsKept : {true, false}) {
        const RunTableMemo memo;
        quadrel::FoundLines lines;
        if (rowsKept) {
            ASSERT_EQ(quadrel::findLines(page, quadrel::LineOrientation::kHorizontal, 80, 3, lines),
                      LA_STATUS_OK);
        }
        std::vector<quadrel::LaDarkRegion> candidates;
        ASSERT_EQ(quadrel::findDarkBandCandidates(page, 80, candidates), LA_STATUS_OK);
        ASSERT_NE(RunTableMemo::findLabels(page), nullptr);
        const std::vector<quadrel::LaTextBlock> fromKept = textBlocksOf(page);
        EXPECT_EQ(RunTableMemo::findLabels(page), nullptr);
        ASSERT_EQ(fresh.size(), fromKept.size());
        for (std::size_t i = 0; i < fresh.size(); ++i) EXPECT_EQ(key(fresh[i]), key(fromKept[i]));
    }
}

// Line removal drops the labels of a page it changed (nothing reads them
// again) and leaves those of a page it copied unchanged.
TEST(RunTableMemoTest, LineRemovalDropsTheLabelsOfAChangedPage) {
    TestPage lineless(300, 120);
    lineless.fillRect(100, 60, 30, 20);
    for (const bool ruled : {true, false}) {
        const TestPage page = ruled ? ruledPage() : lineless;
        const RunTableMemo memo;
        const quadrel::LaBitmap input = page.toBitmap();
        std::vector<quadrel::LaDarkRegion> candidates;
        ASSERT_EQ(quadrel::findDarkBandCandidates(input, 80, candidates), LA_STATUS_OK);
        ASSERT_NE(RunTableMemo::findLabels(input), nullptr);
        quadrel::LaBitmap output;
        ASSERT_EQ(quadrel::removeLines(input, output, 80, 0, 10, 3, 0), LA_STATUS_OK);
        quadrel::bitmapRelease(&output);
        EXPECT_EQ(RunTableMemo::findLabels(input) == nullptr, ruled);
    }
}

// The row runs line removal hands on to its painted copy are those of the
// copy's pixels, rows it left alone and rows it painted alike.
TEST(RunTableMemoTest, LineRemovalKeepsTheRowRunsOfItsCopy) {
    TestPage page = ruledPage();
    page.fillRect(60, 30, 4, 4);  // ink beside the rules that stays
    page.fillRect(150, 18, 6, 9); // a blot across the horizontal rule
    const quadrel::LaBitmap input = page.toBitmap();
    const RunTableMemo memo;
    quadrel::FoundLines lines;
    ASSERT_EQ(quadrel::findLines(input, quadrel::LineOrientation::kHorizontal, 80, 3, lines),
              LA_STATUS_OK);
    quadrel::LaBitmap output;
    ASSERT_EQ(quadrel::removeLines(input, output, 80, 0, 10, 3, 0), LA_STATUS_OK);
    const RunTable expected = quadrel::buildRowRunTable(output);
    const RunTable* kept = RunTableMemo::find(output, RunAxis::kRows);
    ASSERT_NE(kept, nullptr);
    ASSERT_EQ(kept->size(), expected.size());
    for (std::size_t r = 0; r < expected.size(); ++r) {
        ASSERT_EQ((*kept)[r].size(), expected[r].size()) << "row " << r;
        for (std::size_t k = 0; k < expected[r].size(); ++k) {
            EXPECT_EQ((*kept)[r][k].start, expected[r][k].start);
            EXPECT_EQ((*kept)[r][k].end, expected[r][k].end);
        }
    }
    EXPECT_NE(quadrel::buildRowRunTable(input)[21].size(), expected[21].size()) << "rule gone";
    EXPECT_FALSE(RunTableMemo::find(input, RunAxis::kRows)) << "handed on";
    EXPECT_FALSE(RunTableMemo::find(input, RunAxis::kColumns)) << "read no more";
    quadrel::bitmapRelease(&output);
}

} // namespace
