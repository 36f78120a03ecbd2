// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The linear-time scoring of smoothedMode against the definition: every bin's
// triangular-weighted sum in floating point, bin by bin.
#include "library/image/smoothed_mode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace {

std::int32_t modeByDefinition(const std::vector<std::int32_t>& h, std::int64_t k) {
    const std::int64_t n = std::int64_t(h.size());
    if (n < 1 || k <= 0) return 0;
    double bestScore = 0.0;
    std::int32_t best = 0;
    for (std::int64_t i = 0; i < n; ++i) {
        if (h[std::size_t(i)] == 0) continue;
        double score = 0.0;
        for (std::int64_t j = std::max<std::int64_t>(i - k, 0); j <= std::min(i + k, n) - 1; ++j)
            score += double(k - std::abs(j - i)) * double(h[std::size_t(j)]);
        if (score > bestScore) {
            bestScore = score;
            best = std::int32_t(i);
        }
    }
    return best;
}

TEST(SmoothedModeScoresTest, MatchesTheDefinitionOnRandomHistograms) {
    std::mt19937 random(21);
    for (int trial = 0; trial < 20000; ++trial) {
        std::vector<std::int32_t> h(std::size_t(random() % 60));
        const int style = int(random() % 3);
        for (auto& v : h) {
            // Sparse, dense, and few large counts (ties are common in all three).
            if (style == 0) v = random() % 5 == 0 ? int(random() % 4) : 0;
            if (style == 1) v = int(random() % 50);
            if (style == 2) v = random() % 9 == 0 ? int(random() % 100000) : 0;
        }
        const std::int32_t k = int(random() % 70) - 2;
        ASSERT_EQ(quadrel::smoothedMode(h, k), modeByDefinition(h, k))
            << "size " << h.size() << ", k " << k;
    }
}

TEST(SmoothedModeScoresTest, NonEmptyBinsAloneGiveTheSameMode) {
    std::mt19937 random(22);
    for (int trial = 0; trial < 5000; ++trial) {
        std::vector<std::int32_t> h(std::size_t(random() % 200));
        for (auto& v : h) v = random() % 7 == 0 ? int(random() % 30) + 1 : 0;
        std::vector<quadrel::HistogramBin> bins;
        for (std::size_t j = 0; j < h.size(); ++j)
            if (h[j] != 0) bins.push_back({std::int32_t(j), h[j]});
        const std::int32_t k = int(random() % 120) - 2;
        ASSERT_EQ(quadrel::smoothedModeOfBins(bins, std::int64_t(h.size()), k),
                  modeByDefinition(h, k))
            << "size " << h.size() << ", k " << k;
    }
}

TEST(SmoothedModeScoresTest, HugeCountsStillGiveTheDefinedMode) {
    // Scores past 2^53 are no longer exact integers in floating point.
    std::vector<std::int32_t> h(4000, 0);
    h[10] = 2147483647;
    h[11] = 2147483646;
    h[3000] = 2147483647;
    EXPECT_EQ(quadrel::smoothedMode(h, 1900000), modeByDefinition(h, 1900000));
    EXPECT_EQ(quadrel::smoothedMode(h, 3), modeByDefinition(h, 3));
}

TEST(SmoothedModeScoresTest, NegativeCountsFollowTheDefinition) {
    const std::vector<std::int32_t> h{3, -5, 4, 0, -1, 7, 2};
    for (std::int32_t k = 0; k < 9; ++k)
        EXPECT_EQ(quadrel::smoothedMode(h, k), modeByDefinition(h, k));
}

} // namespace
