// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The rows where each pixel column changes colour, for every column of a
// bitmap at once. The bitmap is turned a quarter in 64 x 64 tiles (a white
// tile costs one test), after which a column is read 64 rows at a time like
// a row; the same lists read column by column (encodeColumn) cost a bit test
// per pixel.
#pragma once

#include "library/image/bit_instructions.h"
#include "library/image/bitmap.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace quadrel {

using Tile = std::array<std::uint64_t, 64>;

// Turns the 64 x 64 pixels from row r0, column c0 (both multiples of 64) a
// quarter: tile[k] becomes column c0 + k's rows r0 ... r0 + 63, row r0 in
// bit 63, 1 bits black, rows past the height white. False, the tile not
// written in full, when the pixels are all white.
bool turnTile(const LaBitmap& bitmap, std::int32_t r0, std::int32_t c0, Tile& tile);

// The bitmap with rows and columns exchanged, 1 bits black.
class ColumnChanges {
  public:
    // A bitmap without pixels has no columns. With `wanted` (one flag a
    // column) only the 64-column groups holding a wanted column are turned:
    // the others read white. Changes are read with BMI1 and POPCNT when
    // `bitInstructions` (the CPU must have them), else with portable code.
    explicit ColumnChanges(const LaBitmap& bitmap, std::span<const std::uint8_t> wanted = {},
                           bool bitInstructions = cpuHasBitInstructions());

    std::int32_t columns() const { return columns_; }
    std::int32_t height() const { return height_; }

    // Number of rows r where pixel (x, r) differs from (x, r - 1); row -1
    // counts as white.
    std::size_t count(std::int32_t x) const;
    // True when some aligned block of `block` rows (a power of two up to 64:
    // rows kb ... kb + block - 1) is all black in column x. A black run of
    // 2 * block - 1 rows or more always covers such a block.
    bool hasBlackBlock(std::int32_t x, std::int32_t block) const;
    // Writes those rows, increasing, to `out` (count(x) entries) and returns
    // the end; up to three entries past the end may be overwritten. Black
    // runs are (t1, t2), (t3, t4), ... and an unpaired last change runs to
    // the height, as in encodeColumn's list.
    std::int32_t* write(std::int32_t x, std::int32_t* out) const;
    // The words of column x, for readers of single runs: word j holds rows
    // 64j ... 64j + 63, row 64j in bit 63; rows past the height are white.
    std::span<const std::uint64_t> bits(std::int32_t x) const {
        return {column(x), wordsPerColumn_};
    }

  private:
    // Word j of the column's bits: rows 64j ... 64j + 63, row 64j in bit 63.
    const std::uint64_t* column(std::int32_t x) const {
        return words_.data() + std::size_t(x) * wordsPerColumn_;
    }
    std::int32_t columns_ = 0;
    std::int32_t height_ = 0;
    std::size_t wordsPerColumn_ = 0;
    std::uint64_t lastWordRows_ = 0; // the rows of a column's last word inside the height
    bool bitInstructions_ = false;
    std::vector<std::uint64_t> words_;
};

// Every column's change rows in one array.
struct ColumnTransitions {
    std::int32_t height = 0;
    std::vector<std::int32_t> rows; // every column's list, column 0 first
    std::vector<std::size_t> start; // column x: rows[start[x], start[x + 1])

    std::int32_t columns() const { return start.empty() ? 0 : std::int32_t(start.size() - 1); }
    std::span<const std::int32_t> of(std::int32_t x) const {
        return {rows.data() + start[std::size_t(x)],
                start[std::size_t(x) + 1] - start[std::size_t(x)]};
    }
};

// A bitmap without pixels gives no columns.
ColumnTransitions findColumnTransitions(const LaBitmap& bitmap);

} // namespace quadrel
