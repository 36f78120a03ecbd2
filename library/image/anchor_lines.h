// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The rows (columns) of a bitmap that can hold a black run of some length,
// found from the pixels without encoding a run. A run of at least
// 2 * block - 1 pixels covers a whole aligned block of `block` pixels, so a
// line in which no such block is all black needs no search for long runs.
#pragma once

#include "library/image/bitmap.h"

#include <cstdint>
#include <vector>

namespace quadrel {

// One flag per row (vertical false) or column (vertical true): 0 when the
// line has no black run of `minLength` pixels or more, 1 when it may have
// one. Empty when every line may (a short minimum, or no pixels).
std::vector<std::uint8_t> linesWithLongRuns(const LaBitmap& bitmap, bool vertical,
                                            std::int32_t minLength);

// Tells whether a row may hold a black run of `minLength` pixels or more:
// only when it has an all-black block of B = (minLength + 1) / 2 / 8 whole
// bytes, blocks counted from the row's first byte. Every row may for a
// minimum too short to filter, or no pixels.
class LongRunRows {
  public:
    LongRunRows(const LaBitmap& bitmap, std::int32_t minLength);

    bool filters() const { return blockBytes_ > 0; }
    bool may(const std::uint8_t* row) const;

  private:
    bool hasBlackGroup(const std::uint8_t* row) const;

    std::int32_t blockBytes_ = 0;
    std::int32_t blocks_ = 0;
    // The lowest and highest bits of the aligned groups of bytes of a word
    // one of which every long run covers.
    std::uint64_t groupLow_ = 0;
    std::uint64_t groupHigh_ = 0;
    std::size_t rowBytes_ = 0;
    std::uint64_t toBlack_ = 0;
    std::uint8_t black_ = 0;
};

// The columns' all-black blocks of B = (minLength + 1) / 2 rows: block k is
// rows kB ... kB + B - 1. A run of 2B - 1 pixels or more covers a whole
// block. Empty for a minimum too short to filter, or no pixels.
class BlackColumnBlocks {
  public:
    BlackColumnBlocks(const LaBitmap& bitmap, std::int32_t minLength);

    bool empty() const { return rows_ == 0; }
    std::int32_t blockRows() const { return rows_; }
    std::size_t blocks() const { return blocks_; }
    // True when column x is all black in the block.
    bool black(std::size_t block, std::int32_t x) const {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(all_.data() + block * words_);
        return (bytes[x / 8] >> (7 - x % 8)) & 1;
    }
    // linesWithLongRuns' column flags: 1 for a column black in some block.
    std::vector<std::uint8_t> columnFlags() const;

  private:
    std::int32_t rows_ = 0;
    std::int32_t columns_ = 0;
    std::size_t blocks_ = 0;
    std::size_t words_ = 0;          // words of 64 columns a block
    std::vector<std::uint64_t> all_; // block after block, bytes as in a row
};

// The shortest run that the column flags for `minLength` never miss (at
// most minLength): they serve any search for runs at least this long.
inline std::int32_t shortestFlaggedColumnRun(std::int32_t minLength) {
    return 2 * ((minLength + 1) / 2) - 1;
}

} // namespace quadrel
