// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// TIFF pages in and out of a TDIB, through libtiff.
//
// Reading accepts bilevel, grey, palette and colour pages in any of libtiff's
// compressions: 1-bit pages become pf1bit with a black-then-white palette
// (black pixels are 0 bits), 4- and 8-bit grey pages grey ramps, palette
// pages their colour map, everything else 24 bits. Writing produces the
// tags, photometric values and compressions listed with SaveTiff.
//
// Every failure raises imaging::ImageError with a short message ("TIFFOpen",
// "Invalid TIFF Page Number", "TIFFReadEncodedStrip", "TIFFWriteScanLine, row
// N", "TIFFSetIntField: Tag = N", ...) and libtiff's own last message in
// detail(). Nothing is printed; streams and libtiff handles are released on
// every path.
#pragma once

#include "imaging/dib_image.h"

#include <cstdint>
#include <string>

namespace imaging {

class ImageStream;

// Compression codes of the image library. On writing, tcAuto picks one by
// pixel format (AutomaticCompression); on reading it means "not recognised".
enum TiffCompression : std::uint8_t {
    tcAuto = 0,
    tcNone = 1,
    tcPackBits = 2,
    tcGroup3_1D = 3, // CCITT Group 3, one-dimensional
    tcGroup3_2D = 4, // CCITT Group 3, two-dimensional
    tcGroup4 = 5,
    tcDeflate = 6,
    tcJpeg = 7,
    tcLzw = 8
};

// pf1bit -> Group 4, pf4bit -> PackBits, 8, 16 and 24 bits -> JPEG.
TiffCompression AutomaticCompression(PixelFormat format);

// The library code of a TIFF Compression tag value (T4Options bit 0 tells
// Group 3 2-D from 1-D); tcAuto for a value it does not know.
TiffCompression CompressionFromTiff(unsigned compression, std::uint32_t t4Options);

// The TIFF Compression tag value written for a library code.
unsigned TiffCompressionValue(TiffCompression code);

// How a CCITT page's (Group 3 or 4) PhotometricInterpretation is read.
enum class CcittPhotometric : std::uint8_t {
    // White is zero whatever the tag says, as fax software writes such pages.
    FaxConvention,
    // As the tag says: a black-is-zero page (as PIL writes Group 4) keeps its
    // polarity instead of coming out as a negative.
    AsWritten
};

// Pages (directories) in the TIFF starting at the stream's position; 1 for a
// stream that does not start with "II" or "MM". The position is restored.
// Raises "TIFFOpen" when libtiff cannot read the first directory.
int TiffPageCount(ImageStream& stream);
int TiffPageCount(const std::string& fileName);

// Fills `image` from directory `page` (from 0) of the TIFF at the stream's
// position and returns the compression code found. Raises "Invalid TIFF Page
// Number" for a page the file does not have, "Image too large" for a page
// beyond kMaxImageBytes, and the read errors above; on any error `image` is
// left as it was.
TiffCompression LoadTiff(TDIB& image, ImageStream& stream, int page,
                         CcittPhotometric ccitt = CcittPhotometric::FaxConvention);

// Writes `image` as one TIFF page. With `append` set and an existing file the
// page is added after the file's pages; otherwise the file is created or
// replaced. rowsPerStrip <= 0 writes one strip (JPEG always uses 8 rows).
// Tags: Compression (and T4Options for Group 3), RowsPerStrip,
// PlanarConfiguration 1, Software "Folivane Image Library", DateTime
// "yyyy:mm:dd hh:nn:ss" (local time), ResolutionUnit inch, X/YResolution,
// ImageWidth, ImageLength, then BitsPerSample, SamplesPerPixel and
// PhotometricInterpretation (1 bit: 0 for CCITT codes, else 1; 4 and 8 bits:
// grey, 1; 24 bits: RGB). 1-bit rows are written with black as the file's
// photometric value says, whichever of the two palettes the image has.
void SaveTiff(const TDIB& image, const std::string& fileName, bool append,
              TiffCompression compression, int rowsPerStrip);
// The same onto a stream, from its position; `append` adds a page to the
// TIFF already there.
void SaveTiff(const TDIB& image, ImageStream& stream, bool append, TiffCompression compression,
              int rowsPerStrip);

} // namespace imaging
