// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "library/image/column_segments.h"

#include "library/image/bit_positions.h"
#include "library/image/segment_growth.h"

#include <algorithm>
#include <span>

namespace quadrel {

namespace {

constexpr std::uint64_t kAll = ~std::uint64_t(0);

// One column's bits read run by run; word(j) gives word j of the column.
template <class Word> class ColumnRuns {
  public:
    ColumnRuns(Word word, std::size_t words, std::int32_t height)
        : word_(word), words_(words), height_(height) {}

    // The run holding black row r.
    LaRun runAt(std::int32_t r) const { return {previous(r, kAll) + 1, next(r, kAll), 0}; }
    // The first run after row e (white), when there is one.
    bool runAfter(std::int32_t e, LaRun& run) const {
        const std::int32_t start = next(e, 0);
        if (start >= height_) return false;
        run = LaRun{start, next(start, kAll), 0};
        return true;
    }
    // The last run before row s (white, or the height), when there is one.
    bool runBefore(std::int32_t s, LaRun& run) const {
        const std::int32_t last = previous(s, 0);
        if (last < 0) return false;
        run = LaRun{previous(last, kAll) + 1, last + 1, 0};
        return true;
    }
    // The number of runs that start above row r; r no smaller than at the
    // last call, counted on from there.
    std::size_t runsAbove(std::int32_t r) const {
        std::size_t j = std::size_t(counted_) / 64;
        std::uint64_t before = j > 0 ? word_(j - 1) << 63 : 0;
        for (; 64 * std::int64_t(j) < r; ++j) {
            const std::uint64_t black = word_(j);
            std::uint64_t starts = black & ~((black >> 1) | before);
            starts &= kAll >> (counted_ - 64 * std::int64_t(j)); // from row counted_
            const std::int64_t rows = r - 64 * std::int64_t(j);
            if (rows < 64) starts &= ~(kAll >> rows); // up to row r
            runsAbove_ += std::size_t(bitCount(starts));
            counted_ = std::int32_t(std::min<std::int64_t>(r, 64 * std::int64_t(j + 1)));
            before = black << 63;
        }
        return runsAbove_;
    }

  private:
    // The first row from r on whose bit differs from `flip`'s (black for
    // flip 0, white for all ones); the height when there is none.
    std::int32_t next(std::int32_t r, std::uint64_t flip) const {
        std::size_t j = std::size_t(r) / 64;
        if (j >= words_) return height_;
        std::uint64_t w = (word_(j) ^ flip) & (kAll >> (r % 64));
        while (w == 0) {
            if (++j == words_) return height_;
            w = word_(j) ^ flip;
        }
        return std::min(height_, std::int32_t(64 * j) + __builtin_clzll(w));
    }
    // The last row before r whose bit differs from `flip`'s; -1 when none.
    std::int32_t previous(std::int32_t r, std::uint64_t flip) const {
        if (r <= 0) return -1;
        std::size_t j = std::size_t(r - 1) / 64;
        std::uint64_t w = (word_(j) ^ flip) & (kAll << (63 - (r - 1) % 64));
        while (w == 0) {
            if (j == 0) return -1;
            w = word_(--j) ^ flip;
        }
        return std::int32_t(64 * j) + 63 - __builtin_ctzll(w);
    }

    Word word_;
    std::size_t words_;
    std::int32_t height_;
    mutable std::int32_t counted_ = 0;  // runsAbove's rows so far
    mutable std::size_t runsAbove_ = 0; // runs starting above counted_
};

// The segment grown from `anchor` both ways, as buildSegments grows it.
// `stop` is the first run the rightward growth did not reach; false when the
// growth reached the last run.
template <class Runs>
bool growAround(const Runs& runs, const LaRun& anchor, std::int32_t gap, LaSegment& s,
                LaRun& stop) {
    s = anchorSegment(anchor, runs.runsAbove(anchor.start));
    std::int32_t top = anchor.start;
    growLeft(
        [&](LaRun& run) {
            if (!runs.runBefore(top, run)) return false;
            top = run.start;
            return true;
        },
        gap, s);
    std::int32_t bottom = anchor.end;
    const bool stopped = growRight(
        [&](LaRun& run) {
            if (!runs.runAfter(bottom, run)) return false;
            bottom = run.end;
            return true;
        },
        gap, s, stop);
    s.density = perMille(s.inkCount, s.span);
    return stopped;
}

// Appends the segments of one column, as buildSegments finds them in its
// run list. nextBlock(from, row) gives a row from `from` on inside an
// all-black block; every run of minSeedLength pixels or more holds such a
// row.
template <class Runs, class NextBlock>
void appendSegments(const Runs& runs, std::int32_t height, NextBlock&& nextBlock,
                    std::int32_t minSeedLength, std::int32_t bridgingGap,
                    std::vector<LaSegment>& segments) {
    // Rows above `from` were tried already, or passed over by a growth.
    std::int32_t from = 0;
    std::int32_t row = 0;
    while (from < height && nextBlock(from, row)) {
        const LaRun anchor = runs.runAt(row);
        from = anchor.end;
        if (anchor.end - anchor.start < minSeedLength) continue;
        LaSegment s;
        LaRun stop;
        from = growAround(runs, anchor, bridgingGap, s, stop) ? stop.start : height;
        segments.push_back(s);
    }
}

} // namespace

std::int32_t anchorBlock(std::int32_t minLength) {
    std::int32_t block = 1;
    while (block < 64 && 2 * (2 * block) - 1 <= minLength) block *= 2;
    return block;
}

void appendColumnSegments(const ColumnChanges& changes, std::int32_t x, std::int32_t minSeedLength,
                          std::int32_t bridgingGap, std::vector<LaSegment>& segments) {
    const std::span<const std::uint64_t> words = changes.bits(x);
    const auto word = [words](std::size_t j) { return words[j]; };
    const std::int32_t block = anchorBlock(minSeedLength);
    // Bit i of `all` is set when bits i ... i + block - 1 are; an aligned
    // block starts at a bit that is a multiple of the block.
    std::uint64_t starts = 0;
    for (std::int32_t b = 0; b < 64; b += block) starts |= std::uint64_t(1) << b;
    // The last row of the first all-black aligned block from row `from` on.
    const auto nextBlock = [&](std::int32_t from, std::int32_t& row) {
        std::uint64_t rowsLeft = kAll >> (from % 64);
        for (std::size_t j = std::size_t(from) / 64; j < words.size(); ++j, rowsLeft = kAll) {
            std::uint64_t all = words[j];
            for (std::int32_t shift = 1; shift < block && all; shift *= 2) all &= all >> shift;
            if (const std::uint64_t found = all & starts & rowsLeft) {
                row = std::int32_t(64 * j) + __builtin_clzll(found);
                return true;
            }
        }
        return false;
    };
    appendSegments(ColumnRuns(word, words.size(), changes.height()), changes.height(), nextBlock,
                   minSeedLength, bridgingGap, segments);
}

ColumnGroups::ColumnGroups(const LaBitmap& bitmap)
    : bitmap_(bitmap), words_((std::size_t(std::max(bitmap.height, 0)) + 63) / 64) {}

void ColumnGroups::turn(std::size_t j) {
    if (!turnTile(bitmap_, std::int32_t(64 * j), 64 * group_, tiles_[j])) tiles_[j].fill(0);
    turned_[j] = 1;
}

void ColumnGroups::appendSegments(const BlackColumnBlocks& blocks, std::int32_t x,
                                  std::int32_t minSeedLength, std::int32_t bridgingGap,
                                  std::vector<LaSegment>& segments) {
    if (blocks.empty()) return; // no block to find an anchor from
    if (group_ != x / 64) {
        group_ = x / 64;
        turned_.assign(words_, 0);
        tiles_.resize(words_);
    }
    const auto word = [this, k = std::size_t(x % 64)](std::size_t j) {
        if (!turned_[j]) turn(j);
        return tiles_[j][k];
    };
    const std::int32_t rows = blocks.blockRows();
    // The first row of the first block from row `from` on where x is black.
    const auto nextBlock = [&](std::int32_t from, std::int32_t& row) {
        for (std::size_t k = std::size_t((from + rows - 1) / rows); k < blocks.blocks(); ++k) {
            if (blocks.black(k, x)) {
                row = std::int32_t(k) * rows;
                return true;
            }
        }
        return false;
    };
    quadrel::appendSegments(ColumnRuns(word, words_, bitmap_.height), bitmap_.height, nextBlock,
                            minSeedLength, bridgingGap, segments);
}

} // namespace quadrel
