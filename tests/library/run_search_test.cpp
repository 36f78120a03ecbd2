// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "library/image/run_search.h"

#include "library/image/run_clipping.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using quadrel::LaRun;

std::vector<LaRun> randomRow(std::mt19937& random, int count) {
    std::vector<LaRun> row;
    int x = int(random() % 4);
    for (int k = 0; k < count; ++k) {
        const int end = x + 1 + int(random() % 9);
        row.push_back(LaRun{x, end, 0});
        x = end + 1 + int(random() % 9);
    }
    return row;
}

const LaRun* plainSearch(const std::vector<LaRun>& row, std::int32_t left) {
    auto it =
        std::partition_point(row.begin(), row.end(), [&](const LaRun& r) { return r.end <= left; });
    return row.data() + (it - row.begin());
}

TEST(RunSearchTest, FindsTheFirstRunEndingAfterTheLeftEdgeFromAnyStart) {
    std::mt19937 random(71);
    for (int trial = 0; trial < 3000; ++trial) {
        const std::vector<LaRun> row = randomRow(random, int(random() % 70));
        const std::int32_t left = std::int32_t(random() % 700) - 10;
        const LaRun* expected = plainSearch(row, left);
        // Any `lo` at or before the answer, `near` anywhere (even past the row).
        const std::size_t upTo = std::size_t(expected - row.data());
        const LaRun* lo = row.data() + random() % (upTo + 1);
        const LaRun* near = row.data() + random() % (row.size() + 3);
        EXPECT_EQ(quadrel::firstEndingAfter(lo, near, row.data() + row.size(), left), expected)
            << "trial " << trial;
    }
}

TEST(RunSearchTest, CursorFollowsWindowsDownRowsOfDifferentLengths) {
    std::mt19937 random(72);
    std::vector<std::vector<LaRun>> rows;
    for (int r = 0; r < 200; ++r) rows.push_back(randomRow(random, int(random() % 120)));
    quadrel::RowWindowCursor first, second;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const std::vector<LaRun>* next = r + 1 < rows.size() ? &rows[r + 1] : nullptr;
        const std::int32_t a = std::int32_t(random() % 500), b = a + std::int32_t(random() % 80);
        const LaRun* atA = first.find(rows[r], rows[r].data(), a, next);
        EXPECT_EQ(atA, plainSearch(rows[r], a)) << r;
        EXPECT_EQ(second.find(rows[r], atA, b, next), plainSearch(rows[r], b)) << r;
    }
}

// A cursor that found a window far along a long row meets an empty row (no
// storage at all) and then a short one: the place carried down must not be
// applied to rows that do not reach it.
TEST(RunSearchTest, CursorCarriedOntoEmptyAndShorterRows) {
    std::mt19937 random(74);
    const std::vector<std::vector<LaRun>> rows{
        randomRow(random, 100), {}, randomRow(random, 3), randomRow(random, 100)};
    quadrel::RowWindowCursor cursor;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const std::int32_t left = 400;
        EXPECT_EQ(cursor.find(rows[r], rows[r].data(), left, nullptr), plainSearch(rows[r], left))
            << r;
    }
}

TEST(RunSearchTest, ClippedRunsDownTheRowsAsEachRowSearchedAlone) {
    std::mt19937 random(73);
    using Run = std::pair<std::int32_t, std::int32_t>;
    for (int trial = 0; trial < 50; ++trial) {
        std::vector<std::vector<LaRun>> rows;
        for (int r = 0; r < 40; ++r) rows.push_back(randomRow(random, int(random() % 60)));
        const std::int32_t left = std::int32_t(random() % 400);
        const std::int32_t right = left + std::int32_t(random() % 150);
        quadrel::RowWindowCursor cursor;
        for (std::size_t r = 0; r < rows.size(); ++r) {
            std::vector<Run> alone, down;
            quadrel::forEachClippedRun(rows[r], left, right, [&](std::int32_t s, std::int32_t e) {
                alone.emplace_back(s, e);
            });
            const std::vector<LaRun>* next = r + 1 < rows.size() ? &rows[r + 1] : nullptr;
            quadrel::forEachClippedRun(
                rows[r], next, cursor, left, right,
                [&](std::int32_t s, std::int32_t e) { down.emplace_back(s, e); });
            EXPECT_EQ(down, alone) << "trial " << trial << ", row " << r;
        }
    }
}

} // namespace
