// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The help that teaches, the parameter ranges it documents, and the
// outlined image's labels and resolution.
#include "library/la_api.h"
#include "tests/cli/cli_fixture.h"

#include <tiffio.h>

namespace {

using clitest::QuadrelCli;
using clitest::runQuadrel;

TEST_F(QuadrelCli, HelpTeachesCodesParametersStatusesAndExamples) {
    const clitest::RunResult help = runQuadrel({"--help"});
    ASSERT_EQ(help.exitCode, 0);
    const std::string& h = help.out;
    for (const char* text :
         {"   1  skew detection: ", "   2  lines and tables: ", "   4  line removal: ",
          "   8  inverse text: ", "  16  pictures: ", "  32  text blocks: ",
          "  100     2       80  1..100000  pixels", "  102     2        3  0..3       bit mask",
          "  203     4        7  any", "  400    32        9  1..1000    pixels",
          "EXIT STATUS\n  0  ", "\n  1  ", "\n  2  the command line cannot be used",
          "--photometric-as-written", "white-is-zero", "--no-labels", "- reads one file from"})
        EXPECT_NE(h.find(text), std::string::npos) << text;
    const std::string examples = h.substr(h.find("EXAMPLES"));
    std::size_t runs = 0;
    for (const std::string& line : clitest::linesOf(examples))
        runs += line.find("quadrel ") != std::string::npos ? 1 : 0;
    EXPECT_EQ(runs, 3u) << examples;
}

TEST_F(QuadrelCli, ParameterValuesOutsideTheirRangeAreRefused) {
    const std::string page = generatedPage();
    for (const char* setting : {"400=0", "400=1001", "102=4", "202=-1", "100=0", "201=100001"}) {
        const clitest::RunResult r = runQuadrel({"--param", setting, page});
        EXPECT_EQ(r.exitCode, 2) << setting;
        EXPECT_TRUE(r.out.empty());
        EXPECT_NE(r.err.find(std::string("--param ") + setting + ": out of range"),
                  std::string::npos)
            << r.err;
    }
    const clitest::RunResult r = runQuadrel({"--param", "400=1001", page});
    EXPECT_NE(r.err.find("takes 1 to 1000 pixels"), std::string::npos) << r.err;
    for (const char* setting : {"400=1", "400=1000", "102=0", "203=-5", "301=2147483647"})
        EXPECT_EQ(runQuadrel({"--quiet", "--param", setting, page}).exitCode, 0) << setting;
}

struct Outlined {
    std::uint32_t width = 0, height = 0;
    float xResolution = 0, yResolution = 0;
    std::size_t colouredPixels = 0; // neither black, white nor grey
};

Outlined readOutlined(const std::string& file) {
    Outlined o;
    TIFF* tiff = TIFFOpen(file.c_str(), "r");
    if (!tiff) return o;
    TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &o.width);
    TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &o.height);
    TIFFGetField(tiff, TIFFTAG_XRESOLUTION, &o.xResolution);
    TIFFGetField(tiff, TIFFTAG_YRESOLUTION, &o.yResolution);
    std::vector<std::uint32_t> raster(std::size_t(o.width) * o.height);
    if (TIFFReadRGBAImage(tiff, o.width, o.height, raster.data(), 0))
        for (std::uint32_t p : raster)
            o.colouredPixels += TIFFGetR(p) != TIFFGetG(p) || TIFFGetG(p) != TIFFGetB(p);
    TIFFClose(tiff);
    return o;
}

TEST_F(QuadrelCli, OutlinedImageIsHalfSizeAtHalfResolutionWithOptionalNumbers) {
    const std::string page = generatedPage(); // 1200 x 900 at 200 dpi
    ASSERT_EQ(runQuadrel({"--outlined", path("numbered.tif"), page}).exitCode, 0);
    const clitest::RunResult bare =
        runQuadrel({"--no-labels", "--outlined", path("bare.tif"), page});
    ASSERT_EQ(bare.exitCode, 0) << bare.err;
    const Outlined numbered = readOutlined(path("numbered.tif"));
    const Outlined plain = readOutlined(path("bare.tif"));
    EXPECT_EQ(numbered.width, 600u);
    EXPECT_EQ(numbered.height, 450u);
    EXPECT_EQ(numbered.xResolution, 100.0f) << "prints at the page's size";
    EXPECT_EQ(numbered.yResolution, 100.0f);
    EXPECT_EQ(plain.xResolution, 100.0f);
    ASSERT_GT(plain.colouredPixels, 0u) << "the outlines are drawn";
    EXPECT_GT(numbered.colouredPixels, plain.colouredPixels) << "only the numbers are left out";
}

} // namespace
