// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Finding where a window of columns starts on a row of runs when many
// windows are read down the rows. A long row's runs are seldom in cache and
// a search from scratch touches many of them; a window usually starts about
// as far along a row as it did on the row above, and windows read left to
// right each start a few runs on from the one before.
#pragma once

#include "library/image/components.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace quadrel {

// The first run of [lo, end) that ends after `left` (every run before `lo`
// ends at or before it), looked for in steps doubling from `near`.
inline const LaRun* firstEndingAfter(const LaRun* lo, const LaRun* near, const LaRun* end,
                                     std::int32_t left) {
    const auto endsBefore = [&](const LaRun& run) { return run.end <= left; };
    near = std::clamp(near, lo, end);
    std::ptrdiff_t step = 1;
    if (near != lo && !endsBefore(near[-1])) {
        // Back from `near`: `hi` is a run that ends after `left`.
        const LaRun* hi = near - 1;
        while (hi - lo > step && !endsBefore(hi[-step])) {
            hi -= step;
            step *= 2;
        }
        return std::partition_point(hi - std::min(step, hi - lo), hi, endsBefore);
    }
    while (end - near > step && endsBefore(near[step - 1])) {
        near += step;
        step *= 2;
    }
    return std::partition_point(near, near + std::min(step, end - near), endsBefore);
}

// A window read on row after row: where it started on the last row read.
// Windows on one row are read in order of their left edges.
class RowWindowCursor {
  public:
    // The first run of `row` that ends after `left`, found from the window
    // read before on this row (`from`, the row's start for the first); the
    // runs at the same place on `nextRow` (when there is one) are asked for.
    const LaRun* find(const std::vector<LaRun>& row, const LaRun* from, std::int32_t left,
                      const std::vector<LaRun>* nextRow) {
        const LaRun* const begin = row.data();
        // The row above may hold more runs than this one: the place found
        // there is cut to this row's end before it becomes a pointer.
        const LaRun* const near = begin + std::min(found_, row.size());
        from = firstEndingAfter(from, std::max(from, near), begin + row.size(), left);
        found_ = std::size_t(from - begin);
        if (nextRow && found_ < nextRow->size()) __builtin_prefetch(nextRow->data() + found_);
        return from;
    }

  private:
    std::size_t found_ = 0;
};

// forEachClippedRun (run_clipping.h) on rows read one after another, the
// window found with `cursor`.
template <class Visit>
void forEachClippedRun(const std::vector<LaRun>& row, const std::vector<LaRun>* nextRow,
                       RowWindowCursor& cursor, std::int32_t left, std::int32_t right,
                       Visit&& visit) {
    const LaRun* const end = row.data() + row.size();
    for (const LaRun* run = cursor.find(row, row.data(), left, nextRow);
         run != end && run->start < right; ++run)
        visit(std::max(run->start, left) - left, std::min(run->end, right) - left);
}

} // namespace quadrel
