// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Inputs that the fuzz targets found troublesome, kept as regression tests:
// each once made the image library misbehave under the sanitizers.
#include "imaging/image_stream.h"
#include "imaging/tiff_decoder.h"
#include "imaging/tiff_io.h"
#include "tests/imaging/tiff_fixtures.h"

#include <gtest/gtest.h>

namespace {

using namespace imaging;
using imagingtest::TiffBuilder;

// Reading nothing into nowhere is a valid request: no copy is made (copying
// zero bytes to a null address is undefined behaviour).
TEST(HostileInputTest, EmptyReadFromMemoryStreamTouchesNoBuffer) {
    MemoryStream stream(std::vector<std::uint8_t>{1, 2, 3});
    EXPECT_EQ(stream.Read(nullptr, 0), 0u);
    EXPECT_EQ(stream.Position(), 0);
    EXPECT_TRUE(stream.ReadExact(nullptr, 0));
}

// A directory entry with a count of 0 reads as an empty value.
TEST(HostileInputTest, TagWithNoValuesReadsEmpty) {
    TiffBuilder builder;
    builder.entry(TIFFTAG_IMAGEWIDTH, TIFF_LONG, 1, 8);
    builder.entry(kAnnotationTag, TIFF_UNDEFINED, 0, 0);
    MemoryStream stream(builder.finish());
    TTiffDecoder decoder(stream);
    decoder.SelectPage(0);
    std::vector<std::uint8_t> data{7, 7};
    EXPECT_EQ(decoder.ReadTag(kAnnotationTag, &data), 0u);
    EXPECT_TRUE(data.empty());
}

// Absurd sample sizes (65281 bits, 31233 samples a pixel) give a scanline
// of some 250 million bytes a pixel: the layout arithmetic must not overflow
// on the way to refusing or reading the page.
TEST(HostileInputTest, HugeSampleSizesDoNotOverflowTheLayout) {
    TiffBuilder builder;
    const std::uint32_t strip = builder.append(std::vector<std::uint8_t>(64, 0x55));
    builder.entry(TIFFTAG_IMAGEWIDTH, TIFF_SHORT, 1, 96);
    builder.entry(TIFFTAG_IMAGELENGTH, TIFF_SHORT, 1, 64);
    builder.entry(TIFFTAG_BITSPERSAMPLE, TIFF_SHORT, 1, 65281);
    builder.entry(TIFFTAG_COMPRESSION, TIFF_SHORT, 1, COMPRESSION_NONE);
    builder.entry(TIFFTAG_PHOTOMETRIC, TIFF_SHORT, 1, PHOTOMETRIC_MINISWHITE);
    builder.entry(TIFFTAG_STRIPOFFSETS, TIFF_LONG, 1, strip);
    builder.entry(TIFFTAG_SAMPLESPERPIXEL, TIFF_SHORT, 1, 31233);
    builder.entry(TIFFTAG_ROWSPERSTRIP, TIFF_SHORT, 1, 64);
    builder.entry(TIFFTAG_STRIPBYTECOUNTS, TIFF_LONG, 1, 64);
    MemoryStream stream(builder.finish());
    TDIB image;
    EXPECT_THROW(LoadTiff(image, stream, 0), ImageError);
    EXPECT_FALSE(image.IsValid());
}

} // namespace
