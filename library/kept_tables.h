// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// How long the run tables of one analysis are kept. Line detection and line
// removal read the page's row and column runs, inverse text detection
// labels its row runs in place, text block segmentation takes them over,
// and the zone table reads the row runs text block segmentation kept; all
// of them read the current bitmap. Once a function has made a new current
// bitmap (line removal, skew detection), the tables of other pixels have no
// reader left: they are released at once instead of at the end of the
// analysis, so the next function does not hold them (3.5 MiB of the peak of
// a 300-dpi A4 page, with the copy of its pixels). Line removal, the last
// reader of column runs, releases them itself.
//
// Row runs of the current pixels stay even when no later step reads them.
// Tables are handed from step to step rather than released and built again:
// releasing 41 MiB before text segmentation once made glibc hand that memory
// back and text segmentation fault it in again, 45 % slower on an
// error-diffused page with glibc's default settings.
#pragma once

#include "library/image/bitmap.h"

#include <cstdint>

namespace quadrel {

// Called once the function with `code` has run, with the bitmap the next
// function copies (null when none).
void releaseReplacedTables(std::int32_t code, const LaBitmap* current);

} // namespace quadrel
