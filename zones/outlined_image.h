// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The outlined image: a reduced copy of the page with every shown zone
// outlined in its colour and labelled with its number, saved as a 24-bit RGB
// TIFF (LZW, one strip).
#pragma once

#include "imaging/dib_image.h"
#include "zones/zone_kinds.h"
#include "zones/zone_source.h"

#include <cstdint>
#include <filesystem>
#include <vector>

namespace zones {

// Whether each zone's index number is written beside its outline.
enum class ZoneLabels { Numbered, Left };

// Draws the zones on a reduced 24-bit copy of `page`; `page` is not changed.
// The copy is width div d by height div d pixels (nearest neighbour), at
// least 1 by 1, and its resolution is the page's divided by d (truncating), so
// that it prints at the page's size. Each
// zone's rectangle is divided by d (truncating); its outline (1 pixel, hollow)
// covers the columns left to right - 1 and the rows top to bottom - 1 of the
// divided rectangle, and its number is written with its top-left corner at
// ((left + right) div d, (top + bottom) div d) of the divided rectangle, the
// centre for d = 2, unless `labels` is Left. Zones of hidden kinds are left out.
//
// Needs a QGuiApplication (the zone numbers are drawn in the default font).
// Raises imaging::ImageError when the copy cannot be made and
// std::invalid_argument for d < 1.
imaging::TDIB outlinedImage(const imaging::TDIB& page, int divisor, const ZoneSource& zones,
                            const ShownZoneKinds& shown = {},
                            ZoneLabels labels = ZoneLabels::Numbered);

// outlinedImage(...) as the bytes of a 24-bit RGB TIFF file, LZW, one strip.
std::vector<std::uint8_t> outlinedImageTiff(const imaging::TDIB& page, int divisor,
                                            const ZoneSource& zones,
                                            const ShownZoneKinds& shown = {},
                                            ZoneLabels labels = ZoneLabels::Numbered);

// Writes outlinedImageTiff(...) through WriteOutput (output_file.h): "-" is
// standard output, and a regular file is never left half-written.
void WriteOutlinedImage(const imaging::TDIB& page, const std::filesystem::path& file, int divisor,
                        const ZoneSource& zones, const ShownZoneKinds& shown = {},
                        ZoneLabels labels = ZoneLabels::Numbered);

} // namespace zones
