// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Netpbm pages (PBM, PGM, PPM and PAM) into a TDIB, through libnetpbm.
//
// A netpbm file may hold several images one after the other; each is a page.
#pragma once

#include "imaging/dib_image.h"

namespace imaging {

class ImageStream;

// Images in the netpbm file at the stream's position; the position is
// restored. Raises ImageError "Invalid PNM image" (libnetpbm's complaint in
// detail()) when an image cannot be read through.
int PnmPageCount(ImageStream& stream);

// Fills `image` from image `page` (from 0). PBM images, and PAM images of
// tuple type BLACKANDWHITE, become pf1bit (black then white, black pixels
// are 0 bits); other one- and two-plane images pf8bit grey; three- and
// four-plane images pf24bit. Samples are scaled to 0..255, an alpha plane
// is ignored, and the resolution is unknown (0). Raises "Invalid PNM Page
// Number", "Invalid PNM image" or "Image too large"; on error `image` is
// left as it was.
void LoadPnm(TDIB& image, ImageStream& stream, int page);

} // namespace imaging
