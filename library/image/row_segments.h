// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The line finder's rows: their runs encoded (or found kept) and joined into
// segments, row by row while each row's runs are in the cache.
#pragma once

#include "library/image/bitmap.h"
#include "library/image/line_extraction.h"

#include <cstdint>

namespace quadrel {

// The segments of every row: those kept for this search, else the rows'
// runs where they are kept, else encoded here and kept for the next reader.
// With `laterGap` the segments a later search with that gap finds are kept
// for it: only rows with segments have any, whatever the gap.
void segmentRows(const LaBitmap& bitmap, std::int32_t minSeedLength, std::int32_t bridgingGap,
                 std::int32_t laterGap, SegmentTable& segments);

} // namespace quadrel
