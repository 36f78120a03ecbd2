// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Loading an image file of any supported format into a TDIB.
//
// The format is told by the first bytes of the stream (image_format.h): a
// Windows bitmap is read through Qt, TIFF, PNG and netpbm pages by LoadPage
// (page_reader.h). GIF, JPEG and anything else are refused with a clear
// message.
#pragma once

#include "imaging/dib_image.h"
#include "imaging/tiff_io.h"

#include <string>

class QImage;

namespace imaging {

class ImageStream;

// Loads page `page` (TIFF and netpbm; other formats have one page) from the
// stream's position and returns the TIFF compression code found (tcAuto for
// the other formats). On error `image` is left as it was.
TiffCompression LoadFromStream(TDIB& image, ImageStream& stream, int page);

// Opens the file read-only and calls LoadFromStream.
TiffCompression LoadFromFile(TDIB& image, const std::string& fileName, int page);

// Copies a Qt image: Mono and Indexed8 keep their palettes (1 and 8 bits),
// Grayscale8 becomes 8 bits with a grey ramp, everything else 24 bits.
void LoadFromQImage(TDIB& image, const QImage& source);

} // namespace imaging
