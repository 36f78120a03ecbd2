// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "library/functions/block_strokes.h"

#include "library/functions/block_merging.h"
#include "library/image/run_search.h"
#include "library/image/smoothed_mode.h"

#include <algorithm>
#include <span>

namespace quadrel {

namespace {

// A block whose rows are being read: its window [left, right) (left on a
// byte boundary), the row after its last and its run lengths so far.
struct OpenBlock {
    std::size_t index = 0;
    std::int32_t left = 0;
    std::int32_t right = 0;
    std::int32_t endRow = 0;
    RowWindowCursor cursor;
    std::vector<std::int32_t> histogram;
};

// Adds the lengths of the runs of `row` inside every open block's window,
// the blocks taken in order of their left edges. Each block is looked for
// first where it was found on the row before, then the next block from the
// one before it.
void readRow(const std::vector<LaRun>& row, const std::vector<LaRun>* nextRow,
             std::vector<OpenBlock>& open) {
    const LaRun* from = row.data();
    const LaRun* const end = from + row.size();
    for (OpenBlock& b : open) {
        from = b.cursor.find(row, from, b.left, nextRow);
        for (const LaRun* run = from; run != end && run->start < b.right; ++run)
            ++b.histogram[std::size_t(std::min(run->end, b.right) - std::max(run->start, b.left))];
    }
}

} // namespace

void estimateStrokes(std::vector<LaBlockBox>& blocks, const LaBitmap& bitmap,
                     const RunTable* rowRuns) {
    const bool sweep = rowRuns && rowRuns->size() == std::size_t(bitmap.height);
    // The blocks with rows to read, by first row; the others are measured alone.
    std::vector<std::size_t> order;
    const auto firstRow = [&](std::size_t i) { return std::max(blocks[i].top, 0); };
    const auto endRow = [&](std::size_t i) { return std::min(blocks[i].bottom, bitmap.height); };
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const LaBlockBox& b = blocks[i];
        const std::int32_t left = b.left & ~7;
        if (sweep && b.right - left > 0 && left >= 0 && b.right <= bitmap.width &&
            bitmap.hasPixels() && firstRow(i) < endRow(i))
            order.push_back(i);
        else
            blocks[i].stroke = estimateStroke(b, bitmap, rowRuns);
    }
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return firstRow(a) < firstRow(b); });
    std::vector<OpenBlock> open; // by left edge
    std::size_t next = 0;
    for (std::int32_t r = 0; next < order.size() || !open.empty(); ++r) {
        if (open.empty()) r = std::max(r, firstRow(order[next]));
        for (; next < order.size() && firstRow(order[next]) <= r; ++next) {
            const LaBlockBox& b = blocks[order[next]];
            OpenBlock block{order[next], b.left & ~7, b.right, endRow(order[next]), {}, {}};
            block.histogram.assign(std::size_t(block.right - block.left) + 1, 0);
            const auto at = std::upper_bound(
                open.begin(), open.end(), block.left,
                [](std::int32_t left, const OpenBlock& o) { return left < o.left; });
            open.insert(at, std::move(block));
        }
        const std::size_t row = std::size_t(r);
        readRow((*rowRuns)[row], row + 1 < rowRuns->size() ? &(*rowRuns)[row + 1] : nullptr, open);
        std::erase_if(open, [&](const OpenBlock& b) {
            if (b.endRow > r + 1) return false;
            const std::int32_t w = b.right - b.left;
            blocks[b.index].stroke = smoothedMode(
                std::span<const std::int32_t>(b.histogram.data(), std::size_t(w)), w / 4);
            return true;
        });
    }
}

} // namespace quadrel
