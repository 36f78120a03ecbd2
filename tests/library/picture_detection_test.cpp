// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "library/functions/analysis_functions.h"
#include "library/functions/dark_bands.h"
#include "library/image/line_extraction.h"
#include "library/image/run_table_memo.h"
#include "library/la_api.h"
#include "tests/support/generated_pages.h"
#include "tests/support/test_page.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

namespace {

using quadrel::LaPictureRecord;
using testsupport::TestPage;

struct Pictures {
    std::int32_t status = -1;
    std::vector<LaPictureRecord> records;
};

Pictures detect(const TestPage& page, std::int32_t groupingSize = 9, int blackIsZero = 0) {
    Pictures result;
    result.status =
        quadrel::detectPictures(page.toBitmap(blackIsZero), groupingSize, result.records);
    return result;
}

// A line of 20 x 20 letters.
void drawTextLine(TestPage& page, int x, int y, int letters) {
    for (int k = 0; k < letters; ++k) page.fillRect(x + 26 * k, y, 20, 20);
}

void expectBox(const LaPictureRecord& r, int xMin, int xMax, int yMin, int yMax) {
    EXPECT_EQ(r.xMin, xMin);
    EXPECT_EQ(r.xMax, xMax);
    EXPECT_EQ(r.yMin, yMin);
    EXPECT_EQ(r.yMax, yMax);
}

TEST(PictureDetectionTest, BlankPageFailsAndTextIsNoPicture) {
    const Pictures blank = detect(TestPage(200, 200));
    EXPECT_EQ(blank.status, LA_STATUS_NO_BLACK_PIXEL);
    EXPECT_TRUE(blank.records.empty());

    TestPage text(600, 300);
    for (int y = 20; y < 280; y += 40) drawTextLine(text, 20, y, 20);
    const Pictures none = detect(text);
    EXPECT_EQ(none.status, LA_STATUS_OK);
    EXPECT_TRUE(none.records.empty());

    // What a failed deskew leaves behind counts as a blank page.
    std::vector<LaPictureRecord> records;
    EXPECT_EQ(quadrel::detectPictures({}, 9, records), LA_STATUS_NO_BLACK_PIXEL);
}

TEST(PictureDetectionTest, ElementsTallerThan300RowsArePictures) {
    for (int biz : {0, 1}) {
        TestPage page(500, 500);
        page.fillRect(50, 20, 300, 400);
        drawTextLine(page, 20, 460, 10);
        const Pictures p = detect(page, 9, biz);
        ASSERT_EQ(p.status, LA_STATUS_OK);
        ASSERT_EQ(p.records.size(), 1u);
        expectBox(p.records[0], 50, 350, 20, 419);
    }
    TestPage at300(200, 400); // yMax - yMin = 300: a text candidate
    at300.fillRect(50, 20, 40, 301);
    EXPECT_TRUE(detect(at300).records.empty());
    TestPage at301(200, 400);
    at301.fillRect(50, 20, 40, 302);
    ASSERT_EQ(detect(at301).records.size(), 1u);
}

TEST(PictureDetectionTest, EveryComponentOfATallElementHasItsOwnBox) {
    TestPage page(400, 500);
    page.fillRect(100, 90, 30, 250); // starts lower, so it is component 0
    page.fillRect(50, 100, 45, 400); // 5 columns to its left: one element
    const Pictures p = detect(page);
    ASSERT_EQ(p.status, LA_STATUS_OK);
    ASSERT_EQ(p.records.size(), 2u);
    expectBox(p.records[0], 100, 130, 90, 339);
    expectBox(p.records[1], 50, 95, 100, 499);
}

TEST(PictureDetectionTest, GroupingSizeLimitsWhatCanBeAPicture) {
    TestPage page(1200, 900);
    page.fillRect(20, 20, 400, 302);  // at most 500 both ways
    page.fillRect(500, 20, 501, 302); // wider than 500
    ASSERT_EQ(detect(page, 9).records.size(), 2u);
    const Pictures big = detect(page, 500);
    ASSERT_EQ(big.records.size(), 1u);
    EXPECT_EQ(big.records[0].xMin, 500);

    // Sizes below 2 behave as 2.
    for (int size : {0, 1}) EXPECT_EQ(detect(page, size).records.size(), 2u);
}

std::vector<std::tuple<int, int, int, int, int>> textBlocksOf(const quadrel::LaBitmap& page) {
    std::vector<quadrel::LaTextBlock> blocks;
    EXPECT_EQ(quadrel::segmentTextBlocks(page, nullptr, blocks, 0), LA_STATUS_OK);
    std::vector<std::tuple<int, int, int, int, int>> keys;
    for (const auto& b : blocks) keys.emplace_back(b.xMin, b.yMin, b.xMax, b.yMax, b.content);
    return keys;
}

std::vector<std::tuple<int, int, int, int>> picturesOf(const quadrel::LaBitmap& page) {
    std::vector<LaPictureRecord> records;
    EXPECT_EQ(quadrel::detectPictures(page, 9, records), LA_STATUS_OK);
    std::vector<std::tuple<int, int, int, int>> keys;
    for (const auto& r : records) keys.emplace_back(r.xMin, r.xMax, r.yMin, r.yMax);
    return keys;
}

// Within an analysis, picture detection starts from the labels or row runs
// an earlier step kept for the same page and keeps its labels for text block
// segmentation: neither result may change, and the labels are used up.
TEST(PictureDetectionTest, LabelsSharedWithTextSegmentationChangeNoResult) {
    using quadrel::RunTableMemo;
    const quadrel::LaBitmap page = testsupport::generatedPicturePage().toBitmap();
    const auto pictures = picturesOf(page);
    const auto blocks = textBlocksOf(page);
    ASSERT_FALSE(pictures.empty());
    ASSERT_FALSE(blocks.empty());
    enum class Kept { kNothing, kLabels, kRowRuns };
    for (const Kept kept : {Kept::kNothing, Kept::kLabels, Kept::kRowRuns}) {
        const RunTableMemo memo;
        std::vector<quadrel::LaDarkRegion> candidates;
        if (kept == Kept::kLabels) {
            ASSERT_EQ(quadrel::findDarkBandCandidates(page, 80, candidates), LA_STATUS_OK);
        }
        if (kept == Kept::kRowRuns) {
            RunTableMemo::keep(page, quadrel::RunAxis::kRows, quadrel::buildRowRunTable(page));
        }
        EXPECT_EQ(picturesOf(page), pictures);
        ASSERT_NE(RunTableMemo::findLabels(page), nullptr) << "kept for text segmentation";
        // The labels are the page's row runs themselves: text segmentation
        // takes them over, copying nothing, and keeps them for the zone table.
        const quadrel::RunTable* rows = RunTableMemo::find(page, quadrel::RunAxis::kRows);
        ASSERT_NE(rows, nullptr);
        const auto filled =
            std::find_if(rows->begin(), rows->end(), [](const auto& row) { return !row.empty(); });
        ASSERT_NE(filled, rows->end());
        const std::size_t filledRow = std::size_t(filled - rows->begin());
        const quadrel::LaRun* storage = filled->data();
        EXPECT_EQ(textBlocksOf(page), blocks);
        EXPECT_EQ(RunTableMemo::findLabels(page), nullptr) << "used up";
        rows = RunTableMemo::find(page, quadrel::RunAxis::kRows);
        ASSERT_NE(rows, nullptr) << "kept for the zone table";
        EXPECT_EQ((*rows)[filledRow].data(), storage);
    }
    // A page without black keeps nothing.
    const RunTableMemo memo;
    const quadrel::LaBitmap blank = TestPage(200, 200).toBitmap();
    std::vector<LaPictureRecord> records;
    EXPECT_EQ(quadrel::detectPictures(blank, 9, records), LA_STATUS_NO_BLACK_PIXEL);
    EXPECT_EQ(RunTableMemo::findLabels(blank), nullptr);
}

} // namespace
