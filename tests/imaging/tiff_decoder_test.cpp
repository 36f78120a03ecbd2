// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The raw directory reader used for the annotation tag.
#include "imaging/image_stream.h"
#include "imaging/tiff_decoder.h"
#include "tests/imaging/tiff_fixtures.h"

#include <gtest/gtest.h>

namespace {

using namespace imaging;
using imagingtest::TiffBuilder;

const std::vector<std::uint8_t> kBlob = {'a', 'n', 'n', 'o', 't', 0, 1, 2, 3, 4, 5};

// Two pages; the second carries the annotation blob.
std::vector<std::uint8_t> twoPages(bool bigEndian) {
    TiffBuilder second(bigEndian);
    const std::uint32_t blob = second.append(kBlob);
    second.entry(TIFFTAG_IMAGEWIDTH, TIFF_SHORT, 1, 8);
    second.entry(kAnnotationTag, TIFF_UNDEFINED, std::uint32_t(kBlob.size()), blob);
    const std::uint32_t secondAt = second.directoryOffset();
    auto bytes = second.finish();
    // Page 0: a directory appended after page 1's, pointing to it.
    TiffBuilder first(bigEndian);
    first.append(std::vector<std::uint8_t>(bytes.begin() + 8, bytes.end()));
    first.entry(TIFFTAG_IMAGEWIDTH, TIFF_SHORT, 1, 16);
    first.entry(TIFFTAG_IMAGELENGTH, TIFF_SHORT, 1, 4);
    return first.finish(secondAt);
}

TEST(TiffDecoderTest, ReadsTheAnnotationBlobOfAPageInEitherByteOrder) {
    for (bool bigEndian : {false, true}) {
        MemoryStream stream(twoPages(bigEndian));
        TTiffDecoder decoder(stream);
        ASSERT_TRUE(decoder.HasTiffHeader());
        EXPECT_EQ(decoder.IsBigEndian(), bigEndian);
        decoder.SelectPage(0);
        EXPECT_EQ(decoder.Entries().size(), 2u);
        EXPECT_EQ(decoder.TagSize(TIFFTAG_IMAGELENGTH), 1u);
        EXPECT_EQ(decoder.TagSize(kAnnotationTag), 0u);
        decoder.SelectPage(1);
        ASSERT_EQ(decoder.TagSize(kAnnotationTag), kBlob.size());
        std::vector<std::uint8_t> data;
        EXPECT_EQ(decoder.ReadTag(kAnnotationTag, &data), kBlob.size());
        EXPECT_EQ(data, kBlob);
        EXPECT_EQ(decoder.Entries()[0].tag, TIFFTAG_IMAGEWIDTH);
        EXPECT_EQ(decoder.Entries()[0].type, TIFF_SHORT);
    }
}

TEST(TiffDecoderTest, MissingTagsAndPages) {
    MemoryStream stream(twoPages(false));
    TTiffDecoder decoder(stream);
    decoder.SelectPage(0);
    try {
        decoder.ReadTag(33000);
        FAIL();
    } catch (const ImageError& e) {
        EXPECT_STREQ(e.what(), "TIFF Tag Not Found: 33000");
    }
    for (int page : {2, -1}) {
        try {
            decoder.SelectPage(page);
            FAIL() << page;
        } catch (const ImageError& e) {
            EXPECT_STREQ(e.what(), "Invalid TIFF Page Number");
        }
    }
    EXPECT_TRUE(decoder.Entries().empty()); // the old selection is gone
}

TEST(TiffDecoderTest, NotATiffAndBrokenChains) {
    MemoryStream bmp(std::vector<std::uint8_t>{'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0});
    TTiffDecoder notTiff(bmp);
    EXPECT_FALSE(notTiff.HasTiffHeader());
    EXPECT_THROW(notTiff.SelectPage(0), ImageError);

    // A chain of two directories pointing at each other ends, it does not spin.
    TiffBuilder b;
    b.entry(TIFFTAG_IMAGEWIDTH, TIFF_SHORT, 1, 8);
    auto bytes = b.finish(8);
    MemoryStream loop(bytes);
    TTiffDecoder looping(loop);
    looping.SelectPage(0);
    EXPECT_THROW(looping.SelectPage(1000), ImageError);

    // Truncated directory and blob past the end.
    TiffBuilder c;
    c.entry(kAnnotationTag, TIFF_UNDEFINED, 1000, 4);
    bytes = c.finish();
    MemoryStream blobPastEnd(bytes);
    TTiffDecoder decoder(blobPastEnd);
    decoder.SelectPage(0);
    EXPECT_EQ(decoder.ReadTag(kAnnotationTag), 1000u); // the size alone is fine
    std::vector<std::uint8_t> data;
    try {
        decoder.ReadTag(kAnnotationTag, &data);
        FAIL();
    } catch (const ImageError& e) {
        EXPECT_STREQ(e.what(), "Invalid TIFF Data");
    }
    bytes.resize(bytes.size() - 6);
    MemoryStream truncated(bytes);
    TTiffDecoder cut(truncated);
    EXPECT_THROW(cut.SelectPage(0), ImageError);
}

TEST(TiffDecoderTest, OffsetsCountFromTheStreamPosition) {
    auto bytes = std::vector<std::uint8_t>(33, 0);
    const auto tiff = twoPages(false);
    bytes.insert(bytes.end(), tiff.begin(), tiff.end());
    MemoryStream stream(bytes);
    stream.Seek(33, SeekOrigin::Begin);
    TTiffDecoder decoder(stream);
    decoder.SelectPage(1);
    std::vector<std::uint8_t> data;
    decoder.ReadTag(kAnnotationTag, &data);
    EXPECT_EQ(data, kBlob);
}

} // namespace
