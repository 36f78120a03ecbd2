// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Drawing on an image through its canvas, and stretching it onto a painter.
#include "imaging/dib_image.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

using namespace imaging;

TEST(CanvasTest, DrawingOnAColourImageEndsUpInItsPixels) {
    TDIB image;
    image.NewImage(20, 10, pf24bit, 300, 300);
    image.Fill(0xFF);
    QPainter* painter = image.CanvasHandle();
    ASSERT_NE(painter, nullptr);
    EXPECT_EQ(image.CanvasHandle(), painter); // opened once
    painter->setPen(QColor(255, 0, 0));
    painter->drawRect(2, 2, 5, 4);
    image.CloseCanvas();
    EXPECT_FALSE(image.CanvasOpen());
    EXPECT_EQ(image.GetPixel(2, 2), RgbValue(255, 0, 0));
    EXPECT_EQ(image.ScanLine(2)[3 * 2 + 2], 255); // red is the third stored byte
    EXPECT_EQ(image.GetPixel(7, 6), RgbValue(255, 0, 0));
    EXPECT_EQ(image.GetPixel(4, 4), 0xFFFFFF); // hollow
    EXPECT_EQ(image.GetPixel(0, 0), 0xFFFFFF);
}

TEST(CanvasTest, PaletteImagesTakeTheNearestEntry) {
    TDIB page;
    page.NewImage(16, 4, pf1bit, 300, 300);
    page.Fill(0xFF);
    QPainter* painter = page.CanvasHandle();
    painter->setPen(QColor(200, 0, 0)); // nearer black than white
    painter->drawLine(0, 1, 15, 1);
    painter->setPen(QColor(230, 230, 230)); // nearer white
    painter->drawLine(0, 2, 15, 2);
    page.CloseCanvas();
    for (int x = 0; x < 16; ++x) {
        EXPECT_EQ(page.GetPixel(x, 0), 1);
        EXPECT_EQ(page.GetPixel(x, 1), 0);
        EXPECT_EQ(page.GetPixel(x, 2), 1);
    }
}

TEST(CanvasTest, StretchDrawScalesTheWholeImage) {
    TDIB page;
    page.NewImage(4, 2, pf1bit, 300, 300);
    page.Fill(0xFF);
    page.SetPixel(0, 0, 0);
    QImage target(8, 4, QImage::Format_RGB32);
    target.fill(Qt::blue);
    {
        QPainter painter(&target);
        page.StretchDraw(painter, 0, 0, 8, 4, 0);
        EXPECT_FALSE(painter.testRenderHint(QPainter::SmoothPixmapTransform));
    }
    EXPECT_EQ(target.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(target.pixel(1, 1), qRgb(0, 0, 0));
    EXPECT_EQ(target.pixel(2, 0), qRgb(255, 255, 255));
    EXPECT_EQ(target.pixel(7, 3), qRgb(255, 255, 255));
}

} // namespace
