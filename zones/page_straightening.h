// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Straightening a page by the skew angle the analysis measured (parameter
// LA_PARAM_SKEW_ANGLE, in hundredths of a degree), as both programs do before
// showing or outlining the page.
#pragma once

#include "imaging/dib_image.h"

#include <cstdint>

namespace zones {

// Rows the straightened page moves down so that the shear keeps its top on
// the page: -sign(a) * trunc(sin(-a/100 degrees) * width), never negative.
int StraighteningRowShift(std::int32_t skewHundredths, int pageWidth);

// Turns `page` back by the measured angle a: both shears by -a / 100 degrees
// (white fill, the page keeps its size), then every row moves down by
// StraighteningRowShift(a, width). Nothing changes for a = 0.
void StraightenPage(imaging::TDIB& page, std::int32_t skewHundredths);

} // namespace zones
