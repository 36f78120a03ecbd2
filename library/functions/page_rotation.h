// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Rotation of a 1-bit page about its centre, a row at a time: each output row
// is a straight Bresenham walk through the input. At the small angles of a
// deskew the walk moves along input rows, changing row only now and then, so
// each stretch between two changes is copied as one block of bits and the cost
// follows the page's bytes rather than its pixels.
#pragma once

#include "library/image/bitmap.h"

#include <cstdint>

namespace quadrel {

// Degrees to radians, the factor used for every sine and cosine of an angle
// given in degrees (kept as is so that sizes and mappings come out the same
// everywhere).
inline constexpr double kDegreesToRadians = 0.01745329222222;

// Paints into `output`, which must already be allocated and all white, the
// input rotated by `angleDegrees` with the output centre on the input centre.
// Output point (x, y) samples input point
//   (trunc(x cos t + y sin t + ox), trunc(y cos t - x sin t + oy)).
// Along each output row the last step of the walk is not sampled, and samples
// outside the input read as white.
void rotatePageInto(const LaBitmap& input, LaBitmap& output, double angleDegrees);

} // namespace quadrel
