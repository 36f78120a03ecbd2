// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "library/functions/block_strokes.h"

#include "library/functions/block_merging.h"
#include "library/image/line_extraction.h"
#include "tests/support/test_page.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using quadrel::LaBlockBox;

// Strokes of random widths in random places, and dots.
testsupport::TestPage strokePage(std::mt19937& random, int width, int height) {
    testsupport::TestPage page(width, height);
    for (int k = 0; k < 300; ++k) {
        const int x = int(random() % unsigned(width));
        const int y = int(random() % unsigned(height));
        const bool dot = k % 3 == 0;
        page.fillRect(x, y, dot ? 1 : 2 + int(random() % 12), dot ? 1 : 4 + int(random() % 20));
    }
    return page;
}

// Words along lines (so that many blocks share rows), overlapping boxes and
// boxes reaching past the page or with no rows or columns.
std::vector<LaBlockBox> randomBlocks(std::mt19937& random, int width, int height) {
    std::vector<LaBlockBox> blocks;
    for (int line = 0; line < 6; ++line) {
        const int top = int(random() % unsigned(height + 10)) - 5;
        const int bottom = top + int(random() % 40) - 2;
        for (int x = int(random() % 20) - 4; x < width + 8; x += 5 + int(random() % 60)) {
            LaBlockBox b;
            b.left = x;
            b.right = x + int(random() % 70) - 3;
            b.top = top + int(random() % 5);
            b.bottom = bottom + int(random() % 5);
            blocks.push_back(b);
        }
    }
    return blocks;
}

TEST(BlockStrokesTest, EveryStrokeAsTheBlockMeasuredAlone) {
    std::mt19937 random(61);
    for (int trial = 0; trial < 40; ++trial) {
        const int width = 60 + int(random() % 300);
        const int height = 40 + int(random() % 200);
        const auto page = strokePage(random, width, height);
        const quadrel::LaBitmap bitmap = page.toBitmap(int(random() % 2), random() % 2 == 0);
        const quadrel::RunTable rowRuns = quadrel::buildRowRunTable(bitmap);
        std::vector<LaBlockBox> blocks = randomBlocks(random, width, height);
        std::vector<LaBlockBox> fromPixels = blocks;
        quadrel::estimateStrokes(blocks, bitmap, &rowRuns);
        quadrel::estimateStrokes(fromPixels, bitmap, nullptr);
        for (std::size_t i = 0; i < blocks.size(); ++i) {
            const LaBlockBox& b = blocks[i];
            const std::int32_t alone = quadrel::estimateStroke(b, bitmap);
            EXPECT_EQ(b.stroke, alone) << "trial " << trial << ", block " << b.left << " "
                                       << b.right << " " << b.top << " " << b.bottom;
            EXPECT_EQ(fromPixels[i].stroke, alone);
        }
    }
}

} // namespace
