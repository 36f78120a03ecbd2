// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// How the line finder grows a segment from its anchor run over the runs on
// either side. The runs come one at a time from a walk, so that runs held in
// a list and runs read straight from a column's bits grow alike.
#pragma once

#include "library/image/components.h"
#include "library/image/line_extraction.h"

#include <cstdint>

namespace quadrel {

inline std::int32_t perMille(std::int64_t part, std::int64_t whole) {
    return std::int32_t(part * 1000 / whole);
}

// A run may join a segment only while the segment stays denser than 850 per
// mille.
inline bool denseEnough(std::int64_t ink, std::int64_t span) {
    return ink * 1000 / span > 850;
}

// The segment of anchor run `anchor`, the run numbered `index` in its line,
// before any growth.
inline LaSegment anchorSegment(const LaRun& anchor, std::size_t index) {
    LaSegment s;
    s.start = anchor.start;
    s.end = anchor.end;
    s.inkCount = s.span = anchor.end - anchor.start;
    s.firstRun = std::int32_t(index);
    s.runEnd = std::int32_t(index) + 1;
    return s;
}

// Grows the segment leftwards over the runs `previous(run)` hands out, each
// further left than the last, until it returns false. A run refused for
// density does not stop the growth; the gap is always measured from the
// segment.
template <class Walk> void growLeft(Walk&& previous, std::int32_t gap, LaSegment& s) {
    LaRun run;
    while (previous(run)) {
        if (s.start - run.end >= gap) return;
        const std::int64_t ink = std::int64_t(s.inkCount) + (run.end - run.start);
        const std::int64_t span = std::int64_t(s.span) + (s.start - run.start);
        if (!denseEnough(ink, span)) continue;
        s.start = run.start;
        s.inkCount = std::int32_t(ink);
        s.span = std::int32_t(span);
        --s.firstRun;
    }
}

// The same rightwards. Returns true when it stopped at a run too far away,
// which is left in `run` (the next run to try as an anchor); false when the
// runs ran out.
template <class Walk> bool growRight(Walk&& next, std::int32_t gap, LaSegment& s, LaRun& run) {
    while (next(run)) {
        if (run.start - s.end >= gap) return true;
        const std::int64_t ink = std::int64_t(s.inkCount) + (run.end - run.start);
        const std::int64_t span = std::int64_t(s.span) + (run.end - s.end);
        if (!denseEnough(ink, span)) continue;
        s.end = run.end;
        s.inkCount = std::int32_t(ink);
        s.span = std::int32_t(span);
        ++s.runEnd;
    }
    return false;
}

} // namespace quadrel
