// Turns a grey or colour page into a 1-bit page by a global Otsu threshold.
#pragma once

#include "cli/otsu.h"
#include "imaging/dibunit.h"

namespace quadrel_cli {

// Grey level (0 black - 255 white) of every pixel of a page of any format,
// through its palette for palette formats.
GreyHistogram greyHistogram(const imaging::TDIB& page);

// A 1-bit page (palette black, white; same size and resolution) in which the
// pixels at or below the Otsu threshold of `page` are black.
imaging::TDIB binarized(const imaging::TDIB& page);

} // namespace quadrel_cli
