// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The filter of lines that can hold long runs never leaves out a line that
// has one, and does leave out lines of short runs.
#include "library/image/anchor_lines.h"
#include "tests/support/test_page.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using testsupport::TestPage;

// The longest black run of row (or column) `line`.
int longestRun(const TestPage& page, bool vertical, int line) {
    const int length = vertical ? page.height() : page.width();
    int longest = 0;
    int current = 0;
    for (int i = 0; i < length; ++i) {
        const bool black = vertical ? page.black(line, i) : page.black(i, line);
        current = black ? current + 1 : 0;
        longest = std::max(longest, current);
    }
    return longest;
}

// Random pages of horizontal and vertical strokes of random lengths.
TestPage strokePage(std::mt19937& random, int width, int height) {
    TestPage page(width, height);
    std::uniform_int_distribution<int> x(0, width - 1), y(0, height - 1), length(1, 160);
    for (int k = 0; k < 40; ++k) {
        page.fillRect(x(random), y(random), length(random), 1 + k % 3);
        page.fillRect(x(random), y(random), 1 + k % 2, length(random));
    }
    return page;
}

TEST(AnchorLinesTest, NeverLeavesOutALineWithALongRun) {
    std::mt19937 random(7);
    for (int trial = 0; trial < 12; ++trial) {
        const TestPage page = strokePage(random, 150 + 13 * trial, 140 + 7 * trial);
        for (int blackIsZero = 0; blackIsZero <= 1; ++blackIsZero) {
            const quadrel::LaBitmap bitmap = page.toBitmap(blackIsZero, trial % 2 == 1);
            for (int minLength : {16, 17, 31, 80, 101, 127, 150}) {
                for (bool vertical : {false, true}) {
                    const auto may = quadrel::linesWithLongRuns(bitmap, vertical, minLength);
                    const int lines = vertical ? page.width() : page.height();
                    ASSERT_EQ(may.size(), std::size_t(lines));
                    for (int line = 0; line < lines; ++line) {
                        if (longestRun(page, vertical, line) < minLength) continue;
                        EXPECT_EQ(may[std::size_t(line)], 1)
                            << "line " << line << " vertical " << vertical << " minimum "
                            << minLength << " trial " << trial;
                    }
                }
            }
        }
    }
}

// Minimums around every size of the aligned groups of bytes rows are first
// looked at in, runs at every offset within a word.
TEST(AnchorLinesTest, RunsOfExactlyTheMinimumAreFoundAtEveryOffset) {
    for (int minLength : {16, 22, 23, 30, 31, 62, 63, 80, 126, 127, 200})
        for (int offset = 0; offset < 72; ++offset) {
            TestPage page(300, 300);
            page.fillRect(offset, 5, minLength, 1);
            page.fillRect(7, offset, 1, minLength);
            const quadrel::LaBitmap bitmap = page.toBitmap(offset % 2);
            EXPECT_EQ(quadrel::linesWithLongRuns(bitmap, false, minLength)[5], 1)
                << minLength << " " << offset;
            EXPECT_EQ(quadrel::linesWithLongRuns(bitmap, true, minLength)[7], 1)
                << minLength << " " << offset;
        }
}

TEST(AnchorLinesTest, LeavesOutLinesOfShortRunsAndFiltersNothingBelowSixteen) {
    TestPage page(256, 256);
    for (int y = 0; y < 256; ++y)
        for (int x = (y % 2) * 2; x < 256; x += 4) page.fillRect(x, y, 2, 1); // a fine checker
    page.fillRect(0, 100, 256, 1);
    page.fillRect(50, 0, 1, 256);
    const quadrel::LaBitmap bitmap = page.toBitmap();
    const auto rows = quadrel::linesWithLongRuns(bitmap, false, 80);
    const auto columns = quadrel::linesWithLongRuns(bitmap, true, 80);
    ASSERT_EQ(rows.size(), 256u);
    ASSERT_EQ(columns.size(), 256u);
    for (int line = 0; line < 256; ++line) {
        EXPECT_EQ(rows[std::size_t(line)], line == 100 ? 1 : 0) << line;
        EXPECT_EQ(columns[std::size_t(line)], line == 50 ? 1 : 0) << line;
    }
    EXPECT_TRUE(quadrel::linesWithLongRuns(bitmap, false, 15).empty());
    EXPECT_TRUE(quadrel::linesWithLongRuns(quadrel::LaBitmap{}, true, 80).empty());
}

} // namespace
