// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The straightened page the zone table lies on, for users who want to see or
// process what the analysis saw (quadrel --deskewed).
#pragma once

#include "imaging/dib_image.h"
#include "zones/deskew_geometry.h"

#include <cstdint>
#include <vector>

namespace zones {

// A 1-bit page of the canvas size whose pixel p is the original pixel
// geometry.toOriginal(p), white where that lies outside the page; a copy of
// `page` when the geometry neither turns nor grows it. `page` must be 1-bit.
imaging::TDIB DeskewedPage(const imaging::TDIB& page, const DeskewGeometry& geometry);

// DeskewedPage(...) as the bytes of a Group 4 TIFF, for WriteOutput
// (output_file.h). Raises imaging::ImageError.
std::vector<std::uint8_t> DeskewedPageTiff(const imaging::TDIB& page,
                                           const DeskewGeometry& geometry);

} // namespace zones
