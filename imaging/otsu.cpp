// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "imaging/otsu.h"

namespace imaging {

int otsuThreshold(const GreyHistogram& histogram) {
    double total = 0, weightedTotal = 0;
    for (int level = 0; level < 256; ++level) {
        total += double(histogram[level]);
        weightedTotal += double(level) * double(histogram[level]);
    }
    int best = 127;
    double bestVariance = 0;
    double dark = 0, weightedDark = 0;
    for (int level = 0; level < 255; ++level) {
        dark += double(histogram[level]);
        weightedDark += double(level) * double(histogram[level]);
        const double light = total - dark;
        if (dark == 0 || light == 0) continue;
        const double meanGap = weightedDark / dark - (weightedTotal - weightedDark) / light;
        // Between-class variance up to the constant factor 1 / total^2.
        const double variance = dark * light * meanGap * meanGap;
        if (variance > bestVariance) {
            bestVariance = variance;
            best = level;
        }
    }
    return best;
}

} // namespace imaging
