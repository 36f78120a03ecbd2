// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// PNG pages through libpng and netpbm pages through libnetpbm: pixel
// formats, sample scaling, transparency, pages of a netpbm file, and the
// errors of damaged files (which must never end the process).
#include "imaging/image_format.h"
#include "imaging/image_stream.h"
#include "imaging/page_reader.h"
#include "imaging/png_read.h"
#include "imaging/pnm_read.h"

#include <png.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace imaging;

MemoryStream streamOf(const std::string& bytes) {
    return MemoryStream(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
}

void appendBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

// A PNG of `rows` (top first, already packed as the colour type and depth say).
std::vector<std::uint8_t> png(int width, int depth, int colourType,
                              std::vector<std::vector<std::uint8_t>> rows,
                              const std::vector<png_color>& palette = {},
                              int interlace = PNG_INTERLACE_NONE) {
    std::vector<std::uint8_t> bytes;
    png_structp p = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(p);
    png_set_write_fn(p, &bytes, appendBytes, nullptr);
    png_set_IHDR(p, info, png_uint_32(width), png_uint_32(rows.size()), depth, colourType,
                 interlace, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!palette.empty()) png_set_PLTE(p, info, palette.data(), int(palette.size()));
    png_set_pHYs(p, info, 11811, 3937, PNG_RESOLUTION_METER); // 300 x 100 dpi
    png_write_info(p, info);
    std::vector<png_bytep> pointers;
    for (auto& row : rows) pointers.push_back(row.data());
    png_write_image(p, pointers.data());
    png_write_end(p, nullptr);
    png_destroy_write_struct(&p, &info);
    return bytes;
}

TDIB loadPng(const std::vector<std::uint8_t>& bytes) {
    MemoryStream stream(bytes);
    TDIB image;
    LoadPng(image, stream);
    return image;
}

TEST(PngReader, BilevelGreyPaletteAndColourPagesKeepTheirPixels) {
    const TDIB bilevel = loadPng(png(10, 1, PNG_COLOR_TYPE_GRAY, {{0b01000000, 0}, {0xFF, 0xC0}}));
    EXPECT_EQ(bilevel.Format(), pf1bit);
    EXPECT_EQ(bilevel.XDpi(), 300);
    EXPECT_EQ(bilevel.YDpi(), 100);
    EXPECT_EQ(bilevel.GetPixel(0, 0), 0) << "0 bits are black, as on TIFF pages";
    EXPECT_EQ(bilevel.GetPixel(1, 0), 1);
    EXPECT_EQ(bilevel.GetPixel(9, 1), 1);

    const TDIB grey16 = loadPng(png(2, 16, PNG_COLOR_TYPE_GRAY, {{0x12, 0x34, 0xFF, 0xFF}}));
    EXPECT_EQ(grey16.Format(), pf8bit);
    EXPECT_EQ(grey16.GetPixel(0, 0), 0x12);
    EXPECT_EQ(grey16.GetPixel(1, 0), 0xFF);

    const TDIB transparent = loadPng(png(2, 8, PNG_COLOR_TYPE_GRAY_ALPHA, {{0, 0, 0, 255}}));
    EXPECT_EQ(transparent.GetPixel(0, 0), 255) << "a transparent pixel lies on white";
    EXPECT_EQ(transparent.GetPixel(1, 0), 0);

    const TDIB palette = loadPng(png(3, 2, PNG_COLOR_TYPE_PALETTE, {{0b00011000}},
                                     {{10, 20, 30}, {200, 100, 50}, {0, 0, 0}}));
    EXPECT_EQ(palette.Format(), pf8bit);
    EXPECT_EQ(
        (std::vector<int>{palette.GetPixel(0, 0), palette.GetPixel(1, 0), palette.GetPixel(2, 0)}),
        (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(palette.GetPalette()[1].red, 200);

    const TDIB rgb = loadPng(png(1, 8, PNG_COLOR_TYPE_RGB, {{200, 100, 50}}));
    EXPECT_EQ(rgb.Format(), pf24bit);
    EXPECT_EQ(rgb.GetPixel(0, 0), RgbValue(200, 100, 50));
}

TEST(PngReader, InterlacedPagesComeOutAsPlainOnes) {
    std::vector<std::vector<std::uint8_t>> rows(9, std::vector<std::uint8_t>(2));
    for (std::size_t y = 0; y < rows.size(); ++y) rows[y] = {std::uint8_t(0x5A ^ (y * 37)), 0x80};
    const TDIB plain = loadPng(png(9, 1, PNG_COLOR_TYPE_GRAY, rows));
    const TDIB interlaced = loadPng(png(9, 1, PNG_COLOR_TYPE_GRAY, rows, {}, PNG_INTERLACE_ADAM7));
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x)
            EXPECT_EQ(interlaced.GetPixel(x, y), plain.GetPixel(x, y)) << x << ", " << y;
}

TEST(PngReader, DamagedFilesRaiseAnErrorWithLibpngsReason) {
    std::vector<std::uint8_t> bytes =
        png(64, 8, PNG_COLOR_TYPE_GRAY,
            std::vector<std::vector<std::uint8_t>>(64, std::vector<std::uint8_t>(64, 7)));
    for (std::size_t cut : {std::size_t(8), std::size_t(30), bytes.size() - 20}) {
        TDIB image;
        MemoryStream stream(
            std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + std::ptrdiff_t(cut)));
        try {
            LoadPng(image, stream);
            ADD_FAILURE() << "cut at " << cut;
        } catch (const ImageError& e) {
            EXPECT_STREQ(e.what(), "Invalid PNG image");
            EXPECT_FALSE(e.detail().empty()) << cut;
        }
        EXPECT_FALSE(image.IsValid());
    }
}

TDIB loadPnm(const std::string& text, int page = 0) {
    MemoryStream stream = streamOf(text);
    TDIB image;
    LoadPnm(image, stream, page);
    return image;
}

TEST(PnmReader, BitmapsGreyMapsPixmapsAndPamImages) {
    for (const std::string& pbm :
         {std::string("P1\n3 1\n1 0 1\n"), std::string("P4 3 1\n\xA0", 8)}) {
        const TDIB image = loadPnm(pbm);
        EXPECT_EQ(image.Format(), pf1bit);
        EXPECT_EQ(
            (std::vector<int>{image.GetPixel(0, 0), image.GetPixel(1, 0), image.GetPixel(2, 0)}),
            (std::vector<int>{0, 1, 0}))
            << "PBM 1 is black, a 0 bit here";
    }
    const TDIB grey = loadPnm("P2\n2 1\n15\n0 15\n");
    EXPECT_EQ(grey.Format(), pf8bit);
    EXPECT_EQ(grey.GetPixel(1, 0), 255) << "scaled from maxval 15";
    const TDIB rgb = loadPnm(std::string("P6\n1 1\n255\n\xC8\x64\x32", 14));
    EXPECT_EQ(rgb.Format(), pf24bit);
    EXPECT_EQ(rgb.GetPixel(0, 0), RgbValue(200, 100, 50));
    const TDIB pam = loadPnm(std::string("P7\nWIDTH 2\nHEIGHT 1\nDEPTH 1\nMAXVAL 1\n"
                                         "TUPLTYPE BLACKANDWHITE\nENDHDR\n") +
                             std::string{'\x01', '\x00'});
    EXPECT_EQ(pam.Format(), pf1bit);
    EXPECT_EQ(pam.GetPixel(0, 0), 1);
}

TEST(PnmReader, EachImageOfAFileIsAPage) {
    const std::string file = "P1\n1 1\n1\nP1\n2 1\n0 0\nP2\n3 1\n255\n1 2 3\n";
    MemoryStream stream = streamOf(file);
    EXPECT_EQ(PnmPageCount(stream), 3);
    EXPECT_EQ(stream.Position(), 0);
    EXPECT_EQ(loadPnm(file, 1).Width(), 2);
    EXPECT_EQ(loadPnm(file, 2).GetPixel(2, 0), 3);
    EXPECT_THROW(loadPnm(file, 3), ImageError);
    MemoryStream again = streamOf(file);
    EXPECT_EQ(PageCount(again), 3);
}

TEST(PnmReader, DamagedFilesRaiseErrorsInsteadOfEndingTheProgram) {
    for (const std::string& bad :
         {std::string("P5\n2 2\n255\n\x01"), std::string("P2\n2 1\n255\n1 x\n"),
          std::string("P1\n-3 1\n"), std::string("P7\nWIDTH 1\nENDHDR\n"),
          std::string("P6\n100000 100000\n255\n"), std::string("P2\n1 1\n0\n0\n")}) {
        TDIB image;
        MemoryStream stream = streamOf(bad);
        try {
            LoadPnm(image, stream, 0);
            ADD_FAILURE() << bad;
        } catch (const ImageError& e) {
            EXPECT_STREQ(e.what(), "Invalid PNM image") << bad;
            EXPECT_FALSE(e.detail().empty()) << bad;
        }
        EXPECT_FALSE(image.IsValid());
    }
}

TEST(PageReader, FormatsAreToldByTheirFirstBytes) {
    const std::vector<std::pair<std::string, ImageFormat>> cases{
        {"II*", ImageFormat::Tiff},   {"P4 ", ImageFormat::Pnm}, {"P7\n", ImageFormat::Pnm},
        {"P8", ImageFormat::Unknown}, {"BM", ImageFormat::Bmp},  {"GIF8", ImageFormat::Gif}};
    for (const auto& [head, format] : cases) {
        MemoryStream stream = streamOf(head);
        EXPECT_EQ(DetectImageFormat(stream), format) << head;
    }
    MemoryStream bmp = streamOf("BM123");
    TDIB image;
    EXPECT_THROW(LoadPage(image, bmp, 0), ImageError) << "BMP needs the Qt loader";
}

} // namespace
