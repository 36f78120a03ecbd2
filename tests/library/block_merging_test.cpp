// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "library/functions/block_merging.h"
#include "tests/support/test_page.h"

#include <gtest/gtest.h>

namespace {

using quadrel::LaBlockBox;
using quadrel::SeparatorLine;
using testsupport::TestPage;

LaBlockBox box(int left, int right, int top, int bottom, int stroke = 3, int pitch = 0) {
    LaBlockBox b;
    b.left = left;
    b.right = right;
    b.top = top;
    b.bottom = bottom;
    b.stroke = stroke;
    b.pitch = pitch;
    return b;
}

bool similar(const LaBlockBox& a, const LaBlockBox& b) {
    return quadrel::similarBlocks(a, b, {});
}

TEST(SimilarityTest, CloseBlocksMergeFarOnesOnlyWithinThePitch) {
    EXPECT_TRUE(similar(box(0, 100, 0, 19), box(0, 100, 23, 42))); // 4 / 3 below 1.5
    // 30 > max(20, 24)
    EXPECT_FALSE(similar(box(0, 100, 0, 19, 3, 24), box(0, 100, 49, 68, 3, 24)));
    EXPECT_TRUE(similar(box(0, 100, 0, 19, 3, 24), box(0, 100, 43, 62, 3, 24)));
    // The halved pitch sum truncates: (24 + 25) / 2 = 24.
    EXPECT_FALSE(similar(box(0, 100, 0, 19, 3, 24), box(0, 100, 44, 63, 3, 25)));
}

TEST(SimilarityTest, AnEarlierBlockBelowMeasuresTheGapAcrossBothBlocks) {
    // |B.top - A.bottom| = 43 with 4 white rows between them, above any pitch.
    const LaBlockBox lower = box(0, 100, 24, 43, 3, 38);
    const LaBlockBox upper = box(0, 100, 0, 19, 3, 38);
    EXPECT_FALSE(similar(lower, upper));
    EXPECT_TRUE(similar(upper, lower));
}

TEST(SimilarityTest, HeightsAndStrokesMustBeAlike) {
    EXPECT_FALSE(similar(box(0, 100, 0, 19), box(0, 100, 20, 55))); // 36 > 35
    EXPECT_TRUE(similar(box(0, 100, 0, 19), box(0, 100, 20, 54)));
    EXPECT_FALSE(similar(box(0, 100, 0, 19, 2), box(0, 100, 20, 39, 4))); // 600 per mille
    EXPECT_TRUE(similar(box(0, 100, 0, 19, 3), box(0, 100, 20, 39, 4)));  // 800
    // Columns must meet; touching edges count.
    EXPECT_TRUE(similar(box(0, 100, 0, 19), box(100, 200, 20, 39)));
    EXPECT_FALSE(similar(box(0, 100, 0, 19), box(101, 200, 20, 39)));
}

TEST(SeparationTest, ARuleBetweenTwoBlocksKeepsThemApartInEitherOrder) {
    const LaBlockBox upper = box(0, 100, 0, 19);
    const LaBlockBox lower = box(50, 150, 26, 45);
    const SeparatorLine rule{60, 22, 200, 23};
    EXPECT_TRUE(quadrel::separates(upper, lower, rule));
    EXPECT_TRUE(quadrel::separates(lower, upper, rule));
    const std::vector<SeparatorLine> rules{rule};
    EXPECT_FALSE(quadrel::similarBlocks(upper, lower, rules));
    EXPECT_TRUE(similar(upper, lower));
    // Outside the shared columns [50, 100), or outside the rows between: no.
    EXPECT_FALSE(quadrel::separates(upper, lower, {100, 22, 200, 23}));
    EXPECT_TRUE(quadrel::separates(upper, lower, {99, 22, 200, 23}));
    EXPECT_FALSE(quadrel::separates(upper, lower, {0, 27, 200, 30}));
    EXPECT_TRUE(quadrel::separates(upper, lower, {0, 26, 200, 30}));
}

TEST(OverlapTest, ABoxInsideAnotherOrStackedOnASharedRowOverlaps) {
    EXPECT_TRUE(quadrel::boxesOverlap(box(0, 100, 0, 99), box(40, 50, 40, 49)));
    EXPECT_TRUE(quadrel::boxesOverlap(box(0, 100, 0, 19), box(0, 100, 19, 38)));
    EXPECT_FALSE(quadrel::boxesOverlap(box(0, 100, 0, 19), box(0, 100, 20, 39)));
    // Sharing one row but only 95 of 100 columns: 0.95 is not above 0.95.
    EXPECT_FALSE(quadrel::boxesOverlap(box(0, 100, 0, 19), box(5, 100, 19, 38)));
    EXPECT_TRUE(quadrel::boxesOverlap(box(0, 100, 0, 19), box(4, 100, 19, 38)));
}

TEST(OverlapMergeTest, EachBoxJoinsOnlyTheFirstLaterBoxItOverlaps) {
    // Box 0 lies inside box 2, but joins box 1 first; the grown box then
    // overlaps box 2 too little, so box 2 stays apart through both passes.
    std::vector<LaBlockBox> blocks{box(0, 10, 0, 9), box(5, 1000, 0, 9), box(0, 100, 0, 99)};
    std::vector<LaBlockBox> once = quadrel::mergeOverlappingBlocks(blocks);
    ASSERT_EQ(once.size(), 2u);
    EXPECT_EQ(blocks[0].label, 0);
    EXPECT_EQ(blocks[1].label, 0);
    EXPECT_EQ(blocks[2].label, 1);
    EXPECT_EQ(once[0].left, 0);
    EXPECT_EQ(once[0].right, 1000);
    EXPECT_EQ(quadrel::mergeOverlappingBlocks(once).size(), 2u);

    // A third box is still joined as the first match of a later, grown box.
    std::vector<LaBlockBox> chain{box(0, 100, 0, 99), box(10, 20, 10, 19), box(50, 150, 0, 99)};
    EXPECT_EQ(quadrel::mergeOverlappingBlocks(chain).size(), 1u);
    EXPECT_EQ(chain[2].label, 0);
}

TEST(PitchTest, ThePitchIsTheTypicalGapToStackedNeighbours) {
    std::vector<LaBlockBox> blocks{box(0, 100, 0, 19), box(0, 100, 30, 49), box(0, 100, 60, 79),
                                   box(500, 600, 30, 49)};
    quadrel::estimatePitches(blocks);
    // Ten white rows, plus the unmarked bottom row of the block above.
    EXPECT_EQ(blocks[1].pitch, 11);
    EXPECT_EQ(blocks[3].pitch, 0); // no neighbour in its columns
    std::vector<LaBlockBox> flat{box(0, 100, 5, 5), box(0, 100, 7, 7)};
    quadrel::estimatePitches(flat);
    EXPECT_EQ(flat[0].pitch, 0);
}

TEST(StrokeTest, TheStrokeIsTheTypicalRunAboveTheBottomRow) {
    TestPage page(64, 4);
    page.fillRect(9, 0, 3, 1);
    page.fillRect(20, 0, 3, 1);
    for (int k = 0; k < 5; ++k) page.fillRect(9 + 9 * k, 1, 7, 1);
    for (int polarity : {0, 1}) {
        const quadrel::LaBitmap bitmap = page.toBitmap(polarity);
        EXPECT_EQ(quadrel::estimateStroke(box(9, 60, 0, 1), bitmap), 3) << polarity;
        EXPECT_EQ(quadrel::estimateStroke(box(9, 60, 0, 2), bitmap), 7) << polarity;
    }
    // Reading starts at the byte boundary left of the box: the run at 2..5
    // counts although the box starts at column 6.
    TestPage left(64, 2);
    for (int k = 0; k < 3; ++k) left.fillRect(2 + 6 * k, 0, 4, 1);
    left.fillRect(30, 0, 2, 1);
    left.fillRect(40, 0, 2, 1);
    EXPECT_EQ(quadrel::estimateStroke(box(6, 60, 0, 1), left.toBitmap()), 4);
}

TEST(SimilarityMergeTest, StackedLinesJoinAndLabelsNameTheirNewBlock) {
    TestPage page(200, 100);
    for (int line = 0; line < 3; ++line)
        for (int k = 0; k < 10; ++k) page.fillRect(10 + 15 * k, 10 + 25 * line, 3, 15);
    std::vector<LaBlockBox> blocks{box(10, 160, 10, 24), box(10, 160, 35, 49), box(10, 160, 60, 74),
                                   box(170, 195, 10, 24)};
    const quadrel::LaBitmap bitmap = page.toBitmap();
    const std::vector<SeparatorLine> rule{{0, 52, 200, 52}};
    const std::vector<LaBlockBox> merged = quadrel::mergeSimilarBlocks(blocks, bitmap, rule);
    EXPECT_EQ(blocks[0].stroke, 3);
    ASSERT_EQ(merged.size(), 3u);
    EXPECT_EQ(blocks[0].label, 0);
    EXPECT_EQ(blocks[1].label, 0);
    EXPECT_EQ(blocks[2].label, 1);
    EXPECT_EQ(blocks[3].label, 2);
    EXPECT_EQ(merged[0].top, 10);
    EXPECT_EQ(merged[0].bottom, 49);
    EXPECT_EQ(merged[0].stroke, 0); // new boxes carry only their extent
}

} // namespace
