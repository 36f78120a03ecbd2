// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// PNG pages into a TDIB, through libpng.
#pragma once

#include "imaging/dib_image.h"

namespace imaging {

class ImageStream;

// Fills `image` from the PNG at the stream's position. A 1-bit grey page
// becomes pf1bit (black then white, black pixels are 0 bits, as TIFF pages
// are); other grey pages pf8bit with a grey ramp; palette pages pf8bit with
// their palette; colour pages pf24bit. Transparent pixels are laid on white,
// 16-bit samples keep their high byte, and the pHYs chunk gives the
// resolution. Raises ImageError "Invalid PNG image" with libpng's complaint
// in detail(), or "Image too large"; on error `image` is left as it was.
void LoadPng(TDIB& image, ImageStream& stream);

} // namespace imaging
