// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "tests/cli/tiff_files.h"

#include <algorithm>
#include <stdexcept>
#include <tiffio.h>

namespace clitest {
namespace {

struct TiffCloser {
    void operator()(TIFF* t) const { TIFFClose(t); }
};
using TiffFile = std::unique_ptr<TIFF, TiffCloser>;

TiffFile openForWriting(const std::string& path) {
    TiffFile tiff(TIFFOpen(path.c_str(), "w"));
    if (!tiff) throw std::runtime_error("cannot create " + path);
    return tiff;
}

void setCommonTags(TIFF* t, int width, int height, int bits, int photometric, int compression) {
    TIFFSetField(t, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(t, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, bits);
    TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(t, TIFFTAG_PHOTOMETRIC, photometric);
    TIFFSetField(t, TIFFTAG_COMPRESSION, compression);
    TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, height);
    TIFFSetField(t, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    TIFFSetField(t, TIFFTAG_XRESOLUTION, 200.0f);
    TIFFSetField(t, TIFFTAG_YRESOLUTION, 200.0f);
}

// One Group 4 directory; `blackIsOne`: bits set for black pixels (min-is-white).
void writeGroup4Page(TIFF* tiff, const std::string& path, const testsupport::TestPage& page,
                     bool blackIsOne) {
    setCommonTags(tiff, page.width(), page.height(), 1,
                  blackIsOne ? PHOTOMETRIC_MINISWHITE : PHOTOMETRIC_MINISBLACK,
                  COMPRESSION_CCITTFAX4);
    std::vector<unsigned char> row(std::size_t((page.width() + 7) / 8));
    for (int y = 0; y < page.height(); ++y) {
        std::fill(row.begin(), row.end(), 0);
        const int stored = page.height() - 1 - y;
        for (int x = 0; x < page.width(); ++x)
            if (page.black(x, stored) == blackIsOne) row[std::size_t(x / 8)] |= 0x80 >> (x % 8);
        if (TIFFWriteScanline(tiff, row.data(), std::uint32_t(y), 0) < 0)
            throw std::runtime_error("cannot write " + path);
    }
    TIFFWriteDirectory(tiff);
}

} // namespace

void writeBilevelTiff(const std::string& path, const std::vector<testsupport::TestPage>& pages) {
    TiffFile tiff = openForWriting(path);
    for (const testsupport::TestPage& page : pages) writeGroup4Page(tiff.get(), path, page, true);
}

void writeBlackIsZeroGroup4Tiff(const std::string& path, const testsupport::TestPage& page) {
    TiffFile tiff = openForWriting(path);
    writeGroup4Page(tiff.get(), path, page, false);
}

void writeGreyTiff(const std::string& path, int width, int height,
                   const std::function<int(int x, int y)>& grey) {
    TiffFile tiff = openForWriting(path);
    setCommonTags(tiff.get(), width, height, 8, PHOTOMETRIC_MINISBLACK, COMPRESSION_NONE);
    std::vector<unsigned char> row(static_cast<std::size_t>(width));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            row[std::size_t(x)] = static_cast<unsigned char>(grey(x, y));
        if (TIFFWriteScanline(tiff.get(), row.data(), std::uint32_t(y), 0) < 0)
            throw std::runtime_error("cannot write " + path);
    }
}

} // namespace clitest
