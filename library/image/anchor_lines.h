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

// The shortest run that the column flags for `minLength` never miss (at
// most minLength): they serve any search for runs at least this long.
inline std::int32_t shortestFlaggedColumnRun(std::int32_t minLength) {
    return 2 * ((minLength + 1) / 2) - 1;
}

} // namespace quadrel
