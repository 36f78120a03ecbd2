// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Column segments found ahead, while the columns are read, for a later search
// of the same pixels with another gap (line removal after line detection),
// and kept for it in this thread's RunTableMemo.
#pragma once

#include "library/image/column_segments.h"
#include "library/image/column_transitions.h"
#include "library/image/line_extraction.h"
#include "library/image/run_table_memo.h"

#include <cstdint>

namespace quadrel {

// Gathers the segments column by column; a gap of 0 gathers nothing.
class LaterSegments {
  public:
    LaterSegments(std::int32_t columns, std::int32_t minSeedLength, std::int32_t gap)
        : kept_{columns, minSeedLength, gap, {}, {}} {}

    // The segments of column x, read from its bits: turned whole, or group
    // by group.
    void add(const ColumnChanges& changes, std::int32_t x);
    void add(ColumnGroups& groups, const BlackColumnBlocks& blocks, std::int32_t x);

    // Keeps what was gathered for a search of these pixels.
    void keepFor(const LaBitmap& bitmap);

  private:
    KeptColumnSegments kept_;
};

// Puts kept column segments back into a table, one list per column.
void unpackColumnSegments(const KeptColumnSegments& kept, SegmentTable& segments);

} // namespace quadrel
