// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "library/functions/block_member_runs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <vector>

namespace {

using quadrel::LaRun;
using quadrel::LaTextBlock;
using quadrel::RunTable;
using Visit = std::array<std::int32_t, 4>; // block, row, start, end

// Every run of the table read: the runs of a block's components cut to its box.
std::vector<Visit> everyRunRead(const RunTable& runs, const std::vector<LaTextBlock>& blocks,
                                const std::vector<std::int32_t>& blockOf) {
    std::vector<Visit> visits;
    for (std::size_t r = 0; r < runs.size(); ++r)
        for (const LaRun& run : runs[r]) {
            const std::int32_t t = blockOf[std::size_t(run.label)];
            if (t < 0) continue;
            const LaTextBlock& b = blocks[std::size_t(t)];
            const std::int32_t y = std::int32_t(r) - b.yMin;
            const std::int32_t start = std::max(run.start, b.xMin) - b.xMin;
            const std::int32_t end = std::min(run.end, b.xMax) - b.xMin;
            if (y < 0 || y > b.yMax - b.yMin || start >= end) continue;
            visits.push_back({t, y, start, end});
        }
    std::sort(visits.begin(), visits.end());
    return visits;
}

std::vector<Visit> memberRuns(const RunTable& runs, const std::vector<LaTextBlock>& blocks,
                              const std::vector<std::int32_t>& blockOf) {
    std::vector<Visit> visits;
    quadrel::forEachBlockMemberRun(
        runs, blocks, blockOf, [&](std::int32_t t, std::int32_t y, std::int32_t s, std::int32_t e) {
            visits.push_back({t, y, s, e});
        });
    std::sort(visits.begin(), visits.end());
    return visits;
}

// Rows of runs that never touch, labelled with random components.
RunTable randomRuns(std::mt19937& rng, int rows, int width, int components) {
    RunTable runs(static_cast<std::size_t>(rows));
    std::uniform_int_distribution<int> gap(1, 9), length(1, 12), label(0, components - 1);
    for (auto& row : runs)
        for (int x = gap(rng) - 1; x < width;) {
            const int end = std::min(width, x + length(rng));
            row.push_back(LaRun{x, end, label(rng)});
            x = end + gap(rng);
        }
    return runs;
}

// Boxes that may overlap, reach past the page, or be empty.
std::vector<LaTextBlock> randomBlocks(std::mt19937& rng, int count, int rows, int width) {
    std::uniform_int_distribution<int> x(-10, width + 10), y(-10, rows + 10), size(-3, 60);
    std::vector<LaTextBlock> blocks(static_cast<std::size_t>(count));
    for (LaTextBlock& b : blocks) {
        b.xMin = x(rng);
        b.yMin = y(rng);
        b.xMax = b.xMin + size(rng);
        b.yMax = b.yMin + size(rng);
    }
    return blocks;
}

TEST(BlockMemberRuns, SameRunsAsReadingEveryRun) {
    std::mt19937 rng(7);
    for (int round = 0; round < 200; ++round) {
        const int rows = 1 + int(rng() % 120), width = 1 + int(rng() % 300);
        const int components = 1 + int(rng() % 40), blockCount = int(rng() % 12);
        const RunTable runs = randomRuns(rng, rows, width, components);
        const std::vector<LaTextBlock> blocks = randomBlocks(rng, blockCount, rows, width);
        std::vector<std::int32_t> blockOf(std::size_t(components), -1);
        if (blockCount > 0)
            for (auto& t : blockOf) t = std::int32_t(rng() % std::uint32_t(blockCount + 1)) - 1;
        EXPECT_EQ(memberRuns(runs, blocks, blockOf), everyRunRead(runs, blocks, blockOf))
            << "round " << round;
    }
}

TEST(BlockMemberRuns, RunsOfAComponentOutsideItsBlockAreLeftOut) {
    // Component 0 belongs to block 0 but has a run beyond its right edge;
    // component 1 lies in the box but belongs to no block.
    const RunTable runs{{LaRun{2, 6, 0}, LaRun{8, 9, 1}, LaRun{12, 20, 0}}};
    const std::vector<LaTextBlock> blocks{LaTextBlock{4, 0, 14, 0, 0, 0}};
    const std::vector<Visit> expected{{0, 0, 0, 2}, {0, 0, 8, 10}};
    EXPECT_EQ(memberRuns(runs, blocks, {0, -1}), expected);
}

} // namespace
