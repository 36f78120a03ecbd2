// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The black runs of a row as a window [left, right) of it shows them: a
// crop of the window, encoded, has exactly these runs, since the runs of a
// row never touch one another.
#pragma once

#include "library/image/components.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace quadrel {

// Calls visit(start, end) for every run of `row` (left to right, none
// touching) that reaches into [left, right), cut to the window and counted
// from its left edge.
template <class Visit>
void forEachClippedRun(const std::vector<LaRun>& row, std::int64_t left, std::int64_t right,
                       Visit&& visit) {
    auto run =
        std::partition_point(row.begin(), row.end(), [&](const LaRun& r) { return r.end <= left; });
    for (; run != row.end() && run->start < right; ++run)
        visit(std::int32_t(std::max<std::int64_t>(run->start, left) - left),
              std::int32_t(std::min<std::int64_t>(run->end, right) - left));
}

} // namespace quadrel
