// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The line finder: black runs of every row (horizontal lines) or of every
// column (vertical lines) are joined into dense segments around long anchor
// runs, segments of neighbouring rows (columns) are linked into lines, and
// every line is measured into a LaRegionRecord. The bitmap is never changed.
//
// Rows and columns are the bitmap's own (row 0 is the first stored row).
#pragma once

#include "library/image/bitmap.h"
#include "library/image/components.h"
#include "library/records.h"

#include <cstdint>
#include <span>
#include <vector>

namespace quadrel {

enum class LineOrientation { kHorizontal, kVertical };

// The joined runs of one row (column) around one anchor run. Pixels are along
// the row (column): [start, end).
struct LaSegment {
    std::int32_t firstRun = 0; // index of the first run taken in (informational)
    std::int32_t runEnd = 0;   // one past the last run taken in (informational)
    std::int32_t start = 0;
    std::int32_t end = 0;
    std::int32_t density = 0; // inkCount * 1000 / span, per mille
    std::int32_t lineId = 0;  // 0-based number of the line the segment belongs to
    std::int32_t inkCount = 0;
    std::int32_t span = 0;
    std::int32_t reserved = 0;
};

// One list of segments per row (column), in the order of their anchor runs.
using SegmentTable = std::vector<std::vector<LaSegment>>;

// Everything the finder produces: the line records (line k is lines[k]) and
// the segment table whose lineId fields name those lines.
struct FoundLines {
    LaList<LaRegionRecord> lines;
    SegmentTable segments;
};

// Finds the lines of `bitmap` along `orientation`. A segment needs an anchor
// run of at least `minSeedLength` pixels; gaps of fewer than `bridgingGap`
// white pixels may be bridged. For vertical lines the record's box is in image
// axes (x_min, x_max the first and last column; y_max one past the last row)
// while `length` and `thickness` keep their meaning along and across the line.
// The run table is taken from, and left in, this thread's RunTableMemo when
// there is one. When `laterGap` is not 0, the segments a later search of the
// same pixels along the same axis with the same minSeedLength and gap
// `laterGap` finds are kept there for it (for columns read here, in place of
// the column runs): its lines are then not read again. Status 0, or 1 when
// memory runs out (then `found` is empty).
std::int32_t findLines(const LaBitmap& bitmap, LineOrientation orientation,
                       std::int32_t minSeedLength, std::int32_t bridgingGap, FoundLines& found,
                       std::int32_t laterGap = 0);

// The black runs of every row (appendRowRuns; defined with the row search).
RunTable buildRowRunTable(const LaBitmap& bitmap);
// The same for the `rows` rows from row `first` on (table row 0 is `first`).
RunTable buildRowRunTable(const LaBitmap& bitmap, std::int32_t first, std::int32_t rows);

// The black runs of every column in increasing row order.
RunTable buildColumnRunTable(const LaBitmap& bitmap);

// Joins the runs of one row (column) into segments around anchor runs,
// appending them to `segments` with lineId 0.
void buildSegments(std::span<const LaRun> runs, std::int32_t minSeedLength,
                   std::int32_t bridgingGap, std::vector<LaSegment>& segments);

// Links the segments of neighbouring rows (columns) into lines: segments
// overlap when previous.end >= current.start and previous.start <= current.end
// (a diagonal touch is enough). Sets every lineId to its line's number, lines
// numbered by first row, then left to right; returns the number of lines.
std::int32_t linkSegments(SegmentTable& segments);

} // namespace quadrel
