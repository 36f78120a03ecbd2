// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The runs of a page's components that fall in the text blocks holding them,
// cut to each block's box. On a page of dots most runs belong to no block:
// only the runs under some block's columns are read, row by row down the
// blocks, instead of every run of the page (see run_search.h).
#pragma once

#include "library/image/components.h"
#include "library/image/run_search.h"
#include "library/records.h"

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <span>
#include <vector>

namespace quadrel {

// Calls visit(t, y, start, end) for every run of `runs` whose component c has
// blockOf[c] == t >= 0 and that meets block t's box, cut to the box and
// counted from its corner (y from yMin, start and end from xMin). The order
// of the calls is not defined.
template <class Visit>
void forEachBlockMemberRun(const RunTable& runs, std::span<const LaTextBlock> blocks,
                           std::span<const std::int32_t> blockOf, Visit&& visit) {
    // The blocks in order of their first row; a block is open on the rows of
    // its box, and the open blocks are read in order of their left edges.
    std::vector<std::int32_t> byTop(blocks.size());
    std::iota(byTop.begin(), byTop.end(), 0);
    std::stable_sort(byTop.begin(), byTop.end(), [&](std::int32_t a, std::int32_t b) {
        return blocks[std::size_t(a)].yMin < blocks[std::size_t(b)].yMin;
    });
    struct Open {
        std::int32_t block;
        RowWindowCursor cursor;
    };
    std::vector<Open> open;
    std::size_t next = 0;
    const std::int64_t rows = std::int64_t(runs.size());
    for (std::int64_t r = 0; r < rows && (next < byTop.size() || !open.empty()); ++r) {
        for (; next < byTop.size() && blocks[std::size_t(byTop[next])].yMin <= r; ++next) {
            const std::int32_t left = blocks[std::size_t(byTop[next])].xMin;
            const auto at = std::upper_bound(open.begin(), open.end(), left,
                                             [&](std::int32_t x, const Open& o) {
                                                 return x < blocks[std::size_t(o.block)].xMin;
                                             });
            open.insert(at, Open{byTop[next], {}});
        }
        std::erase_if(open, [&](const Open& o) { return blocks[std::size_t(o.block)].yMax < r; });
        const std::vector<LaRun>& row = runs[std::size_t(r)];
        const std::vector<LaRun>* nextRow = r + 1 < rows ? &runs[std::size_t(r + 1)] : nullptr;
        const LaRun* from = row.data();
        const LaRun* const rowEnd = from + row.size();
        for (Open& o : open) {
            const std::int32_t t = o.block;
            const LaTextBlock& b = blocks[std::size_t(t)];
            from = o.cursor.find(row, from, b.xMin, nextRow);
            for (const LaRun* run = from; run != rowEnd && run->start < b.xMax; ++run) {
                if (blockOf[std::size_t(run->label)] != t) continue;
                const std::int32_t start = std::max(run->start, b.xMin) - b.xMin;
                const std::int32_t end = std::min(run->end, b.xMax) - b.xMin;
                if (start < end) visit(t, std::int32_t(r) - b.yMin, start, end);
            }
        }
    }
}

} // namespace quadrel
