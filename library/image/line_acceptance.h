// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Which found lines are real ruling lines: thin, long for their thickness,
// and standing free of other ink (the isolation test), plus the segment walk
// the isolation test counts frame pixels with.
#pragma once

#include "library/image/bitmap.h"
#include "library/records.h"

#include <cstdint>
#include <span>
#include <vector>

namespace quadrel {

// How the length-to-thickness ratio (length + 1) * 100 / (thickness + 1) is
// compared with 1000: as a truncated integer quotient or as the real quotient.
enum class RatioMode { kInteger, kExact };

// True when the line (a finder record) has ink, is thinner than
// `maxThickness`, has a ratio above 1000 and passes the isolation test in the
// bitmap it was found in.
bool acceptLine(const LaRegionRecord& line, std::int32_t maxThickness, RatioMode mode,
                const LaBitmap& bitmap);

// Counts the black pixels of a frame two pixels outside the line's box
// (clamped to the bitmap). Away from the first and last rows the line is
// isolated when the count is below (height + width of the box) / 2; a frame on
// the first or last row must hold fewer than 3 * (x_max - x_min) / 2.
bool lineIsIsolated(const LaRegionRecord& line, const LaBitmap& bitmap);

// Walks from (x0, y0) towards (x1, y1) for max(|dx|, |dy|) Bresenham steps,
// the far end excluded, stopping early when the walk leaves the bitmap. Writes
// 0, every step at which the colour changes (starting white), then the number
// of steps taken four times. A zero-length walk writes nothing. `out` is grown
// as needed; returns the number of entries.
std::int32_t walkSegment(const LaBitmap& bitmap, std::int32_t x0, std::int32_t y0, std::int32_t x1,
                         std::int32_t y1, std::vector<std::int32_t>& out);

// Black pixels of a walk's transition list: the sum of (t2 - t1), (t4 - t3),
// ... up to the first pair whose entries are equal.
std::int64_t blackCountOfWalk(std::span<const std::int32_t> entries);

} // namespace quadrel
