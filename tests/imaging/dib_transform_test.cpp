// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Whole-image operations of the DIB image: conversion, resize, shifts,
// shear deskew and the grey reduction.
#include "imaging/dib_image.h"
#include "tests/imaging/tiff_fixtures.h"

#include <gtest/gtest.h>

namespace {

using namespace imaging;
using imagingtest::pixelsOf;

template <typename F> std::string errorOf(F&& f) {
    try {
        f();
    } catch (const ImageError& e) {
        return e.what();
    }
    return "no error";
}

// A white 1-bit page (standard palette: 1 = white).
TDIB whitePage(int width, int height) {
    TDIB page;
    page.NewImage(width, height, pf1bit, 300, 300);
    page.Fill(0xFF);
    return page;
}

TEST(DibConvertTest, BilevelToColourIsBlackAndWhite) {
    TDIB page = whitePage(5, 2);
    page.SetPixel(1, 0, 0);
    page.SetPixel(4, 1, 0);
    page.ConvertTo(pf24bit);
    EXPECT_EQ(page.BitCount(), 24);
    EXPECT_EQ(page.PaletteSize(), 0u);
    EXPECT_EQ(page.Stride(), 16u); // ((3 * 5 + 3) div 4) * 4
    EXPECT_EQ(page.DataSize(), 40u + 2 * 16);
    EXPECT_EQ(page.XDpi(), 300);
    EXPECT_EQ(page.GetPixel(0, 0), 0xFFFFFF);
    EXPECT_EQ(page.GetPixel(1, 0), 0);
    EXPECT_EQ(page.GetPixel(4, 1), 0);
    EXPECT_EQ(page.ScanLine(0)[15], 0); // padding is zero
}

TEST(DibConvertTest, UnavailableTargetsRaise) {
    TDIB page = whitePage(4, 1);
    EXPECT_EQ(errorOf([&] { page.ConvertTo(pf15bit); }), "Function not available :-(");
    EXPECT_EQ(errorOf([&] { page.ConvertTo(PixelFormat(9)); }), "Function not available :-(");
    EXPECT_EQ(page.Format(), pf1bit);
    page.ConvertTo(pf1bit); // already there: nothing
    EXPECT_EQ(page.BitCount(), 1);
}

TEST(DibResizeTest, HalfSizeTakesNearestPixelsWithTiesToEven) {
    // 2481 / 1240 * 620 is exactly 1240.5: half to even picks column 1240.
    TDIB even = whitePage(2481, 3508);
    even.Fill(0x00);
    for (int y = 0; y < 3508; ++y) even.SetPixel(1240, y, 1);
    TDIB odd = even.Clone();
    odd.Fill(0x00);
    for (int y = 0; y < 3508; ++y) odd.SetPixel(1241, y, 1);
    even.Resize(2481 / 2, 3508 / 2, false);
    odd.Resize(2481 / 2, 3508 / 2, false);
    ASSERT_EQ(even.Width(), 1240);
    ASSERT_EQ(even.Height(), 1754);
    EXPECT_EQ(even.Format(), pf1bit);
    EXPECT_EQ(even.GetPixel(620, 0), 1);
    EXPECT_EQ(even.GetPixel(620, 1753), 1);
    EXPECT_EQ(even.GetPixel(619, 10), 0);
    EXPECT_EQ(even.GetPixel(621, 10), 0);
    for (int x = 0; x < 1240; ++x) EXPECT_EQ(odd.GetPixel(x, 100), 0) << x;
}

TEST(DibResizeTest, RowsComeFromRoundedSourceRows) {
    TDIB grey;
    grey.NewImage(1, 7, pf8bit, 300, 300);
    for (int y = 0; y < 7; ++y) grey.SetPixel(0, y, y);
    grey.Resize(1, 2, false); // sy = 3.5: rows round(0) = 0 and round(3.5) = 4
    EXPECT_EQ(pixelsOf(grey), (std::vector<int>{0, 4}));
    grey.Resize(3, 4, false); // growing: every pixel from its nearest source
    EXPECT_EQ(pixelsOf(grey), (std::vector<int>{0, 0, 0, 0, 0, 0, 4, 4, 4, 4, 4, 4}));
}

TEST(DibResizeTest, CanvasKeepsTheTopLeftAndFillsTheRest) {
    TDIB page;
    page.NewImage(10, 3, pf1bit, 300, 300); // all black
    page.ResizeCanvas(20, 5, 0xFF);
    EXPECT_EQ(page.Width(), 20);
    EXPECT_EQ(page.Height(), 5);
    for (int x = 0; x < 20; ++x) {
        EXPECT_EQ(page.GetPixel(x, 0), x < 10 ? 0 : 1) << x; // column 10 shares a byte
        EXPECT_EQ(page.GetPixel(x, 4), 1) << x;
    }
    page.ResizeCanvas(3, 2, 0x00);
    EXPECT_EQ(pixelsOf(page), (std::vector<int>{0, 0, 0, 0, 0, 0}));
}

TEST(DibShiftTest, ShiftRowsMovesDownAndWhitensTheTop) {
    TDIB page = whitePage(16, 8);
    for (int y = 0; y < 8; ++y) page.SetPixel(y, y, 0); // a diagonal
    const TDIB original = page.Clone();
    page.ShiftRows(0);
    EXPECT_EQ(pixelsOf(page), pixelsOf(original));
    page.ShiftRows(3);
    for (int y = 0; y < 3; ++y) EXPECT_EQ(page.ScanLine(y)[0], 0xFF);
    for (int y = 3; y < 8; ++y) EXPECT_EQ(page.GetPixel(y - 3, y), 0) << y;
    for (int y = 3; y < 8; ++y) EXPECT_EQ(page.GetPixel(y, y), 1) << y; // old rows 5-7 dropped
    page.ShiftRows(-3);
    for (int y = 0; y < 5; ++y) EXPECT_EQ(page.GetPixel(y, y), 0) << y;
    for (int y = 5; y < 8; ++y) EXPECT_EQ(page.ScanLine(y)[1], 0xFF) << y;
    page.ShiftRows(100); // more than the height: all white
    for (int v : pixelsOf(page)) EXPECT_EQ(v, 1);
}

TEST(DibShiftTest, ShiftColumnsMovesPixelsAndFillsWithWhite) {
    TDIB grey;
    grey.NewImage(5, 1, pf8bit, 300, 300);
    for (int x = 0; x < 5; ++x) grey.SetPixel(x, 0, x + 1);
    grey.ShiftColumns(2);
    EXPECT_EQ(pixelsOf(grey), (std::vector<int>{255, 255, 1, 2, 3}));
    grey.ShiftColumns(-3);
    EXPECT_EQ(pixelsOf(grey), (std::vector<int>{2, 3, 255, 255, 255}));

    TDIB page;
    page.NewImage(11, 1, pf1bit, 300, 300); // black
    page.ShiftColumns(3);
    EXPECT_EQ(pixelsOf(page), (std::vector<int>{1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0}));

    TDIB words;
    words.NewImage(4, 1, pf16bit, 300, 300);
    EXPECT_EQ(errorOf([&] { words.ShiftColumns(1); }), "Bit depht not supported for ShiftLine !");
}

TEST(DibDeskewTest, SmallAnglesChangeNothing) {
    TDIB page = whitePage(300, 200);
    for (int x = 0; x < 300; ++x) page.SetPixel(x, 50, 0);
    const auto before = pixelsOf(page);
    page.ShearDeskew(true, false, true, 0.05, 0.05);
    EXPECT_EQ(pixelsOf(page), before);
    page.ShearDeskew(true, false, true, 0, 0);
    EXPECT_EQ(pixelsOf(page), before);
    page.ShearDeskew(true, false, true, -0.09, 0.09);
    EXPECT_EQ(pixelsOf(page), before);
}

TEST(DibDeskewTest, PositiveAnglesMoveColumnsDownAndRowsLeft) {
    // 200 x 100 page, a = b = 1 degree: B = round(sin 1 * 200) = 3, A =
    // round(cos(1 - 90) * 100) = 2, so column x moves down by 0.015 x and
    // row y left by 0.02 y.
    TDIB page = whitePage(200, 100);
    for (int x = 0; x < 200; ++x) page.SetPixel(x, 20, 0);  // horizontal line
    for (int y = 0; y < 100; ++y) page.SetPixel(150, y, 0); // vertical line
    page.ShearDeskew(true, false, true, 1.0, 1.0);

    auto blackRows = [&](int x) {
        std::vector<int> rows;
        for (int y = 0; y < 40; ++y)
            if (page.GetPixel(x, y) == 0) rows.push_back(y);
        return rows;
    };
    // Row 20 (shift 0.4) stays; column 10 (shift 0.15) too.
    EXPECT_EQ(blackRows(10), (std::vector<int>{20}));
    // Column 134: d = 2, t = 0.01: new P(y) = 0.01 P(y - 2) + 0.99 P(y - 1).
    EXPECT_EQ(blackRows(134), (std::vector<int>{21}));
    // Column 199: d = 2, t = 0.985: the line lands two rows lower.
    EXPECT_EQ(blackRows(199), (std::vector<int>{22}));
    // Rows 50 and below move left by one: the vertical line leaves column 150.
    EXPECT_EQ(page.GetPixel(149, 30), 1);
    EXPECT_EQ(page.GetPixel(149, 80), 0);
    // Filled with white where the content moved away.
    EXPECT_EQ(page.GetPixel(199, 80), 1);
}

TEST(DibDeskewTest, NegativeRowAngleMovesRowsRightWithTiesToEven) {
    // 4 x 4 page, b = -30 degrees: A = round(cos(-120) * 4) = -2, so row y
    // moves right by 0.5 y; row 3 by 1.5: d = 1, t = 0.5, and
    // new P(x) = round(0.5 P(x - 1) + 0.5 P(x)), halves to even.
    TDIB grey;
    grey.NewImage(4, 4, pf8bit, 300, 300);
    for (int x = 0; x < 4; ++x) {
        grey.SetPixel(x, 1, 20 + x);
        grey.SetPixel(x, 2, 30 + x);
        grey.SetPixel(x, 3, 10 + x);
    }
    grey.ShearDeskew(true, false, true, 0, -30.0);
    EXPECT_EQ(pixelsOf(grey), (std::vector<int>{0, 0, 0, 0,         //
                                                20, 21, 22, 23,     // shift 0.5: stays
                                                255, 31, 32, 33,    // shift 1, t = 0
                                                255, 10, 12, 12})); // 10.5, 11.5, 12.5
}

TEST(DibScaleToGrayTest, BoxesOfWhiteAndBlackBecomeEndLevels) {
    TDIB page = whitePage(16, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 4; ++x) page.SetPixel(x, y, 0); // first box black
    for (int y = 0; y < 4; ++y)
        for (int x = 4; x < 8; ++x) page.SetPixel(x, y, (x + y) % 2); // half white
    const TDIB gray = page.ScaleToGray(16, 25);                       // step 4, box 4 x 4
    ASSERT_EQ(gray.Width(), 4);
    ASSERT_EQ(gray.Height(), 2);
    EXPECT_EQ(gray.BitCount(), 4);
    EXPECT_EQ(gray.XDpi(), 300);
    EXPECT_EQ(gray.GetPixel(0, 0), 0);
    EXPECT_EQ(gray.GetPixel(3, 1), 15);
    // 8 of 16 white: the first level with (i + 1) * 16 / 16 >= 8 is 7.
    EXPECT_EQ(gray.GetPixel(1, 0), 7);
    EXPECT_EQ(gray.GetPaletteEntry(7), 119u * 0x010101);
    EXPECT_EQ(gray.GetPaletteEntry(15), 255u * 0x010101);
}

TEST(DibScaleToGrayTest, InvertedPaletteGivesComplementedGreys) {
    TDIB page = whitePage(8, 8);
    const PaletteColor whiteThenBlack[] = {{255, 255, 255, 0}, {0, 0, 0, 0}};
    page.SetPalette(whiteThenBlack);
    const TDIB gray = page.ScaleToGray(32, 50);
    EXPECT_EQ(gray.BitCount(), 8);
    EXPECT_EQ(gray.GetPaletteEntry(0), 0xFFFFFFu);
    EXPECT_EQ(gray.GetPaletteEntry(31), 7u * 0x010101); // (256 div 31) * 31 = 248
}

TEST(DibScaleToGrayTest, OnlyBilevelPages) {
    TDIB grey;
    grey.NewImage(4, 4, pf8bit, 300, 300);
    EXPECT_EQ(errorOf([&] { grey.ScaleToGray(16, 25); }),
              "This operation requires 1 bit per pixel bitmap !");
}

} // namespace
