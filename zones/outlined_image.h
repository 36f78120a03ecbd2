// The outlined image: a reduced copy of the page with every shown zone
// outlined in its colour and labelled with its number, saved as a 24-bit RGB
// TIFF (LZW, one strip).
#pragma once

#include "imaging/dib_image.h"
#include "zones/zone_kinds.h"
#include "zones/zone_source.h"

#include <filesystem>

namespace zones {

// Draws the zones on a reduced 24-bit copy of `page`; `page` is not changed.
// The copy is width div d by height div d pixels (nearest neighbour), at
// least 1 by 1. Each
// zone's rectangle is divided by d (truncating); its outline (1 pixel, hollow)
// covers the columns left to right - 1 and the rows top to bottom - 1 of the
// divided rectangle, and its number is written with its top-left corner at
// ((left + right) div d, (top + bottom) div d) of the divided rectangle, the
// centre for d = 2. Zones of hidden kinds are left out.
//
// Needs a QGuiApplication (the zone numbers are drawn in the default font).
// Raises imaging::ImageError when the copy cannot be made and
// std::invalid_argument for d < 1.
imaging::TDIB outlinedImage(const imaging::TDIB& page, int divisor, const ZoneSource& zones,
                            const ShownZoneKinds& shown = {});

// Saves outlinedImage(...) to `file` as a 24-bit RGB TIFF, LZW, one strip.
// The file is written under a temporary name in its folder and renamed once
// complete, so a failure never leaves a half-written file.
void WriteOutlinedImage(const imaging::TDIB& page, const std::filesystem::path& file, int divisor,
                        const ZoneSource& zones, const ShownZoneKinds& shown = {});

} // namespace zones
