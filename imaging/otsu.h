// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Global threshold of a grey page by Otsu's method: the grey level that
// splits the histogram into the two classes with the largest between-class
// variance.
#pragma once

#include <array>
#include <cstdint>

namespace imaging {

using GreyHistogram = std::array<std::uint64_t, 256>;

// Levels 0 to the returned value are black, the rest white. The lowest level
// wins a tie. A histogram with a single occupied level (or none) has no split;
// it gets the middle level 127, so a plain dark page stays dark and a plain
// light page stays light.
int otsuThreshold(const GreyHistogram& histogram);

} // namespace imaging
