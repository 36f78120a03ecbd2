// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "library/image/smoothed_mode.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace quadrel {

namespace {

// Scores summed in floating point as defined, in increasing j, over the
// non-empty bins only: a zero count adds nothing to a sum, so the sums are
// the very same. Costs the number of non-empty bins within reach of each
// non-empty bin.
std::int32_t modeOverFilledBins(std::span<const HistogramBin> filled, std::int64_t n,
                                std::int64_t k) {
    double bestScore = 0.0;
    std::int32_t best = 0;
    std::size_t from = 0; // first filled bin not left of the window
    for (const HistogramBin& here : filled) {
        const std::int64_t i = here.bin;
        const std::int64_t first = std::max<std::int64_t>(i - k, 0);
        const std::int64_t last = std::min(i + k, n) - 1;
        while (filled[from].bin < first) ++from;
        double score = 0.0;
        for (std::size_t f = from; f < filled.size() && filled[f].bin <= last; ++f) {
            const std::int64_t j = filled[f].bin;
            const std::int64_t distance = j > i ? j - i : i - j;
            score += double(k - distance) * double(filled[f].count);
        }
        if (score > bestScore) {
            bestScore = score;
            best = std::int32_t(i);
        }
    }
    return best;
}

// Every product and partial sum of a score is an integer below k * sum |h|.
// Below 2^53 the floating-point sums are exact, so integer sums give the same
// scores; the prefix sums below stay far inside 64 bits too.
bool scoresAreExactIntegers(std::span<const std::int32_t> histogram, std::int64_t k) {
    double total = 0.0;
    for (std::int32_t h : histogram) total += std::fabs(double(h));
    const double n = double(histogram.size());
    return total * double(k) < 0x1p52 && total * (n + double(k)) < 0x1p60;
}

// The same scores from prefix sums of h[j] and j * h[j]: a constant cost per
// bin however wide the window.
std::int32_t modeByPrefixSums(std::span<const std::int32_t> histogram,
                              std::span<const HistogramBin> filled, std::int64_t k) {
    const std::int64_t n = std::int64_t(histogram.size());
    std::vector<std::int64_t> count(std::size_t(n) + 1, 0);
    std::vector<std::int64_t> moment(std::size_t(n) + 1, 0);
    for (std::int64_t j = 0; j < n; ++j) {
        count[std::size_t(j + 1)] = count[std::size_t(j)] + histogram[std::size_t(j)];
        moment[std::size_t(j + 1)] = moment[std::size_t(j)] + j * histogram[std::size_t(j)];
    }
    auto sum = [](const std::vector<std::int64_t>& prefix, std::int64_t from, std::int64_t to) {
        return prefix[std::size_t(to)] - prefix[std::size_t(from)]; // bins [from, to)
    };
    std::int64_t bestScore = 0;
    std::int32_t best = 0;
    for (const HistogramBin& here : filled) {
        const std::int64_t i = here.bin;
        // Weight k - (i - j) from the left up to i, k - (j - i) to the right;
        // bins at distance k or more weigh nothing.
        const std::int64_t first = std::max<std::int64_t>(i - k + 1, 0);
        const std::int64_t end = std::min(i + k, n);
        const std::int64_t score = (k - i) * sum(count, first, i + 1) + sum(moment, first, i + 1) +
                                   (k + i) * sum(count, i + 1, end) - sum(moment, i + 1, end);
        if (score > bestScore) {
            bestScore = score;
            best = std::int32_t(i);
        }
    }
    return best;
}

} // namespace

std::int32_t smoothedMode(std::span<const std::int32_t> histogram, std::int32_t halfWidth) {
    const std::int64_t k = halfWidth;
    if (histogram.empty() || k <= 0) return 0;
    std::vector<HistogramBin> filled;
    for (std::size_t j = 0; j < histogram.size(); ++j)
        if (histogram[j] != 0) filled.push_back({std::int32_t(j), histogram[j]});
    // Many filled bins within a wide window: prefix sums are cheaper.
    const std::int64_t m = std::int64_t(filled.size());
    const std::int64_t reach = std::min(m, 2 * k);
    if (m * reach > 8 * std::int64_t(histogram.size()) && scoresAreExactIntegers(histogram, k))
        return modeByPrefixSums(histogram, filled, k);
    return modeOverFilledBins(filled, std::int64_t(histogram.size()), k);
}

std::int32_t smoothedModeOfBins(std::span<const HistogramBin> bins, std::int64_t size,
                                std::int32_t halfWidth) {
    if (size <= 0 || halfWidth <= 0) return 0;
    return modeOverFilledBins(bins, size, halfWidth);
}

} // namespace quadrel
