// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Pages of the formats read without Qt: TIFF, PNG and netpbm (PBM, PGM,
// PPM, PAM), told apart by their first bytes.
#pragma once

#include "imaging/dib_image.h"
#include "imaging/tiff_io.h"

namespace imaging {

class ImageStream;

// Pages of the image at the stream's position (a TIFF's directories, a
// netpbm file's images, 1 for PNG); the position is restored. Raises
// ImageError: "BMP images are not supported", "GIF ...", "JPEG ...",
// "Unknown image format", or the format reader's own error.
int PageCount(ImageStream& stream);

// Loads page `page` (from 0) with LoadTiff, LoadPng or LoadPnm and returns
// the TIFF compression code (tcAuto for the other formats). `ccitt` applies
// to TIFF pages only. Refuses the formats PageCount refuses, and a page
// beyond the first of a PNG; on error `image` is left as it was.
TiffCompression LoadPage(TDIB& image, ImageStream& stream, int page,
                         CcittPhotometric ccitt = CcittPhotometric::FaxConvention);

} // namespace imaging
