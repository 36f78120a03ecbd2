// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Format detection of the image loader, BMP through Qt, and PNG.
#include "imaging/image_loader.h"
#include "imaging/image_stream.h"
#include "tests/imaging/tiff_fixtures.h"

#include <QBuffer>
#include <QImage>

#include <gtest/gtest.h>

namespace {

using namespace imaging;
using imagingtest::pixelsOf;

std::string loadError(std::vector<std::uint8_t> bytes) {
    MemoryStream stream(std::move(bytes));
    TDIB image;
    try {
        LoadFromStream(image, stream, 0);
    } catch (const ImageError& e) {
        return e.what();
    }
    return "loaded";
}

TEST(ImageLoaderTest, BmpFilesWrittenByTheImageComeBack) {
    for (PixelFormat format : {pf1bit, pf8bit, pf24bit}) {
        TDIB image;
        image.NewImage(13, 5, format, 300, 150);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 13; ++x) image.SetPixel(x, y, (x + y) % 2 ? 0xFFFFFF : x * 9);
        MemoryStream stream;
        image.SaveToBmp(stream);
        stream.Seek(0, SeekOrigin::Begin);
        TDIB loaded;
        EXPECT_EQ(LoadFromStream(loaded, stream, 0), tcAuto);
        EXPECT_EQ(loaded.Format(), format);
        EXPECT_EQ(loaded.XDpi(), 300);
        EXPECT_EQ(loaded.YDpi(), 150);
        EXPECT_EQ(pixelsOf(loaded), pixelsOf(image)) << int(format);
        EXPECT_EQ(loaded.GetPalette().size(), image.GetPalette().size());
    }
}

TEST(ImageLoaderTest, PngFilesLoad) {
    QImage source(3, 2, QImage::Format_RGB32);
    source.fill(qRgb(10, 20, 30));
    source.setPixel(1, 1, qRgb(200, 100, 50));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(source.save(&buffer, "PNG"));
    MemoryStream stream(std::vector<std::uint8_t>(png.begin(), png.end()));
    TDIB image;
    LoadFromStream(image, stream, 0);
    EXPECT_EQ(image.Format(), pf24bit);
    EXPECT_EQ(image.GetPixel(0, 0), RgbValue(10, 20, 30));
    EXPECT_EQ(image.GetPixel(1, 1), RgbValue(200, 100, 50));
}

TEST(ImageLoaderTest, OtherFormatsAreRefusedClearly) {
    EXPECT_EQ(loadError({'G', 'I', 'F', '8', '9', 'a', 0, 0}), "GIF images are not supported");
    EXPECT_EQ(loadError({0xFF, 0xD8, 0xFF, 0xE0, 0, 0x10}), "JPEG images are not supported");
    EXPECT_EQ(loadError({'h', 'e', 'l', 'l', 'o'}), "Unknown image format");
    MemoryStream stream(std::vector<std::uint8_t>{'x', 'x', 'G', 'I', 'F', '8'});
    stream.Seek(2, SeekOrigin::Begin); // detection starts at the position and returns to it
    TDIB gif;
    EXPECT_THROW(LoadFromStream(gif, stream, 0), ImageError);
    EXPECT_EQ(stream.Position(), 2);
    EXPECT_EQ(loadError({}), "Unknown image format");
    EXPECT_EQ(loadError({'B', 'M', 1, 2, 3}), "Invalid BMP image");
    EXPECT_EQ(loadError({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0}), "Invalid PNG image");
    TDIB image;
    try {
        LoadFromFile(image, "/nonexistent/page.tif", 0);
        FAIL();
    } catch (const ImageError& e) {
        EXPECT_STREQ(e.what(), "Cannot open file: /nonexistent/page.tif");
    }
}

} // namespace
