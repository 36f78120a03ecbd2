// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The stroke widths of many blocks read from a page's row runs in one pass
// down the rows. Looking each block's rows up on its own costs a search of
// every row per block, and on a page of dots the rows are long and seldom in
// cache; down the rows, the blocks sharing a row are read left to right,
// each found a few runs on from the one before.
#pragma once

#include "library/functions/block_box.h"
#include "library/image/bitmap.h"
#include "library/image/components.h"

#include <vector>

namespace quadrel {

// Sets every block's `stroke` to estimateStroke(block, bitmap, rowRuns).
void estimateStrokes(std::vector<LaBlockBox>& blocks, const LaBitmap& bitmap,
                     const RunTable* rowRuns);

} // namespace quadrel
