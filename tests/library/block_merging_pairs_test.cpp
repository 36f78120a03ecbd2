// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The merge stages look only at pairs of blocks near one another; they must
// merge exactly what a loop over every pair merges.
#include "library/functions/block_merging.h"
#include "library/image/union_find.h"
#include "tests/support/test_page.h"

#include <gtest/gtest.h>

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
