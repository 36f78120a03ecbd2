// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Turns a grey or colour page into a 1-bit page by a global Otsu threshold.
#pragma once

#include "imaging/dib_image.h"
#include "imaging/otsu.h"

namespace imaging {

// Grey level (0 black - 255 white) of every pixel of a page of any format,
// through its palette for palette formats.
GreyHistogram greyHistogram(const TDIB& page);

// A 1-bit page (palette black, white; same size and resolution) in which the
// pixels at or below the Otsu threshold of `page` are black.
TDIB binarized(const TDIB& page);

} // namespace imaging
