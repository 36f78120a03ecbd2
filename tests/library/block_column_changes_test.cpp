// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "library/functions/block_column_changes.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using quadrel::LaBitmap;

// Random pixels of either polarity, with random bits past the width in each
// row's last bytes, which must not count.
LaBitmap randomImage(std::mt19937& random, int width, int height, int blackIsZero) {
    LaBitmap image;
    quadrel::bitmapAllocate(image, height, width, quadrel::rowLengthForWidth(width), blackIsZero);
    const unsigned ink = 1 + random() % 60;
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = image.row(y);
        for (std::size_t b = 0; b < image.rowBytes(); ++b) row[b] = std::uint8_t(random());
        for (int x = 0; x < width; ++x) {
            const bool black = random() % 100 < ink;
            const std::uint8_t bit = std::uint8_t(0x80 >> (x & 7));
            if (black == (blackIsZero != 0))
                row[x >> 3] &= std::uint8_t(~bit);
            else
                row[x >> 3] |= bit;
        }
    }
    return image;
}

TEST(BlockColumnChangesTest, CountsEveryPixelThatDiffersFromTheOneAbove) {
    std::mt19937 random(81);
    for (int trial = 0; trial < 300; ++trial) {
        const int width = 1 + int(random() % 200), height = 1 + int(random() % 90);
        LaBitmap image = randomImage(random, width, height, int(random() % 2));
        const std::vector<quadrel::LineChanges> columns = quadrel::columnChangesOf(image);
        ASSERT_EQ(columns.size(), std::size_t(width));
        for (int x = 0; x < width; ++x) {
            std::int32_t changes = 0;
            for (int y = 0; y < height; ++y)
                changes += image.isBlack(x, y) != (y > 0 && image.isBlack(x, y - 1));
            EXPECT_EQ(columns[std::size_t(x)].changes, changes) << width << " x " << height;
            EXPECT_EQ(columns[std::size_t(x)].startsBlack, image.isBlack(x, 0));
        }
        quadrel::bitmapRelease(&image);
    }
}

TEST(BlockColumnChangesTest, ColumnListsAsTurningTheImageGivesThem) {
    std::mt19937 random(82);
    for (int trial = 0; trial < 200; ++trial) {
        const int width = 1 + int(random() % 200), height = 1 + int(random() % 150);
        LaBitmap image = randomImage(random, width, height, int(random() % 2));
        const quadrel::TransitionLists lists =
            quadrel::columnListsOf(image, quadrel::columnChangesOf(image));
        const quadrel::TransitionLists expected = quadrel::columnLists(image);
        EXPECT_EQ(lists.start, expected.start) << width << " x " << height;
        EXPECT_EQ(lists.entries, expected.entries) << width << " x " << height;
        quadrel::bitmapRelease(&image);
    }
}

TEST(BlockColumnChangesTest, AnImageWithoutPixelsHasNoColumns) {
    EXPECT_TRUE(quadrel::columnChangesOf(LaBitmap{}).empty());
}

} // namespace
