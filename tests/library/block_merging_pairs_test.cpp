// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The merge stages look only at pairs of blocks near one another; they must
// merge exactly what a loop over every pair merges.
#include "library/functions/block_merging.h"
#include "library/image/smoothed_mode.h"
#include "library/image/union_find.h"
#include "tests/support/test_page.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

using quadrel::LaBlockBox;
using quadrel::SeparatorLine;

struct Lcg {
    std::uint32_t state;
    int next(int bound) {
        state = state * 1103515245u + 12345u;
        return int((state >> 16) % std::uint32_t(bound));
    }
};

// Words and lines of a page in rows and columns, with some tall, wide,
// overlapping and empty boxes among them.
std::vector<LaBlockBox> randomBlocks(std::uint32_t trial) {
    Lcg random{trial};
    std::vector<LaBlockBox> blocks;
    for (int k = 0; k < 300; ++k) {
        LaBlockBox b;
        if (random.next(30) == 0) { // an empty box
            blocks.push_back(b);
            continue;
        }
        const int column = random.next(4), row = random.next(60);
        const int height = random.next(8) == 0 ? 80 + random.next(200) : 12 + random.next(20);
        b.left = column * 300 + random.next(60);
        b.right = b.left + (random.next(10) == 0 ? 900 : 40 + random.next(250));
        b.top = row * 30 + random.next(12);
        b.bottom = b.top + height;
        blocks.push_back(b);
    }
    return blocks;
}

std::vector<std::int32_t> labels(const std::vector<LaBlockBox>& blocks) {
    std::vector<std::int32_t> out;
    for (const LaBlockBox& b : blocks) out.push_back(b.label);
    return out;
}

TEST(BlockMergingPairsTest, SimilarityMergeMatchesEveryPair) {
    const testsupport::TestPage page(1300, 1900);
    const quadrel::LaBitmap bitmap = page.toBitmap();
    const std::vector<SeparatorLine> lines{{0, 400, 1300, 402}, {300, 900, 700, 903}};
    for (std::uint32_t trial = 1; trial <= 30; ++trial) {
        std::vector<LaBlockBox> blocks = randomBlocks(trial);
        std::vector<LaBlockBox> expected = blocks;
        quadrel::mergeSimilarBlocks(blocks, bitmap, lines);
        // The same stages by hand, joining every similar pair.
        quadrel::estimatePitches(expected);
        quadrel::UnionFind sets(expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            expected[i].stroke = quadrel::estimateStroke(expected[i], bitmap);
            for (std::size_t j = 0; j < i; ++j)
                if (quadrel::similarBlocks(expected[j], expected[i], lines))
                    sets.join(std::int32_t(j), std::int32_t(i));
        }
        std::int32_t groups = 0;
        EXPECT_EQ(labels(blocks), sets.number(groups)) << "trial " << trial;
    }
}

// The pitch of block i from every other block, row by row: rows of stacked
// neighbours in its columns (bottom rows excluded) are black, and the white
// stretches after the first black one are counted, the last one running to
// the window's end.
std::int32_t plainPitch(const std::vector<LaBlockBox>& blocks, std::size_t i) {
    const LaBlockBox& b = blocks[i];
    const std::int64_t h = std::int64_t(b.bottom) - b.top;
    const std::int64_t lo = std::max<std::int64_t>(b.top - 8 * h, 0), hi = b.bottom + 8 * h;
    if (hi <= lo) return 0;
    std::vector<bool> black(std::size_t(hi - lo), false);
    for (std::size_t j = 0; j < blocks.size(); ++j) {
        const LaBlockBox& o = blocks[j];
        const bool stacked = o.bottom < b.top || o.top > b.bottom;
        const bool sharesColumns = o.left <= b.right && b.left <= o.right;
        if (j != i && !(stacked && sharesColumns)) continue;
        for (std::int64_t r = std::max<std::int64_t>(o.top, lo);
             r < std::min<std::int64_t>(o.bottom, hi); ++r)
            black[std::size_t(r - lo)] = true;
    }
    std::vector<std::int32_t> histogram(black.size() + 1, 0);
    std::int64_t r = 0;
    while (r < hi - lo && !black[std::size_t(r)]) ++r;
    while (r < hi - lo) {
        while (r < hi - lo && black[std::size_t(r)]) ++r;
        const std::int64_t from = r;
        while (r < hi - lo && !black[std::size_t(r)]) ++r;
        if (r == from) break;
        if (double(r - from) < 1.75 * double(h)) ++histogram[std::size_t(r - from)];
    }
    const std::int32_t mode =
        quadrel::smoothedMode(std::span<const std::int32_t>(histogram.data(), black.size()),
                              std::int32_t((hi - lo + 1) / 4));
    return std::int32_t(std::min<std::int64_t>(mode, 2 * h));
}

TEST(BlockMergingPairsTest, PitchesMatchALoopOverEveryBlock) {
    for (std::uint32_t trial = 1; trial <= 30; ++trial) {
        std::vector<LaBlockBox> blocks = randomBlocks(trial);
        // Copies of a box, and boxes whose columns or rows run backwards.
        std::vector<std::size_t> k;
        for (std::size_t i = 0; i < blocks.size(); ++i)
            if (blocks[i].left < blocks[i].right) k.push_back(i);
        blocks[k[0]] = blocks[k[1]] = blocks[k[2]];
        std::swap(blocks[k[3]].left, blocks[k[3]].right);
        std::swap(blocks[k[4]].top, blocks[k[4]].bottom);
        blocks[k[5]].left = blocks[k[5]].right + 1000;
        std::vector<LaBlockBox> expected = blocks;
        quadrel::estimatePitches(blocks);
        for (std::size_t i = 0; i < blocks.size(); ++i)
            EXPECT_EQ(blocks[i].pitch, plainPitch(expected, i))
                << "trial " << trial << " block " << i;
    }
}

TEST(BlockMergingPairsTest, OverlapMergeMatchesTheFirstOverlapOfEveryBox) {
    for (std::uint32_t trial = 1; trial <= 30; ++trial) {
        std::vector<LaBlockBox> blocks = randomBlocks(trial);
        const std::vector<LaBlockBox> merged = quadrel::mergeOverlappingBlocks(blocks);
        std::vector<LaBlockBox> grown;
        for (const LaBlockBox& b : blocks) grown.push_back(quadrel::boxOf(b));
        quadrel::UnionFind sets(grown.size());
        for (std::size_t i = 0; i + 1 < grown.size(); ++i)
            for (std::size_t j = i + 1; j < grown.size(); ++j) {
                if (!quadrel::boxesOverlap(grown[i], grown[j])) continue;
                sets.join(std::int32_t(i), std::int32_t(j));
                grown[i].add(grown[j]);
                grown[j] = grown[i];
                break;
            }
        std::int32_t groups = 0;
        EXPECT_EQ(labels(blocks), sets.number(groups)) << "trial " << trial;
        EXPECT_EQ(std::int32_t(merged.size()), groups);
    }
}

} // namespace
