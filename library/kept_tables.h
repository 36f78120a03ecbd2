// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// How long the run tables of one analysis are kept: until the last step that
// reads them has run. Line detection and line removal read the page's row
// and column runs, inverse text detection its row runs, and the zone table
// the row runs text block segmentation kept; nothing else reads them.
#pragma once

#include "library/image/bitmap.h"
#include "library/pipe.h"

#include <cstdint>

namespace quadrel {

// Called once the pipe's function at index `done` has run, with the bitmap
// the next function copies (null when none): releases the tables of pages
// other than the current one, and the tables of an axis that no later step
// reads.
void releaseUnreadTables(const LaPipe& pipe, std::int32_t done, const LaBitmap* current);

} // namespace quadrel
