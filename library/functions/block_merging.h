// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Text block merging: blocks formed from words are joined into
// paragraph-sized blocks in two kinds of stage.
//
// The similarity merge joins blocks stacked above one another that overlap
// horizontally, hold text of similar height and stroke, are not kept apart by
// a ruled line, and are close given the line pitch measured around them. The
// overlap merge joins boxes that overlap substantially or are stacked with
// nearly the same horizontal extent.
//
// Every stage returns a new list whose boxes have only their extent set, and
// leaves in each input block's `label` the index of the new box that holds
// it. Stages throw std::bad_alloc when memory runs out.
#pragma once

#include "library/functions/block_box.h"
#include "library/image/bitmap.h"
#include "library/image/components.h"

#include <cstdint>
#include <span>
#include <vector>

namespace quadrel {

// A ruled line that blocks may not be merged across, in bitmap rows.
struct SeparatorLine {
    std::int32_t xMin = 0;
    std::int32_t yMin = 0;
    std::int32_t xMax = 0; // exclusive
    std::int32_t yMax = 0;
};

// Typical horizontal black-run length inside the block's rows (the bottom row
// is not read), from the byte-aligned column at or left of its left edge.
// `rowRuns`, when given, are the runs of every row of the bitmap, read
// instead of the pixels.
std::int32_t estimateStroke(const LaBlockBox& block, const LaBitmap& bitmap,
                            const RunTable* rowRuns = nullptr);

// Sets every block's `pitch`: the typical white gap between the block and the
// blocks stacked above and below it, within eight heights, capped at twice its height.
void estimatePitches(std::vector<LaBlockBox>& blocks);

// True when ruled line `line` crosses the columns blocks a and b share, in
// the rows between them (or the rows they share).
bool separates(const LaBlockBox& a, const LaBlockBox& b, const SeparatorLine& line);

// True when block b may join the earlier block a (stroke and pitch must be set).
bool similarBlocks(const LaBlockBox& a, const LaBlockBox& b,
                   std::span<const SeparatorLine> separators);

// True when boxes a and b overlap by more than a quarter of the smaller, or
// are stacked sharing a row with nearly the same horizontal extent.
bool boxesOverlap(const LaBlockBox& a, const LaBlockBox& b);

// Estimates pitch and stroke of every block, then joins every similar pair.
std::vector<LaBlockBox> mergeSimilarBlocks(std::vector<LaBlockBox>& blocks, const LaBitmap& bitmap,
                                           std::span<const SeparatorLine> separators,
                                           const RunTable* rowRuns = nullptr);

// Joins each box with the first later box it overlaps; boxes grow as they join.
std::vector<LaBlockBox> mergeOverlappingBlocks(std::vector<LaBlockBox>& blocks);

} // namespace quadrel
