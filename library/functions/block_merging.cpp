// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "library/functions/block_merging.h"

#include "library/functions/block_strokes.h"

#include "library/image/components.h"
#include "library/image/run_clipping.h"
#include "library/image/smoothed_mode.h"
#include "library/image/union_find.h"
#include "library/zone_grid.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace quadrel {

namespace {

constexpr double kTallerHeightRatio = 1.75;
constexpr std::int64_t kStrokeSimilarityPerMille = 700;
constexpr double kCloseGapPerStroke = 1.5;
constexpr std::int64_t kPitchWindowHeights = 8;
constexpr double kPitchGapPerHeight = 1.75;
constexpr std::int64_t kOverlapPerMille = 250;
constexpr double kStackedWidthShare = 0.95;

bool columnsOverlap(const LaBlockBox& a, const LaBlockBox& b) {
    return b.left <= a.right && a.left <= b.right;
}

bool rowsOverlap(const LaBlockBox& a, const LaBlockBox& b) {
    return !(b.top > a.bottom || a.top > b.bottom);
}

std::int64_t area(const LaBlockBox& box) {
    return (std::int64_t(box.bottom) - box.top + 1) * (std::int64_t(box.right) - box.left);
}

// The stretches [start, end) of [0, n) that the marked rows cover, in
// order: the marked ranges cut to [0, n), joined where they meet or touch.
std::vector<std::pair<std::int64_t, std::int64_t>>
occupiedStretches(std::vector<std::pair<std::int64_t, std::int64_t>>& marked, std::int64_t n) {
    std::vector<std::pair<std::int64_t, std::int64_t>> stretches;
    std::sort(marked.begin(), marked.end());
    for (const auto& [from, to] : marked) {
        const std::int64_t start = std::max<std::int64_t>(from, 0);
        const std::int64_t end = std::min(to, n);
        if (start >= end) continue;
        if (!stretches.empty() && start <= stretches.back().second)
            stretches.back().second = std::max(stretches.back().second, end);
        else
            stretches.emplace_back(start, end);
    }
    return stretches;
}

// `forEachNear(lo, hi, visit)` calls visit(o) for every block o that may
// reach into the rows [lo, hi) and the block's columns, and perhaps others,
// in any order: the exact test follows, and marking rows is order-free.
template <class ForEachNear>
std::int32_t estimatePitch(const std::vector<LaBlockBox>& blocks, std::size_t index,
                           ForEachNear&& forEachNear) {
    const LaBlockBox& b = blocks[index];
    const std::int64_t h = std::int64_t(b.bottom) - b.top;
    const std::int64_t lo = std::max<std::int64_t>(b.top - kPitchWindowHeights * h, 0);
    const std::int64_t hi = b.bottom + kPitchWindowHeights * h;
    const std::int64_t n = hi - lo;
    if (n <= 0) return 0;
    // Rows of the window [0, n) marked occupied, as ranges.
    std::vector<std::pair<std::int64_t, std::int64_t>> marked;
    // The block's own bottom row, and that of every neighbour, stays unmarked.
    marked.emplace_back(b.top - lo, b.bottom - lo);
    // Only blocks reaching into the window mark anything.
    forEachNear(lo, hi, [&](std::int32_t o) {
        const LaBlockBox& other = blocks[std::size_t(o)];
        if (std::size_t(o) == index || !columnsOverlap(other, b) || rowsOverlap(other, b)) return;
        marked.emplace_back(other.top - lo, other.bottom - lo);
    });
    // Histogram of the white stretches after the first occupied one, the last
    // running to the window's end; the stretch before it is not counted.
    const auto stretches = occupiedStretches(marked, n);
    std::vector<std::int32_t> lengths;
    for (std::size_t k = 0; k < stretches.size(); ++k) {
        const std::int64_t from = stretches[k].second;
        const std::int64_t to = k + 1 < stretches.size() ? stretches[k + 1].first : n;
        const std::int64_t length = to - from;
        if (length <= 0) break;
        if (double(length) < kPitchGapPerHeight * double(h))
            lengths.push_back(std::int32_t(length));
    }
    // The histogram over [0, n) has only these bins filled.
    std::sort(lengths.begin(), lengths.end());
    std::vector<HistogramBin> bins;
    for (const std::int32_t length : lengths) {
        if (bins.empty() || bins.back().bin != length) bins.push_back({length, 0});
        ++bins.back().count;
    }
    const std::int32_t mode = smoothedModeOfBins(bins, n, std::int32_t((n + 1) / 4));
    return std::int32_t(std::min<std::int64_t>(mode, 2 * h));
}

// Numbers the roots of `sets` in increasing order, labels every input block
// with its new index and returns the unions of the members' boxes.
std::vector<LaBlockBox> collectMerged(UnionFind& sets, std::vector<LaBlockBox>& blocks,
                                      const std::vector<LaBlockBox>& extents) {
    std::int32_t count = 0;
    const std::vector<std::int32_t> newIndex = sets.number(count);
    std::vector<LaBlockBox> merged(static_cast<std::size_t>(count));
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        blocks[i].label = newIndex[i];
        merged[std::size_t(newIndex[i])].add(extents[i]);
    }
    return merged;
}

// How far apart, from the upper block's bottom to the lower block's top, two
// blocks can be and still be similar: similarBlocks accepts a gap of at most
// the taller height, the mean pitch, or 1.5 strokes, and each of those is at
// most the larger of the two blocks' reaches.
std::int64_t similarityReach(const LaBlockBox& b) {
    return std::max({std::int64_t(b.bottom) - b.top + 1, std::int64_t(b.pitch),
                     2 * std::int64_t(b.stroke) + 2, std::int64_t(2)});
}

// Joins every pair of blocks similarBlocks accepts (earlier block first),
// testing only pairs that share columns within reach of each other: a pair
// is found from whichever of the two has the larger reach.
void joinSimilarPairs(const std::vector<LaBlockBox>& blocks,
                      std::span<const SeparatorLine> separators, UnionFind& sets) {
    std::vector<LaZone> tops, bottoms;
    std::vector<std::int32_t> reversed; // blocks whose columns run backwards
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const LaBlockBox& b = blocks[i];
        if (b.left > b.right) reversed.push_back(std::int32_t(i));
        tops.push_back(clampedZone(b.left, b.top, b.right, b.top));
        bottoms.push_back(clampedZone(b.left, b.bottom, b.right, b.bottom));
    }
    const ZoneGrid topGrid(tops), bottomGrid(bottoms);
    const auto test = [&](std::size_t i, std::size_t j) {
        if (i != j && similarBlocks(blocks[std::min(i, j)], blocks[std::max(i, j)], separators))
            sets.join(std::int32_t(i), std::int32_t(j));
    };
    std::vector<std::int32_t> found;
    for (std::size_t k = 0; k < blocks.size(); ++k) {
        const LaBlockBox& b = blocks[k];
        const std::int64_t reach = similarityReach(b);
        found.clear();
        // k as the upper block: the tops of later blocks near its bottom.
        topGrid.meeting(clampedZone(b.left, b.bottom - reach, b.right, b.bottom + reach), found);
        for (const std::int32_t j : found)
            if (std::size_t(j) > k) test(k, std::size_t(j));
        found.clear();
        // k as the lower block: the bottoms of earlier blocks near its top.
        bottomGrid.meeting(clampedZone(b.left, b.top - reach, b.right, b.top + reach), found);
        for (const std::int32_t j : found)
            if (std::size_t(j) < k) test(std::size_t(j), k);
    }
    for (const std::int32_t r : reversed)
        for (std::size_t j = 0; j < blocks.size(); ++j) test(std::size_t(r), j);
}

} // namespace

std::int32_t estimateStroke(const LaBlockBox& block, const LaBitmap& bitmap,
                            const RunTable* rowRuns) {
    const std::int32_t c0 = block.left & ~7;
    const std::int32_t w = block.right - c0;
    // Blocks come from the bitmap's own components; a box reaching outside
    // its columns has nothing to read.
    if (w <= 0 || c0 < 0 || block.right > bitmap.width || !bitmap.hasPixels()) return 0;
    std::vector<std::int32_t> histogram(std::size_t(w) + 1, 0);
    const std::int32_t firstRow = std::max(block.top, 0);
    const std::int32_t endRow = std::min(block.bottom, bitmap.height);
    if (rowRuns && rowRuns->size() == std::size_t(bitmap.height)) {
        // The window [c0, right) lies inside the rows: their runs cut to it
        // are the runs the pixels would give.
        for (std::int32_t r = firstRow; r < endRow; ++r)
            forEachClippedRun((*rowRuns)[std::size_t(r)], c0, block.right,
                              [&](std::int32_t start, std::int32_t end) {
                                  ++histogram[std::size_t(end - start)];
                              });
    } else {
        std::vector<std::int32_t> entries;
        const std::uint8_t white = bitmap.whiteByte();
        for (std::int32_t r = firstRow; r < endRow; ++r) {
            const std::int32_t e = encodeRow(bitmap.row(r) + (c0 >> 3), w, white, entries);
            if (e <= 5) continue;
            for (std::int32_t k = 0; k < (e - 4) / 2; ++k)
                ++histogram[std::size_t(entries[std::size_t(2 * k + 2)] -
                                        entries[std::size_t(2 * k + 1)])];
        }
    }
    return smoothedMode(std::span<const std::int32_t>(histogram.data(), std::size_t(w)), w / 4);
}

void estimatePitches(std::vector<LaBlockBox>& blocks) {
    // Only blocks inside a block's window of rows and its columns mark rows:
    // a grid of the boxes finds them. A box whose columns run backwards is in
    // no cell and is offered to every block; one whose rows run backwards
    // marks nothing.
    std::vector<LaZone> zones;
    std::vector<std::int32_t> reversed;
    zones.reserve(blocks.size());
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const LaBlockBox& b = blocks[i];
        zones.push_back(clampedZone(b.left, b.top, b.right, b.bottom));
        if (b.left > b.right && b.top < b.bottom) reversed.push_back(std::int32_t(i));
    }
    const ZoneGrid grid(zones);
    std::vector<std::int32_t> found;
    std::vector<std::int32_t> pitches(blocks.size());
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const LaBlockBox& b = blocks[i];
        pitches[i] = estimatePitch(blocks, i, [&](std::int64_t lo, std::int64_t hi, auto&& visit) {
            found.clear();
            grid.meeting(clampedZone(std::min(b.left, b.right), lo, std::max(b.left, b.right), hi),
                         found);
            for (const std::int32_t o : found) visit(o);
            for (const std::int32_t o : reversed) visit(o);
        });
    }
    for (std::size_t i = 0; i < blocks.size(); ++i) blocks[i].pitch = pitches[i];
}

bool separates(const LaBlockBox& a, const LaBlockBox& b, const SeparatorLine& line) {
    const std::int32_t left = std::max(a.left, b.left);
    const std::int32_t right = std::min(a.right, b.right);
    if (right <= left) return false;
    if (!(left <= std::int64_t(line.xMax) - 1 && line.xMin <= std::int64_t(right) - 1))
        return false;
    std::int32_t first, last;
    if (b.top > a.bottom) {
        first = a.bottom;
        last = b.top;
    } else if (a.top > b.bottom) {
        first = b.bottom;
        last = a.top;
    } else {
        first = std::max(a.top, b.top);
        last = std::min(a.bottom, b.bottom);
    }
    return line.yMin <= last && first <= line.yMax;
}

bool similarBlocks(const LaBlockBox& a, const LaBlockBox& b,
                   std::span<const SeparatorLine> separators) {
    if (!columnsOverlap(a, b)) return false;
    for (const SeparatorLine& line : separators)
        if (separates(a, b, line)) return false;
    const std::int64_t ha = std::int64_t(a.bottom) - a.top + 1;
    const std::int64_t hb = std::int64_t(b.bottom) - b.top + 1;
    const std::int64_t taller = std::max(ha, hb);
    if (double(taller) > kTallerHeightRatio * double(std::min(ha, hb))) return false;
    const std::int64_t s1 = std::min(a.stroke, b.stroke);
    const std::int64_t s2 = std::max(a.stroke, b.stroke);
    if ((s1 + 1) * 1000 / (s2 + 1) < kStrokeSimilarityPerMille) return false;
    const std::int64_t gap = std::llabs(std::int64_t(b.top) - a.bottom);
    const double perStroke = double(gap) / double(s2 <= 1 ? 1 : s2);
    if (perStroke < kCloseGapPerStroke) return true;
    return gap <= std::max(taller, (std::int64_t(a.pitch) + b.pitch) / 2);
}

bool boxesOverlap(const LaBlockBox& a, const LaBlockBox& b) {
    const std::int64_t ow = std::max<std::int64_t>(
        std::int64_t(std::min(a.right, b.right)) - std::max(a.left, b.left), 0);
    const std::int64_t oh = std::max<std::int64_t>(
        std::int64_t(std::min(a.bottom, b.bottom)) - std::max(a.top, b.top) + 1, 0);
    const std::int64_t shared = ow * oh;
    const std::int64_t smaller = area(a) < area(b) ? area(a) : area(b);
    // A box without area overlaps nothing by area.
    const std::int64_t perMille = smaller > 0 ? shared * 1000 / smaller : 0;
    if (perMille > kOverlapPerMille) return true;
    if (!columnsOverlap(a, b)) return false;
    const std::int64_t wider =
        std::max(std::int64_t(a.right) - a.left, std::int64_t(b.right) - b.left);
    if (wider <= 0) return false;
    const double share =
        double(std::int64_t(std::min(a.right, b.right)) - std::max(a.left, b.left)) / double(wider);
    return share > kStackedWidthShare && shared >= 1;
}

std::vector<LaBlockBox> mergeSimilarBlocks(std::vector<LaBlockBox>& blocks, const LaBitmap& bitmap,
                                           std::span<const SeparatorLine> separators,
                                           const RunTable* rowRuns) {
    estimatePitches(blocks);
    estimateStrokes(blocks, bitmap, rowRuns);
    for (std::size_t i = 0; i < blocks.size(); ++i) blocks[i].label = std::int32_t(i);
    UnionFind sets(blocks.size());
    joinSimilarPairs(blocks, separators, sets);
    return collectMerged(sets, blocks, blocks);
}

std::vector<LaBlockBox> mergeOverlappingBlocks(std::vector<LaBlockBox>& blocks) {
    std::vector<LaBlockBox> grown;
    grown.reserve(blocks.size());
    for (const LaBlockBox& b : blocks) grown.push_back(boxOf(b));
    const auto zoneOf = [](const LaBlockBox& b) {
        return LaZone{b.left, b.top, b.right, b.bottom, 0, 0};
    };
    std::vector<LaZone> zones;
    zones.reserve(grown.size());
    for (const LaBlockBox& b : grown) zones.push_back(zoneOf(b));
    // Overlapping boxes share a pixel, so the first later box that overlaps
    // is among those the grid finds; it follows every box as it grows.
    ZoneGrid grid(zones);
    std::vector<std::int32_t> found;
    UnionFind sets(blocks.size());
    for (std::size_t i = 0; i + 1 < grown.size(); ++i) {
        found.clear();
        grid.meeting(zoneOf(grown[i]), found);
        for (const std::int32_t k : found) {
            const std::size_t j = std::size_t(k);
            if (j <= i || !boxesOverlap(grown[i], grown[j])) continue;
            sets.join(std::int32_t(i), std::int32_t(j));
            LaBlockBox both = grown[i];
            both.add(grown[j]);
            grown[i] = both;
            grown[j] = both;
            grid.grow(j, zoneOf(both));
            break;
        }
    }
    return collectMerged(sets, blocks, grown);
}

} // namespace quadrel
