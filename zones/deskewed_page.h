// The straightened page the zone table lies on, for users who want to see or
// process what the analysis saw (quadrel --deskewed).
#pragma once

#include "imaging/dib_image.h"
#include "zones/deskew_geometry.h"

#include <filesystem>

namespace zones {

// A 1-bit page of the canvas size whose pixel p is the original pixel
// geometry.toOriginal(p), white where that lies outside the page; a copy of
// `page` when the geometry neither turns nor grows it. `page` must be 1-bit.
imaging::TDIB DeskewedPage(const imaging::TDIB& page, const DeskewGeometry& geometry);

// Writes DeskewedPage(...) as a Group 4 TIFF, replacing `file` only once the
// new one is complete. Raises imaging::ImageError or std::runtime_error.
void WriteDeskewedPage(const imaging::TDIB& page, const DeskewGeometry& geometry,
                       const std::filesystem::path& file);

} // namespace zones
