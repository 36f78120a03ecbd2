// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Column (row) segments found ahead, while the columns (rows) are read, for
// a later search of the same pixels with another gap (line removal after
// line detection), and kept for it in this thread's RunTableMemo.
#pragma once

#include "library/image/column_segments.h"
#include "library/image/column_transitions.h"
#include "library/image/line_extraction.h"
#include "library/image/run_table_memo.h"

#include <cstdint>
#include <span>

namespace quadrel {

// Gathers the segments line by line; a gap of 0 gathers nothing.
class LaterSegments {
  public:
    LaterSegments(RunAxis axis, std::int32_t lines, std::int32_t minSeedLength, std::int32_t gap)
        : axis_(axis), kept_{lines, minSeedLength, gap, {}, {}} {}

    // The segments of column x, read from its bits: turned whole, or group
    // by group.
    void add(const ColumnChanges& changes, std::int32_t x);
    void add(ColumnGroups& groups, const BlackColumnBlocks& blocks, std::int32_t x);
    // The segments of the runs of line `line`.
    void add(std::span<const LaRun> runs, std::int32_t line);

    // Keeps what was gathered for a search of these pixels.
    void keepFor(const LaBitmap& bitmap);

  private:
    RunAxis axis_;
    KeptSegments kept_;
};

// Puts kept segments back into a table, one list per column (row).
void unpackSegments(const KeptSegments& kept, SegmentTable& segments);

} // namespace quadrel
