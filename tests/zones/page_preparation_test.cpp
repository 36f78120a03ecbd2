// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// What both programs do to a page around the analysis: refuse a page that is
// not black and white, and straighten a page by the measured skew.
#include "zones/page_refusal.h"
#include "zones/page_straightening.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

imaging::TDIB whitePage(int width, int height, imaging::PixelFormat format) {
    imaging::TDIB page;
    page.NewImage(width, height, format, 200, 200);
    page.Fill(0xFF); // white in every standard palette
    return page;
}

TEST(AnalysisRefusal, OnlyOneBitPagesAreTaken) {
    EXPECT_FALSE(zones::AnalysisRefusal(whitePage(16, 8, imaging::pf1bit)));
    for (const imaging::PixelFormat format : {imaging::pf4bit, imaging::pf8bit, imaging::pf24bit}) {
        const auto refusal = zones::AnalysisRefusal(whitePage(16, 8, format));
        ASSERT_TRUE(refusal);
        EXPECT_EQ(*refusal, "Images is not black and white: analysis is not possible. Please "
                            "threshold the image before to process it !");
    }
}

TEST(Straightening, RowShiftIsNeverNegative) {
    EXPECT_EQ(zones::StraighteningRowShift(0, 2000), 0);
    // sin(1.43 degrees) * 1000 = 24.95...: truncated to 24 either way round.
    EXPECT_EQ(zones::StraighteningRowShift(143, 1000), 24);
    EXPECT_EQ(zones::StraighteningRowShift(-143, 1000), 24);
    // The extremes of the measured range on a wide page.
    EXPECT_EQ(zones::StraighteningRowShift(-1500, 2480), 641);
    EXPECT_GE(zones::StraighteningRowShift(1480, 2480), 0);
}

TEST(Straightening, ALevelPageIsLeftAsItIs) {
    imaging::TDIB page = whitePage(64, 32, imaging::pf1bit);
    for (int x = 8; x < 56; ++x) page.SetPixel(x, 10, page.BlackIndex());
    const std::vector<std::uint8_t> before(page.Block().begin(), page.Block().end());
    zones::StraightenPage(page, 0);
    EXPECT_TRUE(std::ranges::equal(page.Block(), before));
}

TEST(Straightening, ASkewedPageKeepsItsSizeAndMovesDown) {
    imaging::TDIB page = whitePage(400, 200, imaging::pf1bit);
    // A black top row: after straightening by 1.43 degrees the rows above the
    // row shift are white fill.
    for (int x = 0; x < 400; ++x) page.SetPixel(x, 0, page.BlackIndex());
    zones::StraightenPage(page, 143);
    EXPECT_EQ(page.Width(), 400);
    EXPECT_EQ(page.Height(), 200);
    const int shift = zones::StraighteningRowShift(143, 400);
    ASSERT_GT(shift, 0);
    for (int y = 0; y < shift; ++y)
        for (int x = 0; x < 400; x += 50)
            EXPECT_EQ(page.GetPixel(x, y), page.WhiteIndex()) << x << "," << y;
}

} // namespace
