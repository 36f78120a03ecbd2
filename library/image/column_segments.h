// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The line finder's segments of one column read straight from the column's
// bits: the anchor runs are found from all-black blocks of rows, and only
// the runs a segment grows over are read. On a page of dots a column with an
// anchor holds thousands of runs, of which its segments reach a few dozen.
#pragma once

#include "library/image/anchor_lines.h"
#include "library/image/column_transitions.h"
#include "library/image/line_extraction.h"

#include <cstdint>
#include <vector>

namespace quadrel {

// The longest block (a power of two up to 64) that every black run of at
// least `minLength` pixels covers, aligned: runs of 2 * block - 1 pixels do.
std::int32_t anchorBlock(std::int32_t minLength);

// Appends to `segments` the segments buildSegments finds in the runs of
// column x, with the same arguments.
void appendColumnSegments(const ColumnChanges& changes, std::int32_t x, std::int32_t minSeedLength,
                          std::int32_t bridgingGap, std::vector<LaSegment>& segments);

// The same for a few columns of a large bitmap, read group by group (64
// columns) without turning the whole bitmap: a tile of the group is turned
// only when read (by a segment's runs, or to number the runs above an
// anchor). The anchor runs are found from the
// rows' all-black blocks (`blocks`, made with a minimum length no longer
// than minSeedLength, and not empty). Columns taken in increasing order
// turn each tile at most once.
class ColumnGroups {
  public:
    explicit ColumnGroups(const LaBitmap& bitmap);

    void appendSegments(const BlackColumnBlocks& blocks, std::int32_t x, std::int32_t minSeedLength,
                        std::int32_t bridgingGap, std::vector<LaSegment>& segments);

  private:
    // Turns tile j of the group.
    void turn(std::size_t j);

    const LaBitmap& bitmap_;
    std::size_t words_;
    std::int32_t group_ = -1;
    std::vector<Tile> tiles_;          // tile j of the group, once turned
    std::vector<std::uint8_t> turned_; // 1 once tile j is turned
};

} // namespace quadrel
