// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Broken and hostile TIFF files: each raises ImageError with a clear
// message; none crashes, hangs or reads outside its buffers (the sanitizer
// build checks the latter).
#include "imaging/image_stream.h"
#include "imaging/tiff_io.h"
#include "tests/imaging/tiff_fixtures.h"

#include <gtest/gtest.h>

namespace {

using namespace imaging;
using imagingtest::TiffBuilder;

std::string loadError(const std::vector<std::uint8_t>& bytes, int page = 0) {
    MemoryStream stream(bytes);
    TDIB image;
    try {
        LoadTiff(image, stream, page);
    } catch (const ImageError& e) {
        return e.what();
    }
    return "loaded";
}

// A bilevel page directory with the given size and one strip at `offset`.
std::vector<std::uint8_t> bilevelDirectory(std::uint32_t width, std::uint32_t height,
                                           std::uint32_t stripOffset, std::uint32_t stripBytes,
                                           std::uint16_t compression = COMPRESSION_NONE,
                                           const std::vector<std::uint8_t>& data = {}) {
    TiffBuilder b;
    if (!data.empty()) stripOffset = b.append(data);
    b.entry(TIFFTAG_IMAGEWIDTH, TIFF_LONG, 1, width);
    b.entry(TIFFTAG_IMAGELENGTH, TIFF_LONG, 1, height);
    b.entry(TIFFTAG_BITSPERSAMPLE, TIFF_SHORT, 1, 1);
    b.entry(TIFFTAG_COMPRESSION, TIFF_SHORT, 1, compression);
    b.entry(TIFFTAG_PHOTOMETRIC, TIFF_SHORT, 1, PHOTOMETRIC_MINISWHITE);
    b.entry(TIFFTAG_STRIPOFFSETS, TIFF_LONG, 1, stripOffset);
    b.entry(TIFFTAG_ROWSPERSTRIP, TIFF_LONG, 1, height);
    b.entry(TIFFTAG_STRIPBYTECOUNTS, TIFF_LONG, 1, stripBytes);
    return b.finish();
}

TEST(TiffMalformedTest, NotATiffAtAll) {
    EXPECT_EQ(loadError({}), "TIFFOpen");
    EXPECT_EQ(loadError({'I', 'I'}), "TIFFOpen");
    EXPECT_EQ(loadError({'I', 'I', 42, 0, 0xde, 0xad, 0xbe, 0xef, 1, 2, 3, 4, 5, 6, 7, 8}),
              "TIFFOpen");
    EXPECT_EQ(loadError({'M', 'M', 0, 42, 0, 0, 0, 8, 0xFF, 0xFF}), "TIFFOpen");
    MemoryStream garbage(std::vector<std::uint8_t>{'I', 'I', 0x13, 0x37, 9, 9, 9, 9});
    EXPECT_THROW(TiffPageCount(garbage), ImageError);
}

TEST(TiffMalformedTest, StripPastTheEndOfTheFile) {
    EXPECT_EQ(loadError(bilevelDirectory(64, 64, 1000000, 512)), "TIFFReadEncodedStrip");
    // A compressed strip that is cut short.
    EXPECT_EQ(loadError(bilevelDirectory(64, 64, 0, 4000, COMPRESSION_LZW, {0x80, 0x00, 0x20})),
              "TIFFReadEncodedStrip");
}

TEST(TiffMalformedTest, HugePagesAreRefusedBeforeAllocating) {
    EXPECT_EQ(
        loadError(bilevelDirectory(100000, 100000, 0, 4, COMPRESSION_CCITTFAX4, {0, 0, 0, 0})),
        "Image too large");
    EXPECT_EQ(loadError(bilevelDirectory(0x7FFFFFFF, 8, 0, 4, COMPRESSION_NONE, {0, 0, 0, 0})),
              "Image too large");
}

TEST(TiffMalformedTest, EmptyPagesAreRefused) {
    const std::string zeroWidth =
        loadError(bilevelDirectory(0, 10, 0, 4, COMPRESSION_NONE, {0, 0, 0, 0}));
    EXPECT_NE(zeroWidth, "loaded");
    const std::string zeroHeight =
        loadError(bilevelDirectory(10, 0, 0, 4, COMPRESSION_NONE, {0, 0, 0, 0}));
    EXPECT_NE(zeroHeight, "loaded");
}

TEST(TiffMalformedTest, CcittWithEightBitSamples) {
    TiffBuilder b;
    const std::uint32_t data = b.append(std::vector<std::uint8_t>(64, 0xAA));
    b.entry(TIFFTAG_IMAGEWIDTH, TIFF_SHORT, 1, 8);
    b.entry(TIFFTAG_IMAGELENGTH, TIFF_SHORT, 1, 8);
    b.entry(TIFFTAG_BITSPERSAMPLE, TIFF_SHORT, 1, 8);
    b.entry(TIFFTAG_COMPRESSION, TIFF_SHORT, 1, COMPRESSION_CCITTFAX4);
    b.entry(TIFFTAG_PHOTOMETRIC, TIFF_SHORT, 1, PHOTOMETRIC_MINISWHITE);
    b.entry(TIFFTAG_STRIPOFFSETS, TIFF_LONG, 1, data);
    b.entry(TIFFTAG_STRIPBYTECOUNTS, TIFF_LONG, 1, 64);
    EXPECT_NE(loadError(b.finish()), "loaded");
}

TEST(TiffMalformedTest, DirectoryChainThatLoopsBack) {
    TiffBuilder b;
    const std::uint32_t data = b.append({0, 0});
    b.entry(TIFFTAG_IMAGEWIDTH, TIFF_SHORT, 1, 8);
    b.entry(TIFFTAG_IMAGELENGTH, TIFF_SHORT, 1, 2);
    b.entry(TIFFTAG_BITSPERSAMPLE, TIFF_SHORT, 1, 1);
    b.entry(TIFFTAG_COMPRESSION, TIFF_SHORT, 1, COMPRESSION_NONE);
    b.entry(TIFFTAG_PHOTOMETRIC, TIFF_SHORT, 1, PHOTOMETRIC_MINISBLACK);
    b.entry(TIFFTAG_STRIPOFFSETS, TIFF_LONG, 1, data);
    b.entry(TIFFTAG_STRIPBYTECOUNTS, TIFF_LONG, 1, 2);
    const auto bytes = b.finish(b.directoryOffset()); // next directory: itself
    MemoryStream stream(bytes);
    EXPECT_EQ(TiffPageCount(stream), 1);
    EXPECT_EQ(loadError(bytes, 0), "loaded");
    EXPECT_EQ(loadError(bytes, 1), "Invalid TIFF Page Number");
}

// Every prefix and every single-byte corruption of real files either loads
// or raises ImageError.
TEST(TiffMalformedTest, TruncatedAndCorruptedFilesNeverCrash) {
    imagingtest::PageToWrite input;
    input.width = 40;
    input.height = 12;
    input.photometric = PHOTOMETRIC_MINISWHITE;
    input.xResolution = input.yResolution = 200;
    input.resolutionUnit = RESUNIT_INCH;
    for (std::uint32_t i = 0; i < 12 * 5; ++i) input.pixels.push_back(std::uint8_t(i * 37));
    for (std::uint16_t compression : {COMPRESSION_CCITTFAX4, COMPRESSION_LZW, COMPRESSION_NONE}) {
        input.compression = compression;
        const auto bytes = imagingtest::writeTiff({input});
        for (std::size_t n = 0; n < bytes.size(); ++n) {
            const std::vector<std::uint8_t> prefix(bytes.begin(),
                                                   bytes.begin() + std::ptrdiff_t(n));
            (void)loadError(prefix);
        }
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            auto corrupted = bytes;
            corrupted[i] ^= 0xFF;
            (void)loadError(corrupted);
            MemoryStream stream(corrupted);
            try {
                TiffPageCount(stream);
            } catch (const ImageError&) {
            }
        }
    }
}

TEST(TiffMalformedTest, ErrorsCarryLibtiffsMessage) {
    MemoryStream stream(bilevelDirectory(64, 64, 1000000, 512));
    TDIB image;
    try {
        LoadTiff(image, stream, 0);
        FAIL() << "loaded";
    } catch (const ImageError& e) {
        EXPECT_STREQ(e.what(), "TIFFReadEncodedStrip");
        EXPECT_FALSE(e.detail().empty());
    }
}

} // namespace
