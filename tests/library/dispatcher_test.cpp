// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// One function code run on a context: the input copy, the slots it replaces,
// the row conversion of its records and the bitmap it leaves current.
#include "library/context.h"
#include "library/dispatcher.h"
#include "library/la_api.h"
#include "tests/library/fake_analysis.h"
#include "tests/support/test_page.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using quadrel::runFunctionCode;
using testsupport::FakeAnalysis;

constexpr int kHeight = 50;

// A context whose current bitmap is a 64 x 50 page.
std::unique_ptr<LaContext> contextWithPage() {
    auto ctx = std::make_unique<LaContext>();
    ctx->pageBitmap =
        std::make_unique<quadrel::LaBitmap>(testsupport::TestPage(64, kHeight).toBitmap());
    ctx->currentBitmap = ctx->pageBitmap.get();
    return ctx;
}

TEST(DispatcherTest, RegionRecordsGetPageRowsInTheirYFields) {
    FakeAnalysis fake;
    fake.results().lines = {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}};
    fake.results().inverse = {{1, 0, 3, 49}};
    auto ctx = contextWithPage();
    ASSERT_EQ(runFunctionCode(*ctx, LA_FUNCTION_LINES_AND_TABLES), LA_STATUS_OK);
    ASSERT_EQ(runFunctionCode(*ctx, LA_FUNCTION_INVERSE_TEXT), LA_STATUS_OK);
    const quadrel::LaRegionRecord& line = ctx->linesList->at(0);
    EXPECT_EQ(line.xMin, 1);
    EXPECT_EQ(line.yMin, kHeight - 1 - 2);
    EXPECT_EQ(line.xMax, 3);
    EXPECT_EQ(line.yMax, kHeight - 1 - 4);
    EXPECT_EQ(line.length, 5);
    EXPECT_EQ(line.content, 10);
    EXPECT_EQ(ctx->inverseList->at(0).yMin, 49);
    EXPECT_EQ(ctx->inverseList->at(0).yMax, 0);
}

TEST(DispatcherTest, PictureAndTextRecordsGetPageRowsInTheirYFields) {
    FakeAnalysis fake;
    fake.results().pictures = {{1, 2, 3, 4}}; // xMin, xMax, yMin, yMax
    quadrel::LaTextBlock block;
    block.xMin = 1, block.yMin = 2, block.xMax = 3, block.yMax = 4, block.content = LA_CONTENT_TEXT;
    fake.results().blocks = {block};
    auto ctx = contextWithPage();
    ASSERT_EQ(runFunctionCode(*ctx, LA_FUNCTION_PICTURES), LA_STATUS_OK);
    ASSERT_EQ(runFunctionCode(*ctx, LA_FUNCTION_TEXT_BLOCKS), LA_STATUS_OK);
    const quadrel::LaPictureRecord& picture = ctx->pictureList->at(0);
    EXPECT_EQ(picture.xMin, 1);
    EXPECT_EQ(picture.xMax, 2);
    EXPECT_EQ(picture.yMin, kHeight - 1 - 3);
    EXPECT_EQ(picture.yMax, kHeight - 1 - 4);
    const quadrel::LaTextBlock& text = ctx->textList->at(0);
    EXPECT_EQ(text.xMin, 1);
    EXPECT_EQ(text.yMin, kHeight - 1 - 2);
    EXPECT_EQ(text.xMax, 3);
    EXPECT_EQ(text.yMax, kHeight - 1 - 4);
}

TEST(DispatcherTest, RowsAreConvertedWithTheInputCopysHeight) {
    FakeAnalysis fake;
    fake.results().pictures = {{0, 1, 0, 0}};
    auto ctx = contextWithPage();
    // Code 1's stand-in output is as high as its input; the picture's row 0
    // becomes the last row of the copy code 16 worked on.
    ASSERT_EQ(runFunctionCode(*ctx, LA_FUNCTION_SKEW), LA_STATUS_OK);
    ASSERT_EQ(runFunctionCode(*ctx, LA_FUNCTION_PICTURES), LA_STATUS_OK);
    EXPECT_EQ(ctx->pictureList->at(0).yMin, ctx->pictureInput->height - 1);
}

TEST(DispatcherTest, SkewAndRemovalOutputsBecomeCurrent) {
    FakeAnalysis fake;
    fake.results().status = 7; // a failing function still replaces the current bitmap
    auto ctx = contextWithPage();
    ASSERT_EQ(runFunctionCode(*ctx, LA_FUNCTION_SKEW), LA_STATUS_OK);
    EXPECT_EQ(ctx->skewStatus, 7);
    EXPECT_EQ(ctx->skewValid, 1);
    EXPECT_EQ(ctx->currentBitmap, ctx->skewOutput.get());
    EXPECT_EQ(ctx->currentBitmap->width, 65);

    // Code 1 again copies the output it is about to release.
    ASSERT_EQ(runFunctionCode(*ctx, LA_FUNCTION_SKEW), LA_STATUS_OK);
    EXPECT_EQ(ctx->skewInput->width, 65);
    EXPECT_EQ(ctx->currentBitmap->width, 66);

    ASSERT_EQ(runFunctionCode(*ctx, LA_FUNCTION_LINE_REMOVAL), LA_STATUS_OK);
    EXPECT_EQ(ctx->removalInput->width, 66);
    EXPECT_EQ(ctx->currentBitmap, ctx->removalOutput.get());
    ASSERT_EQ(runFunctionCode(*ctx, LA_FUNCTION_LINES_AND_TABLES), LA_STATUS_OK);
    EXPECT_EQ(ctx->linesInput->width, 67);
    EXPECT_EQ(ctx->currentBitmap, ctx->removalOutput.get());
}

TEST(DispatcherTest, InputIsAFreshCopyOfTheCurrentBitmap) {
    FakeAnalysis fake;
    auto ctx = contextWithPage();
    ctx->pageBitmap->firstRow[0] = 0xA5;
    ASSERT_EQ(runFunctionCode(*ctx, LA_FUNCTION_LINES_AND_TABLES), LA_STATUS_OK);
    const testsupport::FakeCall& call = fake.results().calls.back();
    EXPECT_EQ(call.input, ctx->linesInput.get());
    EXPECT_NE(call.input, ctx->pageBitmap.get());
    EXPECT_EQ(call.inputPixels, ctx->pageBitmap->buffer);
}

// Skew detection and line removal replace the imported page as the current
// bitmap: the first of them takes the page's own pixels instead of a copy,
// the others copy the current bitmap as before.
TEST(DispatcherTest, TheFunctionReplacingThePageTakesItsPixels) {
    FakeAnalysis fake;
    auto ctx = contextWithPage();
    ctx->pageBitmap->firstRow[0] = 0x5A;
    const std::vector<std::uint8_t> page = ctx->pageBitmap->buffer;
    ASSERT_EQ(runFunctionCode(*ctx, LA_FUNCTION_LINES_AND_TABLES), LA_STATUS_OK);
    EXPECT_EQ(ctx->pageBitmap->buffer, page) << "copied: the page stays current";
    ASSERT_EQ(runFunctionCode(*ctx, LA_FUNCTION_LINE_REMOVAL), LA_STATUS_OK);
    EXPECT_EQ(fake.results().calls.back().inputPixels, page);
    EXPECT_FALSE(ctx->pageBitmap->hasPixels());
    EXPECT_EQ(ctx->pageBitmap->height, kHeight);
    ASSERT_EQ(runFunctionCode(*ctx, LA_FUNCTION_SKEW), LA_STATUS_OK);
    EXPECT_EQ(fake.results().calls.back().inputPixels, ctx->removalOutput->buffer);
    EXPECT_TRUE(ctx->removalOutput->hasPixels()) << "an output is copied";
}

// Only text block segmentation's copy is read again (by the zone table); the
// others keep their size but not their pixels once their function returns.
TEST(DispatcherTest, InputCopiesKeepPixelsOnlyForTheZoneTable) {
    FakeAnalysis fake;
    auto ctx = contextWithPage();
    for (const std::int32_t code :
         {LA_FUNCTION_SKEW, LA_FUNCTION_LINES_AND_TABLES, LA_FUNCTION_INVERSE_TEXT,
          LA_FUNCTION_LINE_REMOVAL, LA_FUNCTION_PICTURES, LA_FUNCTION_TEXT_BLOCKS})
        ASSERT_EQ(runFunctionCode(*ctx, code), LA_STATUS_OK);
    for (const quadrel::LaBitmap* input :
         {ctx->skewInput.get(), ctx->linesInput.get(), ctx->inverseInput.get(),
          ctx->removalInput.get(), ctx->pictureInput.get()}) {
        EXPECT_FALSE(input->hasPixels());
        EXPECT_EQ(input->buffer.capacity(), 0u);
        EXPECT_EQ(input->height, kHeight);
    }
    for (const testsupport::FakeCall& call : fake.results().calls)
        EXPECT_FALSE(call.inputPixels.empty()) << "code " << call.code;
    EXPECT_TRUE(ctx->textInput->hasPixels());
    EXPECT_EQ(ctx->textInput->buffer, ctx->currentBitmap->buffer);
}

TEST(DispatcherTest, TextBlocksReceiveTheLineListTheContextHolds) {
    FakeAnalysis fake;
    auto ctx = contextWithPage();
    ASSERT_EQ(runFunctionCode(*ctx, LA_FUNCTION_TEXT_BLOCKS), LA_STATUS_OK);
    EXPECT_EQ(fake.results().calls.back().lines, nullptr);
    ASSERT_EQ(runFunctionCode(*ctx, LA_FUNCTION_LINES_AND_TABLES), LA_STATUS_OK);
    ASSERT_EQ(runFunctionCode(*ctx, LA_FUNCTION_TEXT_BLOCKS), LA_STATUS_OK);
    EXPECT_EQ(fake.results().calls.back().lines, ctx->linesList.get());
}

} // namespace
