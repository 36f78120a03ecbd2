// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Reading pages written by libtiff directly: photometric and inversion
// rules, palettes, deep samples, tiles, resolution units, strips, pages.
#include "imaging/image_stream.h"
#include "imaging/tiff_io.h"
#include "tests/imaging/tiff_fixtures.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using namespace imaging;
using imagingtest::PageToWrite;
using imagingtest::pixelsOf;
using imagingtest::writeTiff;

TDIB load(const std::vector<std::uint8_t>& bytes, int page = 0, TiffCompression* found = nullptr) {
    MemoryStream stream(bytes);
    TDIB image;
    const TiffCompression c = LoadTiff(image, stream, page);
    if (found) *found = c;
    return image;
}

// 16 x 2 bilevel page with known file bits: row 0 = F0 0F, row 1 = 81 18.
PageToWrite bilevelInput(std::uint16_t photometric, std::uint16_t compression) {
    PageToWrite input;
    input.width = 16;
    input.height = 2;
    input.photometric = photometric;
    input.compression = compression;
    input.pixels = {0xF0, 0x0F, 0x81, 0x18};
    return input;
}

std::vector<std::uint8_t> rowBytes(const TDIB& image) {
    std::vector<std::uint8_t> bytes;
    for (int y = 0; y < image.Height(); ++y)
        bytes.insert(bytes.end(), image.ScanLine(y), image.ScanLine(y) + image.RowBytes());
    return bytes;
}

TEST(TiffReaderTest, Group4PagesAreComplementedWhateverTheirPhotometric) {
    const std::vector<std::uint8_t> complemented = {0x0F, 0xF0, 0x7E, 0xE7};
    for (std::uint16_t photometric : {PHOTOMETRIC_MINISWHITE, PHOTOMETRIC_MINISBLACK}) {
        TiffCompression found = tcAuto;
        const TDIB image =
            load(writeTiff({bilevelInput(photometric, COMPRESSION_CCITTFAX4)}), 0, &found);
        EXPECT_EQ(found, tcGroup4);
        EXPECT_EQ(image.Format(), pf1bit);
        EXPECT_EQ(image.GetPaletteEntry(0), 0u); // black, white
        EXPECT_EQ(image.GetPaletteEntry(1), 0xFFFFFFu);
        EXPECT_EQ(rowBytes(image), complemented) << photometric;
    }
}

TEST(TiffReaderTest, UncompressedBilevelFollowsItsPhotometric) {
    const TDIB minIsBlack =
        load(writeTiff({bilevelInput(PHOTOMETRIC_MINISBLACK, COMPRESSION_NONE)}));
    EXPECT_EQ(rowBytes(minIsBlack), (std::vector<std::uint8_t>{0xF0, 0x0F, 0x81, 0x18}));
    const TDIB minIsWhite =
        load(writeTiff({bilevelInput(PHOTOMETRIC_MINISWHITE, COMPRESSION_LZW)}));
    EXPECT_EQ(rowBytes(minIsWhite), (std::vector<std::uint8_t>{0x0F, 0xF0, 0x7E, 0xE7}));
}

TEST(TiffReaderTest, GreyPagesAndTheirPhotometric) {
    PageToWrite input;
    input.width = 3;
    input.height = 1;
    input.bitsPerSample = 8;
    input.photometric = PHOTOMETRIC_MINISBLACK;
    input.pixels = {0, 100, 255};
    EXPECT_EQ(pixelsOf(load(writeTiff({input}))), (std::vector<int>{0, 100, 255}));
    input.photometric = PHOTOMETRIC_MINISWHITE;
    EXPECT_EQ(pixelsOf(load(writeTiff({input}))), (std::vector<int>{255, 155, 0}));

    PageToWrite nibbles = input;
    nibbles.bitsPerSample = 4;
    nibbles.photometric = PHOTOMETRIC_MINISBLACK;
    nibbles.pixels = {0x0F, 0x70};
    const TDIB four = load(writeTiff({nibbles}));
    EXPECT_EQ(four.Format(), pf4bit);
    EXPECT_EQ(pixelsOf(four), (std::vector<int>{0, 15, 7}));
    EXPECT_EQ(four.GetPaletteEntry(7), 119u * 0x010101);
}

TEST(TiffReaderTest, SixteenBitSamplesKeepTheirHighByte) {
    PageToWrite input;
    input.width = 2;
    input.height = 1;
    input.bitsPerSample = 16;
    input.photometric = PHOTOMETRIC_MINISBLACK;
    const std::uint16_t samples[] = {0xAB12, 0x01FF};
    input.pixels.resize(4);
    std::memcpy(input.pixels.data(), samples, 4);
    const TDIB image = load(writeTiff({input}));
    EXPECT_EQ(image.Format(), pf8bit);
    EXPECT_EQ(pixelsOf(image), (std::vector<int>{0xAB, 0x01}));
    input.photometric = PHOTOMETRIC_MINISWHITE;
    EXPECT_EQ(pixelsOf(load(writeTiff({input}))), (std::vector<int>{0xFF - 0xAB, 0xFF - 0x01}));
}

TEST(TiffReaderTest, PalettePagesKeepTheirColourMap) {
    PageToWrite input;
    input.width = 2;
    input.height = 1;
    input.bitsPerSample = 8;
    input.photometric = PHOTOMETRIC_PALETTE;
    input.colorMap.assign(3 * 256, 0);
    input.colorMap[5] = 65535;          // red of entry 5
    input.colorMap[256 + 5] = 32768;    // green
    input.colorMap[512 + 7] = 257 * 10; // blue of entry 7
    input.pixels = {5, 7};
    const TDIB image = load(writeTiff({input}));
    EXPECT_EQ(image.Format(), pf8bit);
    EXPECT_EQ(pixelsOf(image), (std::vector<int>{5, 7}));
    EXPECT_EQ(image.GetPaletteEntry(5), (255u << 16) | (127u << 8));
    EXPECT_EQ(image.GetPaletteEntry(7), 10u);

    // A map written with 8-bit values is taken as it is.
    input.colorMap.assign(3 * 256, 0);
    input.colorMap[5] = 200;
    EXPECT_EQ(load(writeTiff({input})).GetPaletteEntry(5), 200u << 16);

    // 1-bit palette pages stay 1-bit with their two colours.
    PageToWrite bilevel;
    bilevel.width = 8;
    bilevel.height = 1;
    bilevel.photometric = PHOTOMETRIC_PALETTE;
    bilevel.colorMap = {65535, 0, 0, 65535, 0, 0}; // 0 red, 1 green
    bilevel.pixels = {0x0F};
    const TDIB two = load(writeTiff({bilevel}));
    EXPECT_EQ(two.Format(), pf1bit);
    EXPECT_EQ(pixelsOf(two), (std::vector<int>{0, 0, 0, 0, 1, 1, 1, 1}));
    EXPECT_EQ(two.GetPaletteEntry(0), 0xFF0000u);
}

TEST(TiffReaderTest, RgbStripsAreStoredBlueGreenRed) {
    PageToWrite input;
    input.width = 2;
    input.height = 2;
    input.bitsPerSample = 8;
    input.samplesPerPixel = 3;
    input.photometric = PHOTOMETRIC_RGB;
    input.rowsPerStrip = 1;
    input.pixels = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    const TDIB image = load(writeTiff({input}));
    EXPECT_EQ(image.Format(), pf24bit);
    EXPECT_EQ(image.ScanLine(1)[0], 9); // blue of pixel (0, 1)
    EXPECT_EQ(pixelsOf(image), (std::vector<int>{RgbValue(1, 2, 3), RgbValue(4, 5, 6),
                                                 RgbValue(7, 8, 9), RgbValue(10, 11, 12)}));
}

// Tiles are sized in whole kilobytes: libtiff 4.5 refuses uncompressed
// tiles of other sizes when they are read from a stream without mapping.
TEST(TiffReaderTest, TiledPagesGoThroughRgba) {
    PageToWrite input;
    input.width = 70;
    input.height = 40;
    input.bitsPerSample = 8;
    input.photometric = PHOTOMETRIC_MINISBLACK;
    input.tileSize = 32;
    for (std::uint32_t y = 0; y < 40; ++y)
        for (std::uint32_t x = 0; x < 70; ++x) input.pixels.push_back(std::uint8_t(x * 3 + y));
    const TDIB grey = load(writeTiff({input}));
    EXPECT_EQ(grey.Format(), pf8bit);
    EXPECT_EQ(grey.GetPixel(69, 39), 69 * 3 + 39);
    EXPECT_EQ(grey.GetPixel(3, 0), 9);

    // A tiled bilevel page is read in true colours, not complemented twice.
    PageToWrite bilevel;
    bilevel.width = 128;
    bilevel.height = 128;
    bilevel.photometric = PHOTOMETRIC_MINISWHITE;
    bilevel.tileSize = 128;
    bilevel.pixels.assign(16 * 128, 0x00); // white
    bilevel.pixels[0] = 0x80;              // one black pixel
    const TDIB page = load(writeTiff({bilevel}));
    EXPECT_EQ(page.Format(), pf1bit);
    EXPECT_EQ(page.GetPixel(0, 0), 0);
    EXPECT_EQ(page.GetPixel(1, 0), 1);
    EXPECT_EQ(page.GetPixel(127, 127), 1);
}

TEST(TiffReaderTest, GreyJpegIsComplementedOnlyWhenMinIsWhite) {
    PageToWrite input;
    input.width = 16;
    input.height = 16;
    input.bitsPerSample = 8;
    input.compression = COMPRESSION_JPEG;
    input.rowsPerStrip = 16;
    input.pixels.assign(256, 60);
    for (std::uint16_t photometric : {PHOTOMETRIC_MINISBLACK, PHOTOMETRIC_MINISWHITE}) {
        input.photometric = photometric;
        const auto bytes = writeTiff({input});
        // What libtiff's RGBA reader gives, for comparison.
        imagingtest::TempFile file("jpeg.tif");
        FileStream(file.path(), FileStream::Mode::Create).Write(bytes.data(), bytes.size());
        TIFF* tif = TIFFOpen(file.path().c_str(), "r");
        ASSERT_NE(tif, nullptr);
        std::vector<std::uint32_t> raster(256);
        ASSERT_TRUE(TIFFReadRGBAImage(tif, 16, 16, raster.data(), 1));
        TIFFClose(tif);
        const int rgba = int(TIFFGetR(raster[0]));

        TiffCompression found = tcAuto;
        const TDIB image = load(bytes, 0, &found);
        EXPECT_EQ(found, tcJpeg);
        EXPECT_EQ(image.Format(), pf8bit);
        const int expected = photometric == PHOTOMETRIC_MINISWHITE ? 255 - rgba : rgba;
        EXPECT_EQ(image.GetPixel(7, 7), expected) << photometric;
    }
}

TEST(TiffReaderTest, ResolutionUnitsBecomeDotsPerInch) {
    PageToWrite input = bilevelInput(PHOTOMETRIC_MINISBLACK, COMPRESSION_NONE);
    input.resolutionUnit = RESUNIT_CENTIMETER;
    input.xResolution = 118.11f;
    input.yResolution = 78.74f;
    TDIB image = load(writeTiff({input}));
    EXPECT_EQ(image.XDpi(), 300);
    EXPECT_EQ(image.YDpi(), 200);

    input.resolutionUnit = RESUNIT_INCH;
    input.xResolution = 72.5f; // halves round to even
    input.yResolution = 73.5f;
    image = load(writeTiff({input}));
    EXPECT_EQ(image.XDpi(), 72);
    EXPECT_EQ(image.YDpi(), 74);

    input.resolutionUnit = 0; // absent: inches
    input.xResolution = 0;    // absent: 0
    input.yResolution = 96;
    image = load(writeTiff({input}));
    EXPECT_EQ(image.XDpi(), 0);
    EXPECT_EQ(image.YDpi(), 96);
}

TEST(TiffReaderTest, PagesWithoutRowsPerStripAreReadWhole) {
    // Strips of 16 rows, one strip, and the tag present for comparison.
    for (const auto& [stripRows, tag] : {std::pair{16u, false}, {40u, false}, {16u, true}}) {
        const TDIB image = load(imagingtest::handMadeGreyPage(8, 40, stripRows, tag));
        ASSERT_EQ(image.Height(), 40);
        for (int y = 0; y < 40; ++y) ASSERT_EQ(image.GetPixel(5, y), y) << stripRows << " " << y;
    }
}

TEST(TiffReaderTest, PageCountAndPageSelection) {
    std::vector<PageToWrite> pages;
    for (std::uint8_t value : {0x00, 0xFF, 0xAA}) {
        PageToWrite input = bilevelInput(PHOTOMETRIC_MINISBLACK, COMPRESSION_PACKBITS);
        input.pixels.assign(4, value);
        pages.push_back(input);
    }
    const auto bytes = writeTiff(pages);
    MemoryStream stream(bytes);
    EXPECT_EQ(TiffPageCount(stream), 3);
    EXPECT_EQ(stream.Position(), 0);
    TDIB image;
    LoadTiff(image, stream, 2);
    EXPECT_EQ(image.ScanLine(1)[0], 0xAA);
    LoadTiff(image, stream, 1);
    EXPECT_EQ(image.ScanLine(0)[1], 0xFF);
    for (int page : {3, 100, -1}) {
        try {
            LoadTiff(image, stream, page);
            ADD_FAILURE() << page;
        } catch (const ImageError& e) {
            EXPECT_STREQ(e.what(), "Invalid TIFF Page Number");
        }
    }
    EXPECT_EQ(image.ScanLine(0)[1], 0xFF); // a failed load leaves the image alone

    MemoryStream bmp(std::vector<std::uint8_t>{'B', 'M', 1, 2, 3});
    EXPECT_EQ(TiffPageCount(bmp), 1);
    MemoryStream empty;
    EXPECT_EQ(TiffPageCount(empty), 1);
}

TEST(TiffReaderTest, ATiffInsideALargerStreamIsReadFromItsPosition) {
    auto bytes = std::vector<std::uint8_t>(100, 0x55);
    const auto tiff = writeTiff({bilevelInput(PHOTOMETRIC_MINISBLACK, COMPRESSION_NONE)});
    bytes.insert(bytes.end(), tiff.begin(), tiff.end());
    MemoryStream stream(bytes);
    stream.Seek(100, SeekOrigin::Begin);
    EXPECT_EQ(TiffPageCount(stream), 1);
    TDIB image;
    LoadTiff(image, stream, 0);
    EXPECT_EQ(rowBytes(image), (std::vector<std::uint8_t>{0xF0, 0x0F, 0x81, 0x18}));
}

} // namespace
