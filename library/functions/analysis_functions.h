// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The six analysis functions that may stand in a pipe. Each works on its own
// copy of the current page, in the bitmap's own row numbers (row 0 is the
// first stored row), and returns a status; what it leaves in its output is
// kept by the context whatever the status.
#pragma once

#include "library/image/bitmap.h"
#include "library/records.h"

#include <cstdint>

namespace quadrel {

// Code 1: measures the skew angle (degrees) and makes a deskewed copy.
std::int32_t detectSkew(const LaBitmap& input, LaBitmap& output, double* angle);

// Code 2: ruling lines, tables, table columns and cells.
std::int32_t detectLinesAndTables(const LaBitmap& input, LaList<LaRegionRecord>& output,
                                  std::int32_t minSeedLength, std::int32_t maxThickness,
                                  std::int32_t directionMask, std::int32_t spare);

// Code 4: a copy of the page with its ruling lines painted white.
std::int32_t removeLines(const LaBitmap& input, LaBitmap& output, std::int32_t minSeedLength,
                         std::int32_t unusedParameter203, std::int32_t maxThickness,
                         std::int32_t directionMask, std::int32_t spare);

// Code 8: white-on-black text regions.
std::int32_t detectInverseText(const LaBitmap& input, LaList<LaRegionRecord>& output,
                               std::int32_t minBandWidth, std::int32_t unusedParameter301);

// Code 16: components of tall elements, reported as pictures.
std::int32_t detectPictures(const LaBitmap& input, std::int32_t groupingSize,
                            LaList<LaPictureRecord>& output);

// Code 32: text blocks (content 6) and picture blocks (content 5). `lines` is
// the code-2 list in page rows, or null.
std::int32_t segmentTextBlocks(const LaBitmap& input, const LaList<LaRegionRecord>* lines,
                               LaList<LaTextBlock>& output, std::int32_t spare);

} // namespace quadrel
