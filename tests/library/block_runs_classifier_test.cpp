// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// classifyBlockRuns, which reads a block's rows off its runs and draws the
// image only for its columns, against classifyBlock on the drawn image.
#include "library/functions/block_classifier.h"
#include "library/functions/transition_lists.h"
#include "library/image/components.h"
#include "library/la_api.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using quadrel::LaBitmap;

void paint(LaBitmap& image, int x, int y) {
    image.row(y)[x >> 3] &= std::uint8_t(~(0x80 >> (x & 7)));
}

LaBitmap whiteImage(int width, int height) {
    LaBitmap image;
    quadrel::bitmapAllocate(image, height, width, quadrel::rowLengthForWidth(width), 1);
    return image;
}

// Blobs of black, some touching the image's edges: text-like blocks.
LaBitmap blobs(std::mt19937& random) {
    LaBitmap image = whiteImage(1 + int(random() % 300), 1 + int(random() % 300));
    for (int b = int(random() % 60); b > 0; --b) {
        const int x0 = int(random() % unsigned(image.width));
        const int y0 = int(random() % unsigned(image.height));
        const int w = 1 + int(random() % 30), h = 1 + int(random() % 30);
        for (int y = y0; y < std::min(image.height, y0 + h); ++y)
            for (int x = x0; x < std::min(image.width, x0 + w); ++x)
                if (random() % 5 != 0) paint(image, x, y);
    }
    return image;
}

// Random dots from light noise (the rule with deviations) to dense dither.
LaBitmap dots(std::mt19937& random) {
    LaBitmap image = whiteImage(40 + int(random() % 400), 40 + int(random() % 400));
    const unsigned percent = 2 + random() % 70;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if (random() % 100 < percent) paint(image, x, y);
    return image;
}

// Vertical bars: quiet rows, busy columns only when bars are cut.
LaBitmap bars(std::mt19937& random) {
    LaBitmap image = whiteImage(40 + int(random() % 300), 40 + int(random() % 300));
    const int period = 2 + int(random() % 6);
    const int cut = 1 + int(random() % 4);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if (x % period == 0 && y % (cut + 1) != 0) paint(image, x, y);
    return image;
}

quadrel::FlatRunTable rowRunsOf(const LaBitmap& image) {
    quadrel::FlatRunTable table;
    quadrel::buildRowRuns(quadrel::componentSourceOf(image, 0), table);
    return table;
}

TEST(BlockRunsClassifierTest, DecidesAsTheDrawnImageAndDrawsOnlyForColumns) {
    std::mt19937 random(77);
    int drawn = 0, pictures = 0, trials = 0;
    for (int trial = 0; trial < 300; ++trial, ++trials) {
        const LaBitmap image = trial % 3 == 0   ? blobs(random)
                               : trial % 3 == 1 ? dots(random)
                                                : bars(random);
        const auto draw = [&] {
            ++drawn;
            LaBitmap copy;
            quadrel::bitmapCopy(image, copy);
            return copy;
        };
        const std::int32_t content =
            quadrel::classifyBlockRuns(rowRunsOf(image), image.width, draw);
        EXPECT_EQ(content, quadrel::classifyBlock(image)) << image.width << " x " << image.height;
        pictures += content == LA_CONTENT_PICTURE;
    }
    EXPECT_GT(pictures, trials / 10);
    EXPECT_LT(pictures, trials - trials / 10);
    // Small blocks and blocks whose ink or rows decide are never drawn.
    EXPECT_GT(drawn, 0);
    EXPECT_LT(drawn, trials * 3 / 4);
}

TEST(BlockRunsClassifierTest, RowListsOfTheRunsEqualTheEncodedRows) {
    std::mt19937 random(78);
    for (int trial = 0; trial < 200; ++trial) {
        LaBitmap image = trial % 2 ? blobs(random) : dots(random);
        // Rows ending black at the right edge, and one all black.
        for (int y = 0; y < image.height; y += 3) paint(image, image.width - 1, y);
        for (int x = 0; x < image.width; ++x) paint(image, x, image.height - 1);
        const quadrel::TransitionLists fromRuns = quadrel::rowLists(rowRunsOf(image), image.width);
        const quadrel::TransitionLists encoded = quadrel::rowLists(image);
        ASSERT_EQ(fromRuns.start, encoded.start) << image.width << " x " << image.height;
        ASSERT_EQ(fromRuns.entries, encoded.entries) << image.width << " x " << image.height;
    }
}

TEST(BlockRunsClassifierTest, RowsStartingAndEndingBlackCountTheirChanges) {
    // Full-width rows: every row is one run from the left edge to the right.
    LaBitmap full = whiteImage(64, 64);
    for (int y = 0; y < 64; y += 2)
        for (int x = 0; x < 64; ++x) paint(full, x, y);
    int drawn = 0;
    const auto draw = [&] {
        ++drawn;
        LaBitmap copy;
        quadrel::bitmapCopy(full, copy);
        return copy;
    };
    EXPECT_EQ(quadrel::classifyBlockRuns(rowRunsOf(full), full.width, draw),
              quadrel::classifyBlock(full));
    // A page with no black and one without rows: as the image decides.
    const LaBitmap blank = whiteImage(90, 50);
    EXPECT_EQ(quadrel::classifyBlockRuns(rowRunsOf(blank), blank.width,
                                         [&] {
                                             LaBitmap copy;
                                             quadrel::bitmapCopy(blank, copy);
                                             return copy;
                                         }),
              quadrel::classifyBlock(blank));
}

} // namespace
