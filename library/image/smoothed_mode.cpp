#include "library/image/smoothed_mode.h"

#include <algorithm>

namespace quadrel {

std::int32_t smoothedMode(std::span<const std::int32_t> histogram, std::int32_t halfWidth) {
    const std::int64_t n = std::int64_t(histogram.size());
    const std::int64_t k = halfWidth;
    if (n < 1 || k <= 0) return 0;
    double bestScore = 0.0;
    std::int32_t best = 0;
    for (std::int64_t i = 0; i < n; ++i) {
        if (histogram[std::size_t(i)] == 0) continue;
        double score = 0.0;
        const std::int64_t last = std::min(i + k, n) - 1;
        for (std::int64_t j = std::max<std::int64_t>(i - k, 0); j <= last; ++j) {
            const std::int64_t distance = j > i ? j - i : i - j;
            score += double(k - distance) * double(histogram[std::size_t(j)]);
        }
        if (score > bestScore) {
            bestScore = score;
            best = std::int32_t(i);
        }
    }
    return best;
}

} // namespace quadrel
