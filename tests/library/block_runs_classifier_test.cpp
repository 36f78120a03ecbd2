// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// classifyBlockRows, which reads a block's rows off its runs and the image
// only for its columns, against classifyBlock on the image.
#include "library/functions/block_classifier.h"
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

quadrel::BlockRows blockRowsOf(const LaBitmap& image) {
    const quadrel::FlatRunTable table = rowRunsOf(image);
    quadrel::BlockRows rows(image.height, image.width);
    for (std::int32_t y = 0; y < table.rows(); ++y)
        for (const quadrel::LaRun& run : table.row(y)) rows.add(y, run.start, run.end);
    return rows;
}

TEST(BlockRunsClassifierTest, DecidesAsTheImage) {
    std::mt19937 random(77);
    int pictures = 0;
    const int trials = 300;
    for (int trial = 0; trial < trials; ++trial) {
        const LaBitmap image = trial % 3 == 0   ? blobs(random)
                               : trial % 3 == 1 ? dots(random)
                                                : bars(random);
        const std::int32_t content = quadrel::classifyBlockRows(blockRowsOf(image), image);
        EXPECT_EQ(content, quadrel::classifyBlock(image)) << image.width << " x " << image.height;
        pictures += content == LA_CONTENT_PICTURE;
    }
    EXPECT_GT(pictures, trials / 10);
    EXPECT_LT(pictures, trials - trials / 10);
}

TEST(BlockRunsClassifierTest, RowsStartingAndEndingBlackCountTheirChanges) {
    // Every other row one run from the left edge to the right.
    LaBitmap full = whiteImage(64, 64);
    for (int y = 0; y < 64; y += 2)
        for (int x = 0; x < 64; ++x) paint(full, x, y);
    EXPECT_EQ(quadrel::classifyBlockRows(blockRowsOf(full), full), quadrel::classifyBlock(full));
    // A block without black.
    const LaBitmap blank = whiteImage(90, 50);
    EXPECT_EQ(quadrel::classifyBlockRows(blockRowsOf(blank), blank), quadrel::classifyBlock(blank));
}

} // namespace
