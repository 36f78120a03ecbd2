// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Words and first blocks of text block segmentation: the text elements of
// each line group are cut into words at gaps wide for the line's typical gap
// and height, then small words (punctuation, short words, stray marks) are
// attached to their nearest neighbour on the same rows.
#pragma once

#include "library/functions/block_box.h"
#include "library/image/grouping.h"

#include <cstdint>
#include <vector>

namespace quadrel {

// The largest gap between words of a line, from the smoothed modes of its
// element gaps and heights (computed in double, truncated toward zero).
std::int32_t wordThreshold(std::int32_t gapMode, std::int32_t heightMode);

// Cuts the kind-1 elements of `group` (left to right) into words, appends the
// word boxes to `words` and links each of those elements to its word. A group
// without a kind-1 element adds nothing.
void splitLineIntoWords(LaLineGroup& group, std::vector<LaBlockBox>& words);

// True for a word small enough to be attached to a neighbour.
bool isSmallWord(const LaBlockBox& word);

// Horizontal distance from word a to word b: 0 when their columns touch or overlap.
std::int64_t horizontalDistance(const LaBlockBox& a, const LaBlockBox& b);

// Joins every small word to the nearest word sharing some of its rows, when
// that word is closer than its own height. `lineStarts` holds the index of
// each line's first word (lines in order, each line's words contiguous).
// Marks `small`, sets every word's `label` to its block and returns the
// blocks, each the union of its words.
std::vector<LaBlockBox> attachSmallWords(std::vector<LaBlockBox>& words,
                                         const std::vector<std::size_t>& lineStarts);

} // namespace quadrel
