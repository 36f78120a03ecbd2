// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "imaging/tiff_io.h"
#include "tests/zones/fake_zone_table.h"
#include "zones/outlined_image.h"

#include <gtest/gtest.h>
#include <tiffio.h>

#include <filesystem>
#include <unistd.h>

namespace {

using zones::ZoneRecord;
using zones::ZoneSource;

ZoneSource zonesOf(std::vector<ZoneRecord> zones) {
    return zonestest::fakeZoneSource(std::move(zones));
}

constexpr int kWhite = imaging::RgbValue(255, 255, 255);
constexpr int kBlue = imaging::RgbValue(0, 0, 255);
constexpr int kGrey = imaging::RgbValue(128, 128, 128);
constexpr int kRed = imaging::RgbValue(255, 0, 0);

// A white A4 page at 300 dpi (2481 x 3508) with one black pixel pair at (10, 10)-(11, 11).
imaging::TDIB whitePage() {
    imaging::TDIB page;
    page.NewImage(2481, 3508, imaging::pf1bit, 300, 300);
    page.Fill(0xFF);
    for (int y : {10, 11})
        for (int x : {10, 11}) page.SetPixel(x, y, 0);
    return page;
}

TEST(OutlinedImage, HalvesThePageAndOutlinesZonesUpToRightAndBottom) {
    const imaging::TDIB page = whitePage();
    // Halved: (50, 100) - (500, 300), label at (275, 200).
    const imaging::TDIB image = zones::outlinedImage(page, 2, zonesOf({{100, 200, 1001, 601, 6}}));
    ASSERT_EQ(image.Width(), 1240);
    ASSERT_EQ(image.Height(), 1754);
    ASSERT_EQ(image.BitCount(), 24);
    EXPECT_EQ(image.GetPixel(5, 5), 0) << "page content kept, in black";
    EXPECT_EQ(image.GetPixel(6, 6), kWhite);
    for (auto [x, y] :
         {std::pair{50, 100}, {499, 100}, {50, 299}, {499, 299}, {270, 100}, {50, 150}})
        EXPECT_EQ(image.GetPixel(x, y), kBlue) << x << "," << y;
    for (auto [x, y] : {std::pair{500, 100}, {50, 300}, {49, 100}, {50, 99}, {51, 101}, {498, 298}})
        EXPECT_EQ(image.GetPixel(x, y), kWhite) << x << "," << y;
    // The number sits below and right of the label point, inside the zone.
    int labelPixels = 0, labelLeft = 1 << 30, labelTop = 1 << 30;
    for (int y = 101; y < 299; ++y)
        for (int x = 51; x < 499; ++x)
            if (image.GetPixel(x, y) == kBlue) {
                ++labelPixels;
                labelLeft = std::min(labelLeft, x);
                labelTop = std::min(labelTop, y);
            }
    EXPECT_GT(labelPixels, 0);
    EXPECT_GE(labelLeft, 275);
    EXPECT_GE(labelTop, 200);
    EXPECT_LT(labelLeft, 285);
    EXPECT_LT(labelTop, 215);
}

TEST(OutlinedImage, LabelPointIsTakenFromTheDividedRectangle) {
    // Divided by 4: (25, 50) - (100, 150); the number's corner is at
    // ((25 + 100) div 4, (50 + 150) div 4) = (31, 50), on the zone's top edge.
    const imaging::TDIB image =
        zones::outlinedImage(whitePage(), 4, zonesOf({{100, 200, 400, 600, 5}}));
    EXPECT_EQ(image.Width(), 620);
    EXPECT_EQ(image.GetPixel(25, 50), kRed);
    EXPECT_EQ(image.GetPixel(99, 149), kRed);
    int labelTop = 1 << 30, labelLeft = 1 << 30;
    for (int y = 51; y < 149; ++y)
        for (int x = 26; x < 99; ++x)
            if (image.GetPixel(x, y) == kRed) {
                labelLeft = std::min(labelLeft, x);
                labelTop = std::min(labelTop, y);
            }
    EXPECT_GE(labelLeft, 31);
    EXPECT_LT(labelLeft, 40);
    EXPECT_LT(labelTop, 60) << "the number hangs from y = 50, not from the centre 100";
}

TEST(OutlinedImage, HiddenKindsAndUnknownCodes) {
    zones::ShownZoneKinds shown;
    shown.set(zones::ZoneKind::Text, false);
    const imaging::TDIB image = zones::outlinedImage(
        whitePage(), 2, zonesOf({{100, 200, 1001, 601, 6}, {1200, 200, 1401, 401, 9}}), shown);
    EXPECT_EQ(image.GetPixel(50, 100), kWhite) << "text hidden";
    EXPECT_EQ(image.GetPixel(600, 100), kGrey) << "code 9 drawn as noise";
    EXPECT_EQ(image.GetPixel(699, 199), kGrey);
    EXPECT_EQ(image.GetPixel(700, 200), kWhite);

    // Zones one pixel wide or high are lines; empty ones draw nothing.
    const imaging::TDIB thin = zones::outlinedImage(
        whitePage(), 2, zonesOf({{100, 200, 102, 260, 6}, {300, 200, 300, 260, 5}}));
    EXPECT_EQ(thin.GetPixel(50, 100), kBlue);
    EXPECT_EQ(thin.GetPixel(50, 129), kBlue);
    EXPECT_EQ(thin.GetPixel(51, 100), kWhite);
    EXPECT_EQ(thin.GetPixel(150, 100), kWhite);
}

TEST(OutlinedImage, PagesThinnerThanTheDivisorKeepOnePixel) {
    for (auto [width, height] : {std::pair{1, 1}, {3000, 1}, {1, 3000}}) {
        imaging::TDIB page;
        page.NewImage(width, height, imaging::pf1bit, 200, 200);
        page.Fill(0xFF);
        const imaging::TDIB image =
            zones::outlinedImage(page, 2, zonesOf({{0, 0, width, height, LA_CONTENT_TEXT}}));
        EXPECT_EQ(image.Width(), std::max(1, width / 2)) << width << " x " << height;
        EXPECT_EQ(image.Height(), std::max(1, height / 2)) << width << " x " << height;
        EXPECT_EQ(image.GetPixel(0, 0), kWhite); // the zone is empty once divided
    }
}

// A scratch folder, removed with everything in it whatever the test's outcome.
struct ScratchFolder {
    ScratchFolder()
        : path(std::filesystem::temp_directory_path() /
               ("quadrel-outlined-" + std::to_string(::getpid()))) {
        std::filesystem::create_directories(path);
    }
    ~ScratchFolder() { std::filesystem::remove_all(path); }
    std::filesystem::path path;
};

TEST(OutlinedImage, WritesAnLzwRgbTiffInOneStripAndLeavesThePageAlone) {
    const ScratchFolder scratch;
    const std::filesystem::path& dir = scratch.path;
    const imaging::TDIB page = whitePage();
    const std::vector<std::uint8_t> before(page.Block().begin(), page.Block().end());
    const auto file = dir / "outlined.tif";
    zones::WriteOutlinedImage(page, file, 2, zonesOf({{100, 200, 1001, 601, 0}}));
    EXPECT_TRUE(std::equal(before.begin(), before.end(), page.Block().begin(), page.Block().end()));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1)
        << "no temporary left";

    TIFF* tiff = TIFFOpen(file.c_str(), "r");
    ASSERT_NE(tiff, nullptr);
    std::uint32_t width = 0, height = 0;
    std::uint16_t bits = 0, samples = 0, compression = 0, photometric = 0;
    TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height);
    TIFFGetField(tiff, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetField(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetField(tiff, TIFFTAG_COMPRESSION, &compression);
    TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &photometric);
    EXPECT_EQ(width, 1240u);
    EXPECT_EQ(height, 1754u);
    EXPECT_EQ(bits, 8);
    EXPECT_EQ(samples, 3);
    EXPECT_EQ(compression, COMPRESSION_LZW);
    EXPECT_EQ(photometric, PHOTOMETRIC_RGB);
    EXPECT_EQ(TIFFNumberOfStrips(tiff), 1u);
    // Row 100 holds the top edge of the yellow line zone from x = 50 to 499.
    std::vector<std::uint8_t> row(std::size_t(TIFFScanlineSize(tiff)));
    for (std::uint32_t y = 0; y <= 100; ++y) // one compressed strip: rows in order
        ASSERT_EQ(TIFFReadScanline(tiff, row.data(), y, 0), 1);
    EXPECT_EQ((std::vector<int>{row[150], row[151], row[152]}), (std::vector<int>{255, 255, 0}));
    EXPECT_EQ((std::vector<int>{row[1500], row[1501], row[1502]}),
              (std::vector<int>{255, 255, 255}));
    TIFFClose(tiff);

    // A folder that does not exist: an error, and nothing written.
    EXPECT_ANY_THROW(zones::WriteOutlinedImage(page, dir / "no" / "x.tif", 2, zonesOf({})));
}

} // namespace
