// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Skew measurement: the centres of character-sized components vote, in a
// distance-by-direction accumulator, for the straight lines they lie on; the
// direction with the strongest line gives the angle of the text lines.
#pragma once

#include "library/image/bitmap.h"
#include "library/image/components.h"

#include <cstdint>
#include <vector>

namespace quadrel {

// Rows of the page that the measurement reads.
struct SkewBand {
    std::int32_t first = 0;
    std::int32_t rows = 0;
};

// The band of (at most) 3500 rows with the most colour changes, counted on
// every second row; the first such band on a tie.
SkewBand chooseSkewBand(const LaBitmap& page);

// True when a component of width w (xEnd - xMin) and height h (rows) votes:
// one side within 6 to 79 pixels and the shape not more elongated than 3 : 2.
bool isSkewVoter(std::int32_t w, std::int32_t h);

// Direction (0 to 149, direction a being 75 + 0.2 a degrees from the x axis)
// of the counter with the most votes, the last one on a tie; -1 when no
// component voted. Component rows are those of the band (counted from its
// first row); centres are taken relative to the centre of the whole page.
std::int32_t strongestDirection(const std::vector<LaComponentBox>& components,
                                std::int32_t pageWidth, std::int32_t pageHeight);

// Measures the skew angle in degrees as the context stores it: text lines
// rising with the row number give a negative angle; level lines measure 0, and
// the range is -14.8 to +15.0 (directions 149 to 0). Status 0, 1 (memory) or
// the status of the component extraction (4 for a band without black); the
// angle is 0 on failure.
std::int32_t measureSkew(const LaBitmap& page, double& skewAngle);

struct PageSize {
    std::int32_t width = 0;
    std::int32_t height = 0;
};

// Size of the page rotated by `angleDegrees`, rounded up.
PageSize deskewedSize(std::int32_t width, std::int32_t height, double angleDegrees);

} // namespace quadrel
