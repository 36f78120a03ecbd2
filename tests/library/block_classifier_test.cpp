// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "library/functions/block_classifier.h"
#include "library/la_api.h"
#include "tests/support/test_page.h"

#include <gtest/gtest.h>

namespace {

using testsupport::TestPage;

std::int32_t classify(const TestPage& page, int blackIsZero = 1) {
    return quadrel::classifyBlock(page.toBitmap(blackIsZero));
}

quadrel::BlockFeatures measure(const TestPage& page, int blackIsZero = 1) {
    return quadrel::measureBlock(page.toBitmap(blackIsZero));
}

TEST(BlockClassifierTest, BlocksUnder40By40AreTextWhateverTheyHold) {
    TestPage small(39, 39);
    small.fillRect(0, 0, 39, 39);
    EXPECT_EQ(classify(small), LA_CONTENT_TEXT);
    TestPage taller(39, 40);
    taller.fillRect(0, 0, 39, 40);
    EXPECT_EQ(classify(taller), LA_CONTENT_PICTURE);
}

TEST(BlockClassifierTest, SolidAndNearlyEmptyImagesArePictures) {
    TestPage solid(100, 100);
    solid.fillRect(0, 0, 100, 100);
    for (int polarity : {0, 1}) {
        EXPECT_DOUBLE_EQ(measure(solid, polarity).ink, 10001.0 / 10002.0);
        EXPECT_EQ(classify(solid, polarity), LA_CONTENT_PICTURE);
    }
    TestPage dot(100, 100);
    dot.set(37, 61);
    for (int polarity : {0, 1}) {
        EXPECT_DOUBLE_EQ(measure(dot, polarity).ink, 2.0 / 10002.0);
        EXPECT_EQ(classify(dot, polarity), LA_CONTENT_PICTURE);
    }
}

// A 100 x 100 block with a 30 x 30 square (ink well inside the limits) and
// one row of single-pixel runs; `endsBlack` puts the last run at the edge.
TestPage busyRow(int runs, bool endsBlack) {
    TestPage page(100, 100);
    page.fillRect(10, 10, 30, 30);
    const int last = endsBlack ? 99 : 97;
    for (int k = 0; k < runs; ++k) page.set(last - 2 * k, 70);
    return page;
}

TEST(BlockClassifierTest, AVeryBusyRowMakesAPicture) {
    const TestPage fifty = busyRow(25, false); // 50 changes, 55 entries
    EXPECT_DOUBLE_EQ(measure(fifty).rowPeak, 0.51);
    EXPECT_EQ(classify(fifty), LA_CONTENT_PICTURE);
    const TestPage fortyFive = busyRow(23, true); // 45 changes and the edge, 50 entries
    EXPECT_DOUBLE_EQ(measure(fortyFive).rowPeak, 0.46);
    EXPECT_EQ(classify(fortyFive), LA_CONTENT_PICTURE);
    const TestPage forty = busyRow(20, false); // 45 entries
    EXPECT_DOUBLE_EQ(measure(forty).rowPeak, 0.41);
    EXPECT_EQ(classify(forty), LA_CONTENT_TEXT);
}

TEST(BlockClassifierTest, ARowStartingBlackSkipsItsEmptyFirstStretch) {
    TestPage page(40, 40);
    page.fillRect(0, 0, 1, 40);
    const quadrel::BlockFeatures f = measure(page);
    // Two runs per row (black [0, 1), white [1, 40)), not three.
    EXPECT_DOUBLE_EQ(f.rowRuns, 2.0 / 40.0);
    EXPECT_DOUBLE_EQ(f.meanWhiteRow, (1.0 + 39.0 * 40.0) / (1.0 + 40.0));
    EXPECT_DOUBLE_EQ(f.meanBlackRow, (1.0 + 40.0) / (1.0 + 40.0));
    // Columns: one black column of 40 (starting black), 39 white ones.
    EXPECT_DOUBLE_EQ(f.meanBlackCol, 41.0 / 2.0);
    EXPECT_DOUBLE_EQ(f.colRuns, (1.0 + 39.0) / 40.0 / 40.0);
}

TEST(BlockClassifierTest, TheColumnPeakLeavesOutColumnsNearTheBusiest) {
    // Column entry counts: 105 (busiest), 101 (within 5 of it) and 85.
    TestPage page(60, 250);
    for (int k = 0; k < 50; ++k) page.set(10, 1 + 2 * k);
    for (int k = 0; k < 48; ++k) page.set(20, 1 + 2 * k);
    for (int k = 0; k < 40; ++k) page.set(30, 1 + 2 * k);
    const quadrel::BlockFeatures f = measure(page);
    EXPECT_DOUBLE_EQ(f.colPeak, 80.0 / 250.0);
    // Column spread: |run count - mean| summed over columns, per row.
    const double mean = (101.0 + 97.0 + 81.0 + 57.0) / 60.0;
    const double spread = (101.0 - mean) + (97.0 - mean) + (81.0 - mean) + 57.0 * (mean - 1.0);
    EXPECT_NEAR(f.colSpread, spread / 250.0, 1e-12);
}

} // namespace
