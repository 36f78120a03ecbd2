// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "library/image/bitmap.h"
#include "library/la_api.h"
#include "tests/support/test_page.h"

#include <gtest/gtest.h>

namespace {

using quadrel::LaBitmap;
using testsupport::TestPage;

TEST(BitmapTest, RowLengthIsPaddedToFourBytes) {
    EXPECT_EQ(quadrel::rowLengthForWidth(1), 4);
    EXPECT_EQ(quadrel::rowLengthForWidth(32), 4);
    EXPECT_EQ(quadrel::rowLengthForWidth(33), 8);
}

TEST(BitmapTest, NewBitmapIsWhiteInEitherPolarity) {
    LaBitmap ones, zeros;
    ASSERT_EQ(quadrel::bitmapAllocate(ones, 3, 10, 4, 1), LA_STATUS_OK);
    ASSERT_EQ(quadrel::bitmapAllocate(zeros, 3, 10, -4, 0), LA_STATUS_OK);
    for (auto b : ones.buffer) EXPECT_EQ(b, 0xFF);
    for (auto b : zeros.buffer) EXPECT_EQ(b, 0x00);
    EXPECT_EQ(zeros.bottomUp, 1);
    EXPECT_EQ(zeros.firstRow, zeros.buffer.data() + 8);
}

TEST(BitmapTest, CopyIsIdentical) {
    TestPage page(40, 5);
    page.fillRect(3, 1, 20, 2);
    LaBitmap source = page.toBitmap(1, true), copy;
    ASSERT_EQ(quadrel::bitmapCopy(source, copy), LA_STATUS_OK);
    EXPECT_EQ(copy.buffer, source.buffer);
    EXPECT_EQ(copy.stride, source.stride);
    EXPECT_EQ(copy.blackIsZero, 1);
    EXPECT_EQ(TestPage::fromBitmap(copy).blackCount(), 40);
}

TEST(BitmapTest, CropShiftsBitsAndReadsZeroPastTheRow) {
    LaBitmap source;
    quadrel::bitmapAllocate(source, 1, 32, 4, 0);
    source.buffer = {0xFF, 0xFF, 0xFF, 0xFF};
    LaBitmap crop;
    ASSERT_EQ(quadrel::bitmapCrop(source, crop, 1, 0, 31, 1), LA_STATUS_OK);
    // Bits 1..31 land at 0..30; bit 31 comes from the byte past the row: 0.
    EXPECT_EQ(crop.buffer[0], 0xFF);
    EXPECT_EQ(crop.buffer[3], 0xFE);
}

TEST(BitmapTest, CropOutsideTheBitmapReadsZero) {
    TestPage page(16, 4);
    page.fillRect(0, 0, 16, 4);
    LaBitmap source = page.toBitmap(0);
    LaBitmap crop;
    ASSERT_EQ(quadrel::bitmapCrop(source, crop, -8, 2, 16, 4), LA_STATUS_OK);
    const TestPage out = TestPage::fromBitmap(crop);
    EXPECT_FALSE(out.black(0, 0)); // left of the bitmap
    EXPECT_TRUE(out.black(8, 0));  // inside
    EXPECT_TRUE(out.black(8, 1));  // inside
    EXPECT_FALSE(out.black(8, 2)); // above the last row
}

TEST(DibImportTest, PolarityFollowsTheFirstPaletteEntry) {
    TestPage page(33, 3);
    page.set(32, 2);
    auto white = page.toDib(false);
    auto black = page.toDib(true);
    auto a = quadrel::importDib(white.get());
    auto b = quadrel::importDib(black.get());
    ASSERT_TRUE(a && b);
    EXPECT_EQ(a->blackIsZero, 0);
    EXPECT_EQ(b->blackIsZero, 1);
    EXPECT_EQ(a->stride, 8);
    EXPECT_TRUE(a->isBlack(32, 2));
    EXPECT_TRUE(b->isBlack(32, 2));
    EXPECT_EQ(TestPage::fromBitmap(*b).blackCount(), 1);
    EXPECT_EQ(platform::globalLockCount(white.get()), 0u);
}

TEST(DibImportTest, NearBlackFirstEntryIsNotBlack) {
    TestPage page(8, 1);
    auto dib = page.toDib(true);
    auto* bytes = static_cast<std::uint8_t*>(platform::globalLock(dib.get()));
    bytes[42] = 1; // red of entry 0
    platform::globalUnlock(dib.get());
    auto bitmap = quadrel::importDib(dib.get());
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->blackIsZero, 0);
}

TEST(DibImportTest, RefusesBadHeadersWithoutReadingPastTheBlock) {
    TestPage page(64, 10);
    auto dib = page.toDib();
    auto* bytes = static_cast<std::uint8_t*>(platform::globalLock(dib.get()));
    bytes[8] = 11; // one more row than the block holds
    EXPECT_FALSE(quadrel::importDib(dib.get()));
    bytes[8] = 0; // zero height
    EXPECT_FALSE(quadrel::importDib(dib.get()));
    bytes[8] = 10;
    bytes[14] = 4; // 4 bits per pixel
    EXPECT_FALSE(quadrel::importDib(dib.get()));
    bytes[14] = 1;
    bytes[4] = 0xC0; // negative width: -64
    bytes[5] = bytes[6] = bytes[7] = 0xFF;
    auto negative = quadrel::importDib(dib.get());
    ASSERT_TRUE(negative);
    EXPECT_EQ(negative->width, 64);
    platform::globalUnlock(dib.get());
    EXPECT_FALSE(quadrel::importDib(nullptr));
    platform::GlobalBlockOwner tiny(platform::globalAlloc(20));
    EXPECT_FALSE(quadrel::importDib(tiny.get()));
}

} // namespace
