// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Helpers for the image library tests: TIFF files written with libtiff
// directly (so the reader is checked against files it did not write), a
// builder of hand-made TIFF bytes for tags libtiff would not write and for
// broken files, and temporary files.
#pragma once

#include "imaging/dib_image.h"

#include <tiffio.h>

#include <cstdint>
#include <string>
#include <vector>

namespace imagingtest {

// A file under the temporary directory, removed when the object goes.
class TempFile {
  public:
    explicit TempFile(const std::string& name);
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    const std::string& path() const { return path_; }
    std::vector<std::uint8_t> bytes() const;

  private:
    std::string path_;
};

// One page to write with libtiff. `pixels` holds the rows top first, each
// TIFFScanlineSize bytes as libtiff expects them.
struct PageToWrite {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint16_t bitsPerSample = 1;
    std::uint16_t samplesPerPixel = 1;
    std::uint16_t photometric = PHOTOMETRIC_MINISWHITE;
    std::uint16_t compression = COMPRESSION_NONE;
    std::uint32_t rowsPerStrip = 0;   // 0: the whole page in one strip
    std::uint32_t tileSize = 0;       // > 0: square tiles instead of strips
    std::uint16_t resolutionUnit = 0; // 0: tag left out
    float xResolution = 0;            // 0: tag left out
    float yResolution = 0;
    std::vector<std::uint16_t> colorMap; // red, green, blue arrays for palette pages
    std::vector<std::uint8_t> pixels;
};

// Writes the pages as one file with libtiff; returns the file's bytes.
std::vector<std::uint8_t> writeTiff(const std::vector<PageToWrite>& pages);

// Bytes of a scanline of `width` 1-bit pixels.
inline std::size_t bilevelRowBytes(std::uint32_t width) {
    return (width + 7) / 8;
}

// A classic TIFF with one directory, built byte by byte (little- or big-endian).
class TiffBuilder {
  public:
    explicit TiffBuilder(bool bigEndian = false);
    // Appends raw bytes to the file body; returns their offset.
    std::uint32_t append(const std::vector<std::uint8_t>& data);
    // Adds a directory entry; SHORT values sit in the first two bytes.
    void entry(std::uint16_t tag, std::uint16_t type, std::uint32_t count, std::uint32_t value);
    // Appends the directory (entries sorted by tag, next offset `next`) and
    // points the header at it; returns the file.
    std::vector<std::uint8_t> finish(std::uint32_t next = 0);
    // Offset the directory will get when finish() is called now.
    std::uint32_t directoryOffset() const;

  private:
    void put16(std::vector<std::uint8_t>& out, std::uint16_t v) const;
    void put32(std::vector<std::uint8_t>& out, std::uint32_t v) const;

    struct Entry {
        std::uint16_t tag, type;
        std::uint32_t count, value;
    };
    bool bigEndian_;
    std::vector<std::uint8_t> bytes_;
    std::vector<Entry> entries_;
};

// A minimal uncompressed 8-bit grey page (min-is-black) built by hand:
// `rows` rows of `width` bytes, row y filled with the value y, stored in
// strips of `stripRows` rows; RowsPerStrip is written only when asked.
std::vector<std::uint8_t> handMadeGreyPage(std::uint32_t width, std::uint32_t rows,
                                           std::uint32_t stripRows, bool writeRowsPerStrip);

// Every pixel of the image as GetPixel returns it, rows from the top.
std::vector<int> pixelsOf(const imaging::TDIB& image);

} // namespace imagingtest
