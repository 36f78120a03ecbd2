// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "library/image/row_segments.h"

#include "library/image/anchor_lines.h"
#include "library/image/later_segments.h"
#include "library/image/run_table_memo.h"

#include <algorithm>
#include <optional>
#include <span>
#include <utility>
#include <vector>

namespace quadrel {

namespace {

// The black runs of rows first ... first + rows - 1, each row handed to
// `onRow(r, runs)` (r counted from `first`) as soon as it is encoded, while
// its runs are in the cache.
template <typename OnRow>
RunTable rowRunTable(const LaBitmap& bitmap, std::int32_t first, std::int32_t rows, OnRow&& onRow) {
    if (!bitmap.hasPixels()) return {};
    RunTable table(static_cast<std::size_t>(rows));
    RowRunRoom room;
    for (std::int32_t r = 0; r < rows; ++r) {
        std::vector<LaRun>& row = table[std::size_t(r)];
        appendRowRuns(bitmap.row(first + r), bitmap.width, bitmap.blackIsZero != 0, room, row);
        onRow(std::size_t(r), row);
    }
    return table;
}

} // namespace

void segmentRows(const LaBitmap& bitmap, std::int32_t minSeedLength, std::int32_t bridgingGap,
                 std::int32_t laterGap, SegmentTable& segments) {
    if (const std::optional<KeptSegments> kept =
            RunTableMemo::takeSegments(bitmap, RunAxis::kRows, minSeedLength, bridgingGap)) {
        unpackSegments(*kept, segments);
        return;
    }
    const std::int32_t rows = bitmap.hasPixels() ? bitmap.height : 0;
    segments.assign(std::size_t(rows), {});
    LaterSegments later(RunAxis::kRows, rows, minSeedLength, laterGap);
    // A row with more runs than words is cheaper to rule out from its bytes
    // than from its runs (a page of dots has no row with an anchor).
    const LongRunRows longRuns(bitmap, minSeedLength);
    const std::size_t words = (std::size_t(std::max(bitmap.width, 0)) + 63) / 64;
    const auto segmentRow = [&](std::size_t r, std::span<const LaRun> runs) {
        if (runs.size() > words && !longRuns.may(bitmap.row(std::int32_t(r)))) return;
        buildSegments(runs, minSeedLength, bridgingGap, segments[r]);
        if (!segments[r].empty()) later.add(runs, std::int32_t(r));
    };
    // A kept table is read where it is (row runs may be kept labelled); a
    // table built here is segmented row by row as it is built.
    if (const RunTable* kept = RunTableMemo::find(bitmap, RunAxis::kRows)) {
        for (std::size_t r = 0; r < kept->size() && r < segments.size(); ++r)
            segmentRow(r, (*kept)[r]);
    } else {
        RunTable built = rowRunTable(bitmap, 0, rows, segmentRow);
        RunTableMemo::keep(bitmap, RunAxis::kRows, std::move(built));
    }
    later.keepFor(bitmap);
}

RunTable buildRowRunTable(const LaBitmap& bitmap) {
    return buildRowRunTable(bitmap, 0, bitmap.height);
}

RunTable buildRowRunTable(const LaBitmap& bitmap, std::int32_t first, std::int32_t rows) {
    return rowRunTable(bitmap, first, rows, [](std::size_t, std::span<const LaRun>) {});
}

} // namespace quadrel
