// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The DIB image: block layout, accessors, palette queries, handles, cloning.
#include "imaging/dib_image.h"
#include "library/la_api.h"
#include "tests/support/test_page.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using namespace imaging;

std::uint32_t le32(std::span<const std::uint8_t> block, std::size_t offset) {
    std::uint32_t v;
    std::memcpy(&v, block.data() + offset, 4);
    return v;
}

std::uint16_t le16(std::span<const std::uint8_t> block, std::size_t offset) {
    std::uint16_t v;
    std::memcpy(&v, block.data() + offset, 2);
    return v;
}

template <typename F> std::string errorOf(F&& f) {
    try {
        f();
    } catch (const ImageError& e) {
        return e.what();
    }
    return "no error";
}

TEST(DibImageTest, NewBilevelImageHasTheStandardBlock) {
    TDIB image;
    image.NewImage(10, 5, pf1bit, 300, 300);
    const auto block = image.Block();
    ASSERT_EQ(block.size(), 68u); // 48 + 5 rows of 4 bytes
    EXPECT_EQ(image.DataSize(), 68u);
    EXPECT_EQ(image.Stride(), 4u);
    EXPECT_EQ(image.RowBytes(), 2u);
    EXPECT_EQ(le32(block, 0), 40u);
    EXPECT_EQ(le32(block, 4), 10u);
    EXPECT_EQ(le32(block, 8), 5u);
    EXPECT_EQ(le16(block, 12), 1u);
    EXPECT_EQ(le16(block, 14), 1u);
    EXPECT_EQ(le32(block, 16), 0u);
    EXPECT_EQ(le32(block, 20), 20u);
    EXPECT_EQ(le32(block, 24), 11811u);
    EXPECT_EQ(le32(block, 28), 11811u);
    EXPECT_EQ(le32(block, 32), 2u);
    EXPECT_EQ(le32(block, 36), 2u);
    EXPECT_EQ(le32(block, 40), 0x000000u);                             // black
    EXPECT_EQ(le32(block, 44), 0xFFFFFFu);                             // white
    for (std::size_t i = 48; i < 68; ++i) EXPECT_EQ(block[i], 0) << i; // all black
    EXPECT_EQ(image.XDpi(), 300);
    EXPECT_EQ(image.YDpi(), 300);
    EXPECT_EQ(image.FileHeader().type, 0x4D42);
    EXPECT_EQ(image.FileHeader().offBits, 62u);
    EXPECT_EQ(image.Format(), pf1bit);
}

TEST(DibImageTest, RefusedShapesAndFormats) {
    TDIB image;
    EXPECT_EQ(errorOf([&] { image.NewImage(4, 4, PixelFormat(7), 300, 300); }),
              "Bit depht not allowed");
    EXPECT_EQ(errorOf([&] { image.NewImage(100000, 100000, pf1bit, 300, 300); }),
              "Image too large");
    EXPECT_EQ(errorOf([&] { image.NewImage(0x7FFFFFFF, 1, pf24bit, 300, 300); }),
              "Image too large");
    EXPECT_EQ(errorOf([&] { image.NewImage(-1, 5, pf8bit, 300, 300); }), "Invalid image size");
    EXPECT_FALSE(image.IsValid());
}

TEST(DibImageTest, AccessorsFollowEachFormatsLayout) {
    TDIB bits;
    bits.NewImage(10, 5, pf1bit, 300, 300);
    bits.SetPixel(9, 0, 1);
    // Row 0 is the top of the page: the last stored row, at 48 + 4 * 4.
    EXPECT_EQ(bits.Block()[64 + 1], 0x40);
    EXPECT_EQ(bits.GetPixel(9, 0), 1);
    bits.SetPixel(9, 0, 0);
    EXPECT_EQ(bits.GetPixel(9, 0), 0);

    TDIB nibbles;
    nibbles.NewImage(4, 1, pf4bit, 300, 300);
    nibbles.SetPixel(0, 0, 0x1A); // only the low nibble counts
    nibbles.SetPixel(1, 0, 5);
    EXPECT_EQ(nibbles.ScanLine(0)[0], 0xA5);

    TDIB colour;
    colour.NewImage(2, 1, pf24bit, 300, 300);
    colour.SetPixel(1, 0, RgbValue(10, 20, 30));
    const std::uint8_t* row = colour.ScanLine(0);
    EXPECT_EQ(row[3], 30); // blue first
    EXPECT_EQ(row[4], 20);
    EXPECT_EQ(row[5], 10);
    EXPECT_EQ(colour.GetPixel(1, 0), RgbValue(10, 20, 30));

    TDIB words;
    words.NewImage(2, 1, pf16bit, 300, 300);
    words.SetPixel(1, 0, 0x7C1F);
    EXPECT_EQ(words.GetPixel(1, 0), 0x7C1F);

    // Outside the image: reads 0, writes are ignored.
    EXPECT_EQ(colour.GetPixel(2, 0), 0);
    colour.SetPixel(-1, 0, 5);
    colour.SetPixel(0, 1, 5);
}

TEST(DibImageTest, PaletteQueries) {
    TDIB page;
    page.NewImage(8, 1, pf1bit, 300, 300);
    EXPECT_EQ(page.WhiteIndex(), 1);
    EXPECT_EQ(page.BlackIndex(), 0);
    EXPECT_FALSE(page.IsDirectPalette());
    const PaletteColor whiteThenBlack[] = {{255, 255, 255, 0}, {0, 0, 0, 0}};
    page.SetPalette(whiteThenBlack);
    EXPECT_EQ(page.WhiteIndex(), 0);
    EXPECT_EQ(page.BlackIndex(), 1);
    EXPECT_TRUE(page.IsDirectPalette());

    TDIB grey;
    grey.NewImage(1, 1, pf8bit, 300, 300);
    EXPECT_TRUE(grey.IsDirectPalette());
    EXPECT_EQ(grey.WhiteIndex(), 255);
    grey.SetPaletteEntry(255, 0x00FEFEFE); // no white entry left: 255 all the same
    grey.SetPaletteEntry(0, 0x00010101);   // and no black one: 0
    EXPECT_FALSE(grey.IsDirectPalette());
    EXPECT_EQ(grey.WhiteIndex(), 255);
    EXPECT_EQ(grey.BlackIndex(), 0);

    TDIB colour;
    colour.NewImage(1, 1, pf24bit, 300, 300);
    EXPECT_EQ(colour.WhiteIndex(), 0xFFFFFF);
    EXPECT_EQ(colour.BlackIndex(), 0);
    EXPECT_TRUE(colour.IsDirectPalette());
}

TEST(DibImageTest, CloneIsByteEqualWithItsOwnBlock) {
    TDIB page;
    page.NewImage(37, 11, pf8bit, 150, 75);
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 37; ++x) page.SetPixel(x, y, x * 7 + y);
    page.SetPaletteEntry(3, 0x00123456);
    const TDIB copy = page.Clone();
    ASSERT_EQ(copy.DataSize(), page.DataSize());
    EXPECT_TRUE(std::equal(copy.Block().begin(), copy.Block().end(), page.Block().begin()));
    EXPECT_NE(copy.GetHandle(), page.GetHandle());
    EXPECT_EQ(copy.XDpi(), 150);
    EXPECT_EQ(copy.YDpi(), 75);
}

TEST(DibImageTest, HandleStaysLockedAndOwnedByTheImage) {
    TDIB page;
    page.NewImage(16, 4, pf1bit, 200, 200);
    platform::GlobalHandle h = page.GetHandle();
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(platform::globalLockCount(h), 1u);
    EXPECT_EQ(platform::globalSize(h), page.DataSize());
    // Nested locks of the image count in the image; the block stays locked once.
    page.Lock();
    EXPECT_EQ(page.LockCount(), 2u);
    page.Unlock();
    EXPECT_EQ(page.LockCount(), 1u);
    EXPECT_EQ(platform::globalLockCount(h), 1u);

    TDIB moved = std::move(page);
    EXPECT_EQ(moved.GetHandle(), h);
    EXPECT_FALSE(page.IsValid());
}

TEST(DibImageTest, AttachTakesAPackedDibBlock) {
    testsupport::TestPage art(40, 3);
    art.fillRect(5, 1, 10, 1);
    platform::GlobalBlockOwner block = art.toDib(false, 300, 150);
    TDIB image;
    image.AttachHandle(block.get());
    platform::GlobalHandle h = block.release(); // the image owns it now
    EXPECT_EQ(image.GetHandle(), h);
    EXPECT_EQ(image.Width(), 40);
    EXPECT_EQ(image.Height(), 3);
    EXPECT_EQ(image.Format(), pf1bit);
    EXPECT_EQ(image.XDpi(), 300);
    EXPECT_EQ(image.YDpi(), 150);
    // The test page stores row 0 first (bottom-up): page row 1 is image row 1.
    EXPECT_NE(image.GetPixel(5, 1), image.GetPixel(4, 1));
}

TEST(DibImageTest, AttachRefusesABlockShorterThanItsHeaderSays) {
    TDIB image;
    image.NewImage(4, 4, pf8bit, 300, 300);
    platform::GlobalBlockOwner shortBlock(platform::globalAlloc(60));
    auto* header = static_cast<std::uint8_t*>(platform::globalLock(shortBlock.get()));
    const std::uint32_t fields[] = {40, 100, 100};
    std::memcpy(header, fields, sizeof fields);
    header[12] = 1;
    header[14] = 1;
    platform::globalUnlock(shortBlock.get());
    EXPECT_EQ(errorOf([&] { image.AttachHandle(shortBlock.get()); }), "Invalid DIB");
    // The image and the caller's block are untouched.
    EXPECT_EQ(image.Width(), 4);
    EXPECT_EQ(platform::globalLockCount(shortBlock.get()), 0u);
}

TEST(DibImageTest, CloneOfAnOversizedBlockIsADuplicateError) {
    platform::GlobalBlockOwner block(platform::globalAlloc(48 + 4 + 100));
    auto* header = static_cast<std::uint8_t*>(platform::globalLock(block.get()));
    const std::uint32_t fields[] = {40, 8, 1};
    std::memcpy(header, fields, sizeof fields);
    header[12] = 1;
    header[14] = 1;
    platform::globalUnlock(block.get());
    TDIB image;
    image.AttachHandle(block.release());
    EXPECT_EQ(errorOf([&] { image.Clone(); }), "DIB Duplicate error !");
}

TEST(DibImageTest, AnalysisLeavesTheImageUnchanged) {
    TDIB page;
    page.NewImage(200, 120, pf1bit, 300, 300);
    page.Fill(0xFF);
    for (int y = 20; y < 100; ++y)
        for (int x = 30; x < 34; ++x) page.SetPixel(x, y, 0);
    const std::vector<std::uint8_t> before(page.Block().begin(), page.Block().end());
    LaContext* context = LA_Init("Evalia", "Evalia");
    ASSERT_NE(context, nullptr);
    LA_Execute(context, page.GetHandle());
    LA_Done(context);
    EXPECT_TRUE(std::equal(before.begin(), before.end(), page.Block().begin()));
    EXPECT_EQ(platform::globalLockCount(page.GetHandle()), 1u);
}

} // namespace
