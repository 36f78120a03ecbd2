// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The word-at-a-time encoders against their pixel-by-pixel definitions, on
// random bitmaps of awkward sizes: widths that are not whole bytes or words,
// heights that are not whole tiles, both polarities, both row directions and
// garbage in the padding bits.
#include "library/image/bitmap.h"
#include "library/image/column_encoder.h"
#include "library/image/column_transitions.h"
#include "library/image/components.h"
#include "library/image/line_extraction.h"
#include "library/la_api.h"
#include "tests/support/test_page.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using quadrel::LaBitmap;

// Pages of few colour changes, of many, and of long runs of both colours.
std::uint8_t randomByte(std::mt19937& random, int style) {
    switch (style) {
    case 0:
        return std::uint8_t(random());
    case 1:
        return random() % 8 == 0 ? std::uint8_t(random()) : 0x00;
    case 2:
        return random() % 8 == 0 ? std::uint8_t(random()) : 0xFF;
    default:
        return random() % 2 ? 0xFF : 0x00;
    }
}

LaBitmap randomBitmap(std::mt19937& random, int width, int height) {
    LaBitmap bitmap;
    const int rowLength = quadrel::rowLengthForWidth(width);
    quadrel::bitmapAllocate(bitmap, height, width, random() % 2 ? -rowLength : rowLength,
                            int(random() % 2));
    const int style = int(random() % 4);
    for (std::uint8_t& byte : bitmap.buffer) byte = randomByte(random, style);
    return bitmap;
}

// 0, every column where the colour changes (white before column 0), then
// the width four times.
std::vector<std::int32_t> rowListByPixel(const LaBitmap& bitmap, int r) {
    std::vector<std::int32_t> list{0};
    bool black = false;
    for (int x = 0; x < bitmap.width; ++x)
        if (bitmap.isBlack(x, r) != black) {
            list.push_back(x);
            black = !black;
        }
    list.insert(list.end(), 4, bitmap.width);
    return list;
}

std::vector<std::int32_t> columnChangesByPixel(const LaBitmap& bitmap, int x) {
    std::vector<std::int32_t> rows;
    bool black = false;
    for (int r = 0; r < bitmap.height; ++r)
        if (bitmap.isBlack(x, r) != black) {
            rows.push_back(r);
            black = !black;
        }
    return rows;
}

TEST(RunEncodingTest, RowListMatchesThePixels) {
    std::mt19937 random(11);
    std::vector<std::int32_t> out;
    for (int trial = 0; trial < 3000; ++trial) {
        const LaBitmap bitmap = randomBitmap(random, 1 + int(random() % 300), 1);
        const auto n = quadrel::encodeRow(bitmap.row(0), bitmap.width, bitmap.whiteByte(), out);
        const auto expected = rowListByPixel(bitmap, 0);
        ASSERT_EQ(std::vector<std::int32_t>(out.begin(), out.begin() + n), expected)
            << "width " << bitmap.width << ", black is zero " << bitmap.blackIsZero;
    }
}

TEST(RunEncodingTest, RowWithoutPixelsKeepsItsShortList) {
    std::vector<std::int32_t> out;
    const std::uint8_t row[4] = {};
    EXPECT_EQ(quadrel::encodeRow(row, 0, 0x00, out), 4);
    EXPECT_EQ(quadrel::encodeRow(row, 0, 0xFF, out), 5);
}

TEST(RunEncodingTest, ColumnChangesMatchThePixels) {
    std::mt19937 random(12);
    for (int trial = 0; trial < 150; ++trial) {
        const LaBitmap bitmap =
            randomBitmap(random, 1 + int(random() % 200), 1 + int(random() % 200));
        const quadrel::ColumnTransitions t = quadrel::findColumnTransitions(bitmap);
        ASSERT_EQ(t.columns(), bitmap.width);
        EXPECT_EQ(t.height, bitmap.height);
        for (int x = 0; x < bitmap.width; ++x) {
            const auto changes = t.of(x);
            ASSERT_EQ(std::vector<std::int32_t>(changes.begin(), changes.end()),
                      columnChangesByPixel(bitmap, x))
                << bitmap.width << " x " << bitmap.height << ", column " << x;
        }
    }
}

// Both versions of the column readers (the one for BMI1 and POPCNT only on a
// CPU that has them), read column by column.
TEST(RunEncodingTest, ColumnCountsAndListsMatchThePixelsInBothCodeVersions) {
    std::mt19937 random(14);
    std::vector<std::int32_t> out;
    for (int trial = 0; trial < 150; ++trial) {
        const LaBitmap bitmap =
            randomBitmap(random, 1 + int(random() % 200), 1 + int(random() % 260));
        out.assign(std::size_t(bitmap.height) + 3, -1);
        for (const bool fast : {false, true}) {
            if (fast && !quadrel::cpuHasBitInstructions()) continue;
            const quadrel::ColumnChanges changes(bitmap, {}, fast);
            for (int x = 0; x < bitmap.width; ++x) {
                const auto expected = columnChangesByPixel(bitmap, x);
                ASSERT_EQ(changes.count(x), expected.size()) << "fast " << fast;
                std::int32_t* end = changes.write(x, out.data());
                ASSERT_EQ(std::vector<std::int32_t>(out.data(), end), expected)
                    << bitmap.width << " x " << bitmap.height << ", column " << x << ", fast "
                    << fast;
            }
        }
    }
}

TEST(RunEncodingTest, ColumnRunTableMatchesTheColumnEncoder) {
    std::mt19937 random(13);
    std::vector<std::int32_t> entries;
    for (int trial = 0; trial < 60; ++trial) {
        const LaBitmap bitmap =
            randomBitmap(random, 1 + int(random() % 150), 1 + int(random() % 150));
        const quadrel::RunTable table = quadrel::buildColumnRunTable(bitmap);
        ASSERT_EQ(table.size(), std::size_t(bitmap.width));
        for (int x = 0; x < bitmap.width; ++x) {
            const auto n = quadrel::encodeColumn(bitmap, x, entries);
            ASSERT_EQ(table[std::size_t(x)].size(), std::size_t(n - 4) / 2) << "column " << x;
            for (std::size_t k = 0; k < table[std::size_t(x)].size(); ++k) {
                EXPECT_EQ(table[std::size_t(x)][k].start, entries[1 + 2 * k]);
                EXPECT_EQ(table[std::size_t(x)][k].end, entries[2 + 2 * k]);
            }
        }
    }
}

// A run of 2 * block - 1 rows is seen at every offset, a run one row shorter
// than the block never is: the line finder leaves out columns on this test.
TEST(RunEncodingTest, BlackBlocksAreFoundForEveryRunThatMustCoverOne) {
    for (int block = 1; block <= 64; block *= 2)
        for (int top = 0; top<140; top += block> 8 ? 3 : 1) {
            testsupport::TestPage page(3, 300);
            page.fillRect(1, top, 1, 2 * block - 1);
            if (block > 1) page.fillRect(2, top, 1, block - 1);
            const quadrel::ColumnChanges changes(page.toBitmap());
            EXPECT_TRUE(changes.hasBlackBlock(1, block)) << block << " at " << top;
            EXPECT_FALSE(changes.hasBlackBlock(0, block));
            if (block > 1) {
                EXPECT_FALSE(changes.hasBlackBlock(2, block)) << block << " at " << top;
            }
        }
}

TEST(RunEncodingTest, BitmapWithoutPixelsHasNoColumns) {
    EXPECT_EQ(quadrel::findColumnTransitions(LaBitmap{}).columns(), 0);
}

TEST(RunEncodingTest, CropMatchesTheBitCopy) {
    std::mt19937 random(14);
    for (int trial = 0; trial < 3000; ++trial) {
        const LaBitmap source =
            randomBitmap(random, 1 + int(random() % 200), 1 + int(random() % 20));
        const int x = int(random() % 260) - 30;
        const int y = int(random() % 30) - 5;
        const int width = int(random() % 230);
        const int height = 1 + int(random() % 25);
        LaBitmap crop;
        ASSERT_EQ(quadrel::bitmapCrop(source, crop, x, y, width, height), LA_STATUS_OK);
        // The same crop made row by row with the general bit copy.
        LaBitmap expected;
        const int rowLength = quadrel::rowLengthForWidth(width);
        quadrel::bitmapAllocate(expected, height, width, source.bottomUp ? -rowLength : rowLength,
                                source.blackIsZero);
        for (int r = 0; r < height; ++r) {
            const bool inside = y + r >= 0 && y + r < source.height;
            quadrel::bitRunCopy(inside ? source.row(y + r) : nullptr, source.rowBytes(),
                                expected.row(r), expected.rowBytes(), width, x, 0);
        }
        ASSERT_EQ(crop.buffer, expected.buffer) << "crop " << x << ", " << y << ", " << width;
    }
}

} // namespace
