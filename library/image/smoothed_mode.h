// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Typical value of a histogram: the bin with the best triangular-weighted
// score around it.
#pragma once

#include <cstdint>
#include <span>

namespace quadrel {

// For every bin i with h[i] != 0, score(i) = sum over j in
// [max(i - k, 0), min(i + k, n) - 1] of (k - |j - i|) * h[j], in floating point.
// Returns the lowest bin with the highest score, 0 when no score is above 0
// (also for an empty histogram or k = 0).
std::int32_t smoothedMode(std::span<const std::int32_t> histogram, std::int32_t halfWidth);

// A non-empty bin of a histogram and its count.
struct HistogramBin {
    std::int32_t bin = 0;
    std::int32_t count = 0;
};

// smoothedMode of the histogram of `size` bins whose non-empty bins are
// `bins` (in increasing order, each once, inside the histogram): for a
// histogram with few bins filled, without making it.
std::int32_t smoothedModeOfBins(std::span<const HistogramBin> bins, std::int64_t size,
                                std::int32_t halfWidth);

} // namespace quadrel
