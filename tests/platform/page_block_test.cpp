// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// QM_CreatePage: the page block built from a caller's packed rows.
#include "library/la_api.h"
#include "platform/global_memory.h"
#include "platform/quadrel_memory.h"
#include "tests/support/test_page.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

using testsupport::TestPage;

std::vector<std::uint8_t> blockBytes(QmHandle h) {
    const auto* data = static_cast<const std::uint8_t*>(QM_Lock(h));
    std::vector<std::uint8_t> bytes(data, data + QM_Size(h));
    QM_Unlock(h);
    return bytes;
}

// The page's rows top first (its last stored row first), packed, with
// `stride` bytes a row and every spare bit set to `filler`.
std::vector<std::uint8_t> packedRows(const TestPage& page, int stride, bool blackBit,
                                     std::uint8_t filler) {
    std::vector<std::uint8_t> rows(std::size_t(stride) * std::size_t(page.height()), filler);
    for (int r = 0; r < page.height(); ++r)
        for (int x = 0; x < page.width(); ++x) {
            const bool bit = page.black(x, page.height() - 1 - r) == blackBit;
            auto& byte = rows[std::size_t(r) * std::size_t(stride) + std::size_t(x / 8)];
            const auto mask = std::uint8_t(0x80u >> (x % 8));
            byte = bit ? std::uint8_t(byte | mask) : std::uint8_t(byte & ~mask);
        }
    return rows;
}

TestPage pageWithTableAndText() {
    TestPage page(300, 200);
    page.fillRect(20, 20, 260, 2);
    page.fillRect(20, 120, 260, 2);
    page.fillRect(20, 20, 2, 102);
    page.fillRect(278, 20, 2, 102);
    for (int k = 0; k < 12; ++k) page.fillRect(30 + k * 18, 150, 12, 16);
    return page;
}

QmHandle create(const std::vector<std::uint8_t>& rows, const TestPage& page, int stride,
                int blackBit, int dpi = 300) {
    QmHandle h = nullptr;
    EXPECT_EQ(QM_CreatePage(rows.data(), rows.size(), page.width(), page.height(), stride, blackBit,
                            dpi, dpi, &h),
              QM_STATUS_OK);
    return h;
}

TEST(PageBlock, MatchesTheDibTheImageCodeWritesForEitherPolarity) {
    const TestPage page = pageWithTableAndText(); // 300 pixels: the last byte holds 4
    const platform::GlobalBlockOwner expected = page.toDib(false, 300, 300);
    // Spare bits and bytes full of ink: they must not reach the block.
    const int stride = 40;
    const platform::GlobalBlockOwner oneBlack(
        create(packedRows(page, stride, true, 0xFF), page, stride, 1));
    const platform::GlobalBlockOwner zeroBlack(
        create(packedRows(page, stride, false, 0x00), page, stride, 0));
    EXPECT_EQ(blockBytes(oneBlack.get()), blockBytes(expected.get()));
    EXPECT_EQ(blockBytes(zeroBlack.get()), blockBytes(expected.get()));
}

TEST(PageBlock, AnalysesLikeTheSamePageFromTheImageCode) {
    const TestPage page = pageWithTableAndText();
    const int stride = (page.width() + 7) / 8; // tight rows, the last one exactly at the end
    const platform::GlobalBlockOwner block(
        create(packedRows(page, stride, true, 0), page, stride, 1));
    LaContext* ctx = LA_Init("", "");
    ASSERT_EQ(LA_Execute(ctx, block.get()), LA_STATUS_OK);
    EXPECT_GT(LA_GetZonesCount(ctx), 2);
    EXPECT_EQ(QM_LockCount(block.get()), 0); // the library only borrows the block
    LA_Done(ctx);
}

TEST(PageBlock, ResolutionIsStoredInPixelsPerMetre) {
    const TestPage page(8, 1);
    const std::vector<std::uint8_t> row{0};
    const platform::GlobalBlockOwner block(create(row, page, 1, 1, 50));
    const std::vector<std::uint8_t> bytes = blockBytes(block.get());
    // 50 x 39.37 = 1968.5, rounded half to even.
    EXPECT_EQ(bytes[24] | bytes[25] << 8, 1968);
    EXPECT_EQ(bytes[28] | bytes[29] << 8, 1968);
}

TEST(PageBlock, RefusesArgumentsItCannotUseAndLeavesTheHandle) {
    const std::vector<std::uint8_t> pixels(64, 0);
    struct Case {
        const void* pixels;
        std::size_t size;
        std::int32_t width, height, stride, blackBit, dpi;
        std::int32_t status;
    };
    const Case cases[] = {
        {nullptr, 64, 8, 8, 1, 1, 0, QM_STATUS_NULL_ARGUMENT},
        {pixels.data(), 64, 0, 8, 1, 1, 0, QM_STATUS_BAD_SIZE},
        {pixels.data(), 64, 8, -1, 1, 1, 0, QM_STATUS_BAD_SIZE},
        {pixels.data(), 64, 1 << 30, 1 << 30, 1 << 27, 1, 0, QM_STATUS_BAD_SIZE},
        {pixels.data(), 64, 17, 2, 2, 1, 0, QM_STATUS_BAD_STRIDE}, // 17 pixels need 3 bytes
        {pixels.data(), 64, 8, 2, -1, 1, 0, QM_STATUS_BAD_STRIDE},
        {pixels.data(), 16, 16, 3, 8, 1, 0, QM_STATUS_SHORT_BUFFER}, // needs 2 * 8 + 2 = 18
        {pixels.data(), 64, 8, 8, 1, 2, 0, QM_STATUS_BAD_POLARITY},
        {pixels.data(), 64, 8, 8, 1, -1, 0, QM_STATUS_BAD_POLARITY},
        {pixels.data(), 64, 8, 8, 1, 1, -1, QM_STATUS_BAD_RESOLUTION},
        {pixels.data(), 64, 8, 8, 1, 1, QM_MAX_DPI + 1, QM_STATUS_BAD_RESOLUTION},
    };
    for (const Case& c : cases) {
        QmHandle untouched = reinterpret_cast<QmHandle>(std::uintptr_t(0x5A));
        EXPECT_EQ(QM_CreatePage(c.pixels, c.size, c.width, c.height, c.stride, c.blackBit, c.dpi,
                                c.dpi, &untouched),
                  c.status)
            << "width " << c.width << " height " << c.height << " stride " << c.stride;
        EXPECT_EQ(untouched, reinterpret_cast<QmHandle>(std::uintptr_t(0x5A)));
        EXPECT_STRNE(QM_StatusText(c.status), QM_StatusText(QM_STATUS_OK));
    }
    EXPECT_EQ(QM_CreatePage(pixels.data(), 64, 8, 8, 1, 1, 0, 0, nullptr), QM_STATUS_NULL_ARGUMENT);
    // The last row may end the buffer although the stride reaches further.
    QmHandle h = nullptr;
    EXPECT_EQ(QM_CreatePage(pixels.data(), 18, 16, 3, 8, 1, 0, 0, &h), QM_STATUS_OK);
    QM_Free(h);
}

} // namespace
