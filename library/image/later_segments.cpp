// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "library/image/later_segments.h"

#include "library/image/column_segments.h"

#include <utility>

namespace quadrel {

void LaterSegments::add(const ColumnChanges& changes, std::int32_t x) {
    if (kept_.bridgingGap <= 0) return;
    appendColumnSegments(changes, x, kept_.minSeedLength, kept_.bridgingGap, kept_.segments);
    kept_.lineOf.resize(kept_.segments.size(), x);
}

void LaterSegments::add(ColumnGroups& groups, const BlackColumnBlocks& blocks, std::int32_t x) {
    if (kept_.bridgingGap <= 0) return;
    groups.appendSegments(blocks, x, kept_.minSeedLength, kept_.bridgingGap, kept_.segments);
    kept_.lineOf.resize(kept_.segments.size(), x);
}

void LaterSegments::add(std::span<const LaRun> runs, std::int32_t line) {
    if (kept_.bridgingGap <= 0) return;
    buildSegments(runs, kept_.minSeedLength, kept_.bridgingGap, kept_.segments);
    kept_.lineOf.resize(kept_.segments.size(), line);
}

void LaterSegments::keepFor(const LaBitmap& bitmap) {
    if (kept_.bridgingGap > 0) RunTableMemo::keepSegments(bitmap, axis_, std::move(kept_));
}

void unpackSegments(const KeptSegments& kept, SegmentTable& segments) {
    segments.assign(std::size_t(kept.lines), {});
    for (std::size_t k = 0; k < kept.segments.size(); ++k)
        segments[std::size_t(kept.lineOf[k])].push_back(kept.segments[k]);
}

} // namespace quadrel
