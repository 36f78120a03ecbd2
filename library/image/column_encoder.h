// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Transition list of one pixel column, read bit by bit from row 0 upwards.
#pragma once

#include "library/image/bitmap.h"

#include <cstdint>
#include <vector>

namespace quadrel {

// Writes 0, then every row r where pixel (x, r) differs from the current colour
// (starting white, flipping at each change), then `height` four times. With k
// changes the list has k + 5 entries; black runs are (t1, t2), (t3, t4), ...
// and a trailing unpaired change pairs with `height`. `out` is grown as
// needed. Returns the number of entries.
std::int32_t encodeColumn(const LaBitmap& bitmap, std::int32_t x, std::vector<std::int32_t>& out);

} // namespace quadrel
