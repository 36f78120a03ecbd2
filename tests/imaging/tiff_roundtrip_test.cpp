// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Saving and loading TIFF pages: every pixel format and compression the
// utility meets, the tags written, and multi-page files.
#include "imaging/image_stream.h"
#include "imaging/tiff_io.h"
#include "tests/imaging/tiff_fixtures.h"

#include <gtest/gtest.h>

#include <regex>

namespace {

using namespace imaging;
using imagingtest::pixelsOf;
using imagingtest::TempFile;

// A 1-bit page with a pattern that every codec must keep: runs of all
// lengths, an odd width and a partial last byte.
TDIB patternPage(int width = 101, int height = 37) {
    TDIB page;
    page.NewImage(width, height, pf1bit, 200, 100);
    page.Fill(0xFF);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if ((x * x + 3 * y) % 7 < 2 || x == y) page.SetPixel(x, y, 0);
    return page;
}

TDIB greyPage(int width = 33, int height = 9) {
    TDIB page;
    page.NewImage(width, height, pf8bit, 300, 300);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) page.SetPixel(x, y, (x * 13 + y * 29) % 256);
    return page;
}

TDIB colourPage(int width = 17, int height = 6) {
    TDIB page;
    page.NewImage(width, height, pf24bit, 300, 300);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) page.SetPixel(x, y, RgbValue(x * 15, y * 40, 255 - x));
    return page;
}

TDIB roundTrip(const TDIB& image, TiffCompression code, TiffCompression* found = nullptr,
               int rowsPerStrip = 0) {
    MemoryStream stream;
    SaveTiff(image, stream, false, code, rowsPerStrip);
    stream.Seek(0, SeekOrigin::Begin);
    TDIB loaded;
    const TiffCompression c = LoadTiff(loaded, stream, 0);
    if (found) *found = c;
    return loaded;
}

// Opens saved bytes with libtiff directly, to look at what was written.
struct WrittenFile {
    explicit WrittenFile(const std::vector<std::uint8_t>& bytes) : file("written.tif") {
        FileStream out(file.path(), FileStream::Mode::Create);
        out.Write(bytes.data(), bytes.size());
        out.Flush();
        tif = TIFFOpen(file.path().c_str(), "r");
    }
    ~WrittenFile() {
        if (tif) TIFFClose(tif);
    }
    std::uint32_t u16(ttag_t tag) const {
        std::uint16_t v = 0;
        return TIFFGetField(tif, tag, &v) ? v : 0xFFFFFFFF;
    }
    std::uint32_t u32(ttag_t tag) const {
        std::uint32_t v = 0;
        return TIFFGetField(tif, tag, &v) ? v : 0xFFFFFFFF;
    }
    std::string text(ttag_t tag) const {
        const char* v = nullptr;
        return TIFFGetField(tif, tag, &v) ? v : "";
    }
    // Compressed strips are read from their first row on.
    std::vector<std::uint8_t> scanline(std::uint32_t row) const {
        std::vector<std::uint8_t> line(std::size_t(TIFFScanlineSize(tif)));
        for (std::uint32_t r = 0; r <= row; ++r) TIFFReadScanline(tif, line.data(), r, 0);
        return line;
    }
    TempFile file;
    TIFF* tif = nullptr;
};

std::vector<std::uint8_t> savedBytes(const TDIB& image, TiffCompression code,
                                     int rowsPerStrip = 0) {
    MemoryStream stream;
    SaveTiff(image, stream, false, code, rowsPerStrip);
    return stream.Bytes();
}

TEST(TiffRoundTripTest, BilevelPagesSurviveEveryCodec) {
    const TDIB page = patternPage();
    const struct {
        TiffCompression code;
        TiffCompression found;
    } cases[] = {{tcAuto, tcGroup4},         {tcGroup4, tcGroup4},  {tcGroup3_1D, tcGroup3_1D},
                 {tcGroup3_2D, tcGroup3_2D}, {tcLzw, tcLzw},        {tcNone, tcNone},
                 {tcPackBits, tcPackBits},   {tcDeflate, tcDeflate}};
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.code));
        TiffCompression found = tcAuto;
        const TDIB loaded = roundTrip(page, c.code, &found);
        EXPECT_EQ(found, c.found);
        EXPECT_EQ(loaded.Format(), pf1bit);
        EXPECT_EQ(loaded.GetPaletteEntry(0), 0u);
        EXPECT_EQ(loaded.GetPaletteEntry(1), 0xFFFFFFu);
        EXPECT_EQ(loaded.XDpi(), 200);
        EXPECT_EQ(loaded.YDpi(), 100);
        EXPECT_EQ(pixelsOf(loaded), pixelsOf(page));
    }
}

TEST(TiffRoundTripTest, BilevelPagesInSeveralStrips) {
    const TDIB page = patternPage();
    for (TiffCompression code : {tcNone, tcGroup4, tcLzw}) {
        const TDIB loaded = roundTrip(page, code, nullptr, 5);
        EXPECT_EQ(pixelsOf(loaded), pixelsOf(page)) << int(code);
    }
}

TEST(TiffRoundTripTest, GreyAndColourPages) {
    const TDIB grey = greyPage();
    for (TiffCompression code : {tcNone, tcLzw, tcPackBits, tcDeflate}) {
        TiffCompression found = tcAuto;
        const TDIB loaded = roundTrip(grey, code, &found, 4);
        EXPECT_EQ(found, code);
        EXPECT_EQ(loaded.Format(), pf8bit);
        EXPECT_TRUE(loaded.IsDirectPalette());
        EXPECT_EQ(pixelsOf(loaded), pixelsOf(grey)) << int(code);
    }
    const TDIB colour = colourPage();
    for (TiffCompression code : {tcNone, tcLzw, tcDeflate}) {
        const TDIB loaded = roundTrip(colour, code);
        EXPECT_EQ(loaded.Format(), pf24bit);
        EXPECT_EQ(pixelsOf(loaded), pixelsOf(colour)) << int(code);
    }
    TDIB nibbles;
    nibbles.NewImage(9, 3, pf4bit, 300, 300);
    for (int x = 0; x < 9; ++x) nibbles.SetPixel(x, 1, x);
    TiffCompression found = tcAuto;
    const TDIB loaded = roundTrip(nibbles, tcAuto, &found);
    EXPECT_EQ(found, tcPackBits);
    EXPECT_EQ(loaded.Format(), pf4bit);
    EXPECT_EQ(loaded.GetPaletteEntry(15), 0xFFFFFFu); // ramp of 17 * i
    EXPECT_EQ(pixelsOf(loaded), pixelsOf(nibbles));
}

TEST(TiffRoundTripTest, JpegPagesComeBackClose) {
    TDIB grey;
    grey.NewImage(32, 16, pf8bit, 300, 300);
    grey.Fill(180);
    TiffCompression found = tcNone;
    const TDIB loaded = roundTrip(grey, tcAuto, &found);
    EXPECT_EQ(found, tcJpeg);
    EXPECT_EQ(loaded.Format(), pf8bit); // photometric 1: not inverted
    EXPECT_NEAR(loaded.GetPixel(5, 5), 180, 2);
    const WrittenFile file(savedBytes(grey, tcJpeg, 100));
    EXPECT_EQ(file.u32(TIFFTAG_ROWSPERSTRIP), 8u); // JPEG strips are 8 rows
}

TEST(TiffRoundTripTest, ColourLzwTagsAndRgbOrder) {
    const TDIB colour = colourPage();
    const WrittenFile file(savedBytes(colour, tcLzw));
    ASSERT_NE(file.tif, nullptr);
    EXPECT_EQ(file.u16(TIFFTAG_COMPRESSION), unsigned(COMPRESSION_LZW));
    EXPECT_EQ(file.u16(TIFFTAG_BITSPERSAMPLE), 8u);
    EXPECT_EQ(file.u16(TIFFTAG_SAMPLESPERPIXEL), 3u);
    EXPECT_EQ(file.u16(TIFFTAG_PHOTOMETRIC), unsigned(PHOTOMETRIC_RGB));
    EXPECT_EQ(file.u16(TIFFTAG_PLANARCONFIG), unsigned(PLANARCONFIG_CONTIG));
    EXPECT_EQ(file.u32(TIFFTAG_ROWSPERSTRIP), 6u); // one strip
    EXPECT_EQ(file.u16(TIFFTAG_RESOLUTIONUNIT), unsigned(RESUNIT_INCH));
    EXPECT_EQ(file.text(TIFFTAG_SOFTWARE), "Folivane Image Library");
    EXPECT_TRUE(std::regex_match(file.text(TIFFTAG_DATETIME),
                                 std::regex(R"(\d{4}:\d\d:\d\d \d\d:\d\d:\d\d)")))
        << file.text(TIFFTAG_DATETIME);
    float xResolution = 0;
    TIFFGetField(file.tif, TIFFTAG_XRESOLUTION, &xResolution);
    EXPECT_FLOAT_EQ(xResolution, 300.0f);
    const auto row = file.scanline(2);
    EXPECT_EQ(row[3 * 4], 4 * 15); // red first
    EXPECT_EQ(row[3 * 4 + 1], 2 * 40);
    EXPECT_EQ(row[3 * 4 + 2], 255 - 4);
}

TEST(TiffRoundTripTest, BilevelGroup4IsWrittenMinIsWhiteWithBlackAsOne) {
    TDIB page;
    page.NewImage(16, 2, pf1bit, 300, 300);
    page.Fill(0xFF);
    page.SetPixel(0, 0, 0); // one black pixel
    const WrittenFile file(savedBytes(page, tcAuto));
    EXPECT_EQ(file.u16(TIFFTAG_COMPRESSION), unsigned(COMPRESSION_CCITTFAX4));
    EXPECT_EQ(file.u16(TIFFTAG_PHOTOMETRIC), unsigned(PHOTOMETRIC_MINISWHITE));
    EXPECT_EQ(file.scanline(0), (std::vector<std::uint8_t>{0x80, 0x00}));

    // A white-then-black palette already stores black as 1.
    const PaletteColor whiteThenBlack[] = {{255, 255, 255, 0}, {0, 0, 0, 0}};
    page.SetPalette(whiteThenBlack);
    page.Fill(0x00);
    page.SetPixel(0, 0, 1);
    const WrittenFile direct(savedBytes(page, tcGroup4));
    EXPECT_EQ(direct.scanline(0), (std::vector<std::uint8_t>{0x80, 0x00}));
}

TEST(TiffRoundTripTest, BilevelUncompressedIsWrittenMinIsBlack) {
    TDIB page;
    page.NewImage(16, 1, pf1bit, 300, 300);
    page.SetPixel(3, 0, 1); // white on black
    const WrittenFile file(savedBytes(page, tcPackBits));
    EXPECT_EQ(file.u16(TIFFTAG_PHOTOMETRIC), unsigned(PHOTOMETRIC_MINISBLACK));
    EXPECT_EQ(file.scanline(0), (std::vector<std::uint8_t>{0x10, 0x00}));
    // The same page with its palette reversed is complemented so that the
    // file still shows black as 0.
    const PaletteColor whiteThenBlack[] = {{255, 255, 255, 0}, {0, 0, 0, 0}};
    page.SetPalette(whiteThenBlack);
    const WrittenFile reversed(savedBytes(page, tcNone));
    EXPECT_EQ(reversed.scanline(0), (std::vector<std::uint8_t>{0xEF, 0xFF}));
}

TEST(TiffRoundTripTest, AppendAddsPagesToAFile) {
    TempFile file("pages.tif");
    SaveTiff(patternPage(), file.path(), true, tcGroup4, 0); // no file yet: created
    SaveTiff(greyPage(), file.path(), true, tcLzw, 0);
    SaveTiff(colourPage(), file.path(), true, tcNone, 0);
    EXPECT_EQ(TiffPageCount(file.path()), 3);
    FileStream stream(file.path(), FileStream::Mode::Read);
    TDIB page;
    EXPECT_EQ(LoadTiff(page, stream, 2), tcNone);
    EXPECT_EQ(pixelsOf(page), pixelsOf(colourPage()));
    EXPECT_EQ(LoadTiff(page, stream, 1), tcLzw);
    EXPECT_EQ(pixelsOf(page), pixelsOf(greyPage()));
    // Without append the file is replaced.
    SaveTiff(greyPage(), file.path(), false, tcLzw, 0);
    EXPECT_EQ(TiffPageCount(file.path()), 1);
}

TEST(TiffRoundTripTest, SavingNothingOrAnUnknownCodeRaises) {
    MemoryStream stream;
    TDIB empty;
    EXPECT_THROW(SaveTiff(empty, stream, false, tcAuto, 0), ImageError);
    EXPECT_THROW(SaveTiff(greyPage(), stream, false, TiffCompression(12), 0), ImageError);
    // JPEG cannot hold 1-bit rows: the first row is refused.
    try {
        SaveTiff(patternPage(), stream, false, tcJpeg, 0);
        ADD_FAILURE() << "no error";
    } catch (const ImageError& e) {
        EXPECT_STREQ(e.what(), "TIFFWriteScanLine, row 0");
    }
}

} // namespace
