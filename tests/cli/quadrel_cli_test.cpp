// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// End-to-end runs of the quadrel program on generated and real pages.
#include "library/la_api.h"
#include "tests/cli/cli_fixture.h"
#include "tests/cli/quadrel_run.h"
#include "tests/cli/tiff_files.h"
#include "tests/support/test_page.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <tiffio.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <unistd.h>

namespace {

using clitest::contentsOf;
using clitest::kNotBlackAndWhite;
using clitest::letterAndTablePage;
using clitest::linesOf;
using clitest::QuadrelCli;
using clitest::runQuadrel;
using nlohmann::json;
using testsupport::TestPage;

TEST_F(QuadrelCli, BadCommandLinesExitWithTwoAndPrintNothingOnStdout) {
    const std::string page = generatedPage();
    const std::vector<std::vector<std::string>> bad{
        {},
        {"--pipe", "3", page},
        {"--pipe", "1,,2", page},
        {"--pipe", "1,2,4,8,16,32,1,2,4,8,16,32,1,2,4,8,16,32,1,2,4", page},
        {"--param", "600=1", page},
        {"--param", "500=1", page},
        {"--param", "400", page},
        {"--param", "400=x", page},
        {"--page", "1", "--all-pages", page},
        {"--page", "-1", page},
        {"--jobs", "0", page},
        {"--no-such-option", page},
    };
    for (const auto& args : bad) {
        const clitest::RunResult r = runQuadrel(args);
        EXPECT_EQ(r.exitCode, 2) << (args.empty() ? "(no arguments)" : args[0]);
        EXPECT_TRUE(r.out.empty()) << r.out;
        EXPECT_FALSE(r.err.empty());
    }
}

TEST_F(QuadrelCli, HelpAndVersionExitWithZero) {
    const clitest::RunResult help = runQuadrel({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    for (const char* option :
         {"--page", "--all-pages", "--pipe", "--param", "--xml", "--outlined", "--page-xml",
          "--alto", "--hocr", "--deskewed", "--json", "--jobs", "--binarize", "--quiet"})
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
    const clitest::RunResult version = runQuadrel({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.rfind("quadrel ", 0), 0u) << version.out;
}

TEST_F(QuadrelCli, DefaultOutputIsAZoneTableAndASummary) {
    const clitest::RunResult r = runQuadrel({generatedPage()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(r.err.empty()) << "no progress bar when stderr is not a terminal: " << r.err;
    const auto lines = linesOf(r.out);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_NE(lines[0].find("generated.tif, page 0: 1200 x 900 pixels, skew not measured"),
              std::string::npos)
        << lines[0];
    EXPECT_NE(lines[1].find("content"), std::string::npos);
    EXPECT_NE(r.out.find("Text"), std::string::npos);
    EXPECT_EQ(lines.back().rfind("1 page: 1 analysed, 0 failed, ", 0), 0u) << lines.back();

    const clitest::RunResult quiet = runQuadrel({"--quiet", generatedPage()});
    EXPECT_EQ(quiet.exitCode, 0);
    EXPECT_TRUE(quiet.out.empty()) << quiet.out;
}

TEST_F(QuadrelCli, ProgressBarOnlyOnATerminalAndForSeveralPages) {
    const std::string a = generatedPage("a.tif"), b = generatedPage("b.tif");
    const clitest::RunResult several = clitest::runQuadrelOnTerminal({a, b});
    EXPECT_EQ(several.exitCode, 0);
    EXPECT_NE(several.err.find("] 2/2 pages"), std::string::npos) << several.err;
    EXPECT_EQ(several.out, runQuadrel({a, b}).out) << "the bar never reaches stdout";
    EXPECT_EQ(clitest::runQuadrelOnTerminal({a}).err, "") << "one page: no bar";
    EXPECT_EQ(clitest::runQuadrelOnTerminal({"--quiet", a, b}).err, "");
    EXPECT_EQ(runQuadrel({a, b}).err, "") << "not a terminal: no bar";
}

TEST_F(QuadrelCli, JsonZonesAreThoseOfTheLibraryOnARealPage) {
    const std::string file = ccitt(2);
    auto page = testsupport::loadCcittPage(2);
    if (file.empty() || !page) GTEST_SKIP() << "CCITT test pages not installed";
    const json report = runJson({file});
    ASSERT_EQ(report.at("pages").size(), 1u);
    const json& p = report["pages"][0];
    EXPECT_EQ(p.at("width"), 1728);
    EXPECT_EQ(p.at("height"), 2376);
    EXPECT_EQ(p.at("skew"), 0);
    EXPECT_EQ(p.at("skew_measured"), false);

    platform::GlobalBlockOwner dib = page->toDib();
    LaContext* ctx = LA_Init("", "");
    ASSERT_EQ(LA_Execute(ctx, dib.get()), 0);
    ASSERT_EQ(p.at("zones").size(), std::size_t(LA_GetZonesCount(ctx)));
    ASSERT_GT(LA_GetZonesCount(ctx), 0);
    for (std::int32_t i = 0; i < LA_GetZonesCount(ctx); ++i) {
        std::int32_t l, t, r, b, c;
        LA_GetZoneRect(ctx, i, &l, &t, &r, &b);
        LA_GetZoneContent(ctx, i, &c);
        const json& z = p["zones"][std::size_t(i)];
        EXPECT_EQ(z.at("index"), i);
        EXPECT_EQ((std::vector<int>{z["left"], z["top"], z["right"], z["bottom"], z["content"]}),
                  (std::vector<int>{l, t, r, b, c}))
            << "zone " << i;
    }
    LA_Done(ctx);
    EXPECT_EQ(report.at("summary").at("zones"), p.at("zones").size());
}

TEST_F(QuadrelCli, OneBadFileAmongGoodOnesFailsAloneWithExitOne) {
    const std::string good = generatedPage();
    std::ofstream(path("bad.tif")) << "this is not a TIFF file\n";
    const std::string missing = path("missing.tif");
    const clitest::RunResult r = runQuadrel({path("bad.tif"), good, missing, "--json"});
    EXPECT_EQ(r.exitCode, 1);
    const auto errors = linesOf(r.err);
    ASSERT_EQ(errors.size(), 2u) << r.err;
    EXPECT_EQ(errors[0].rfind("quadrel: " + path("bad.tif") + ", all pages: ", 0), 0u) << errors[0];
    EXPECT_EQ(errors[1].rfind("quadrel: " + missing + ", all pages: ", 0), 0u) << errors[1];
    const json report = json::parse(r.out);
    ASSERT_EQ(report.at("pages").size(), 1u);
    EXPECT_EQ(report["pages"][0].at("file"), good);
    ASSERT_EQ(report.at("failures").size(), 2u);
    EXPECT_EQ(report["failures"][1].at("file"), missing);
    EXPECT_EQ(report.at("summary").at("failed"), 2);
}

TEST_F(QuadrelCli, TwoJobsGiveTheSameOutputAsOne) {
    std::vector<std::string> files{generatedPage("a.tif"), path("broken.tif")};
    std::ofstream(path("broken.tif")) << "II*\0garbage";
    for (int n : {1, 3})
        if (!ccitt(n).empty()) files.push_back(ccitt(n));
    files.push_back(generatedPage("b.tif"));
    for (const char* format : {"--json", "--quiet"}) {
        auto args = files;
        args.push_back(format);
        args.push_back("--jobs");
        args.push_back("1");
        const clitest::RunResult one = runQuadrel(args);
        args.back() = "2";
        const clitest::RunResult two = runQuadrel(args);
        EXPECT_EQ(one.exitCode, 1);
        EXPECT_EQ(two.exitCode, 1);
        EXPECT_EQ(one.out, two.out);
        EXPECT_EQ(one.err, two.err);
    }
}

TEST_F(QuadrelCli, PipeCodesReachTheLibrary) {
    const std::string page = generatedPage();
    const json byDefault = runJson({page})["pages"][0];
    EXPECT_TRUE(contentsOf(byDefault).count(6)) << "text zones with the default pipe";
    EXPECT_TRUE(contentsOf(byDefault).count(1)) << "a table with the default pipe";

    const json linesOnly = runJson({"--pipe", "2", page})["pages"][0];
    ASSERT_FALSE(linesOnly.at("zones").empty());
    for (int code : contentsOf(linesOnly)) EXPECT_LE(code, 3) << "only ruling zones with --pipe 2";

    EXPECT_FALSE(byDefault.at("skew_measured"));
    const json skew = runJson({"--pipe", "1,2,8,4,32", page})["pages"][0];
    EXPECT_TRUE(skew.at("skew_measured")) << "parameter 600 reads a measured angle";
}

TEST_F(QuadrelCli, SkewIsMeasuredOnATiltedPage) {
    // Text lines that climb 1 pixel every 30 columns (about 1.9 degrees).
    TestPage page(1200, 900);
    for (int line = 0; line < 10; ++line)
        for (int letter = 0; letter < 45; ++letter) {
            const int x = 60 + letter * 24;
            page.fillRect(x, 120 + line * 60 + x / 30, 14, 20);
        }
    clitest::writeBilevelTiff(path("tilted.tif"), {page});
    const json p = runJson({"--pipe", "1", path("tilted.tif")})["pages"][0];
    EXPECT_TRUE(p.at("skew_measured"));
    EXPECT_NE(p.at("skew"), 0);
}

TEST_F(QuadrelCli, ParametersReachTheLibrary) {
    const std::string page = generatedPage();
    // The noise rule: text blocks smaller than parameter 400 both ways become noise.
    const json huge = runJson({"--param", "400=1000", page})["pages"][0];
    EXPECT_FALSE(contentsOf(huge).count(6)) << "no text survives a huge noise size";
    EXPECT_TRUE(contentsOf(huge).count(7));
    // The same value through a pipe of our own, and the last setting winning.
    const json viaPipe = runJson(
        {"--pipe", "2,8,4,32", "--param", "400=3", "--param", "400=1000", page})["pages"][0];
    EXPECT_EQ(viaPipe.at("zones"), huge.at("zones"));
    // A pipe of our own starts from the default values: same zones as the default pipe.
    EXPECT_EQ(runJson({"--pipe", "2,8,4,32", page})["pages"][0].at("zones"),
              runJson({page})["pages"][0].at("zones"));
}

TEST_F(QuadrelCli, GreyPageIsRefusedUnlessBinarized) {
    const TestPage bilevel = letterAndTablePage();
    clitest::writeBilevelTiff(path("bilevel.tif"), {bilevel});
    // Dark marks 30-50 on a light background 200-230: any Otsu split lands between.
    clitest::writeGreyTiff(path("grey.tif"), bilevel.width(), bilevel.height(), [&](int x, int y) {
        const bool black = bilevel.black(x, bilevel.height() - 1 - y);
        return black ? 30 + (x + y) % 21 : 200 + (x * 7 + y) % 31;
    });
    const clitest::RunResult refused = runQuadrel({path("grey.tif")});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.err, "quadrel: " + path("grey.tif") + ", page 0: " + kNotBlackAndWhite +
                               "\nquadrel: use --binarize to threshold grey and colour pages "
                               "(Otsu) before the analysis\n");

    const json binarized = runJson({"--binarize", path("grey.tif")})["pages"][0];
    const json reference = runJson({path("bilevel.tif")})["pages"][0];
    EXPECT_FALSE(binarized.at("zones").empty());
    EXPECT_EQ(binarized.at("zones"), reference.at("zones"));
}

TEST_F(QuadrelCli, PagesAreChosenByNumberOrAll) {
    TestPage second = letterAndTablePage();
    second.fillRect(0, 0, 1200, 450, false); // keeps only the upper half
    clitest::writeBilevelTiff(path("two.tif"), {letterAndTablePage(), second});
    const json all = runJson({"--all-pages", path("two.tif")});
    ASSERT_EQ(all.at("pages").size(), 2u);
    EXPECT_EQ(all["pages"][1].at("page"), 1);
    const json one = runJson({"--page", "1", path("two.tif")});
    EXPECT_EQ(one["pages"][0].at("zones"), all["pages"][1].at("zones"));
    EXPECT_NE(all["pages"][0].at("zones"), all["pages"][1].at("zones"));

    const clitest::RunResult beyond = runQuadrel({"--page", "2", path("two.tif")});
    EXPECT_EQ(beyond.exitCode, 1);
    EXPECT_NE(beyond.err.find(", page 2: "), std::string::npos) << beyond.err;
}

TEST_F(QuadrelCli, XmlAndOutlinedImageOfOnePage) {
    const std::string page = generatedPage();
    const json report = runJson({"--xml", path("page.xml"), "--outlined", path("page.tif"), page});
    const json& zones = report["pages"][0]["zones"];

    std::ifstream in(path("page.xml"), std::ios::binary);
    const std::string xml{std::istreambuf_iterator<char>(in), {}};
    std::size_t crlf = 0;
    for (std::size_t p = 0; (p = xml.find("\r\n", p)) != std::string::npos; p += 2) ++crlf;
    EXPECT_EQ(crlf, 3 + 1 + 7 * zones.size() + 1);
    EXPECT_EQ(std::count(xml.begin(), xml.end(), '\n'), std::ptrdiff_t(crlf)) << "no bare LF";
    EXPECT_NE(xml.find("<zones count=\"" + std::to_string(zones.size()) + "\">\r\n"),
              std::string::npos);

    TIFF* tiff = TIFFOpen(path("page.tif").c_str(), "r");
    ASSERT_NE(tiff, nullptr);
    std::uint32_t width = 0, height = 0;
    std::uint16_t samples = 0, compression = 0;
    TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height);
    TIFFGetField(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetField(tiff, TIFFTAG_COMPRESSION, &compression);
    EXPECT_EQ(width, 600u);
    EXPECT_EQ(height, 450u);
    EXPECT_EQ(samples, 3);
    EXPECT_EQ(compression, COMPRESSION_LZW);
    EXPECT_EQ(TIFFNumberOfStrips(tiff), 1u);
    std::vector<std::uint32_t> raster(std::size_t(width) * height);
    ASSERT_TRUE(
        TIFFReadRGBAImageOriented(tiff, width, height, raster.data(), ORIENTATION_TOPLEFT, 0));
    TIFFClose(tiff);
    // The top-left corner of the last zone drawn (nothing covers it) is in the zone's colour.
    const json& z = zones.back();
    const std::uint32_t pixel = raster[std::size_t(z["top"].get<int>() / 2) * width +
                                       std::size_t(z["left"].get<int>() / 2)];
    const std::map<int, std::uint32_t> colours{
        {0, 0xFFFF00}, {1, 0x800080}, {2, 0x008080}, {3, 0x800000}, {6, 0x0000FF}};
    const std::uint32_t rgb = TIFFGetR(pixel) << 16 | TIFFGetG(pixel) << 8 | TIFFGetB(pixel);
    EXPECT_EQ(rgb, colours.at(z["content"].get<int>()));
}

TEST_F(QuadrelCli, OutlinedImageOfAPageThinnerThanTwoPixels) {
    for (auto [width, height] : {std::pair{1, 1}, {3000, 1}, {1, 3000}}) {
        TestPage page(width, height);
        page.set(0, 0);
        clitest::writeBilevelTiff(path("thin.tif"), {page});
        const clitest::RunResult r =
            runQuadrel({"--quiet", "--outlined", path("outlined.tif"), path("thin.tif")});
        EXPECT_EQ(r.exitCode, 0) << width << " x " << height << ": " << r.err;
        TIFF* tiff = TIFFOpen(path("outlined.tif").c_str(), "r");
        ASSERT_NE(tiff, nullptr);
        std::uint32_t outWidth = 0, outHeight = 0;
        TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &outWidth);
        TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &outHeight);
        TIFFClose(tiff);
        EXPECT_EQ(outWidth, std::uint32_t(std::max(1, width / 2)));
        EXPECT_EQ(outHeight, std::uint32_t(std::max(1, height / 2)));
    }
}

TEST_F(QuadrelCli, SeveralInputsWriteIntoFoldersNamedAfterInputAndPage) {
    const std::string a = generatedPage("a.tif");
    clitest::writeBilevelTiff(path("b.tif"), {letterAndTablePage(), letterAndTablePage()});
    const clitest::RunResult r =
        runQuadrel({"--all-pages", "--jobs", "2", "--quiet", "--xml", path("xml"), "--outlined",
                    path("outlined"), a, path("b.tif")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::set<std::string> xmlFiles, tifFiles;
    for (const auto& e : std::filesystem::directory_iterator(dir_ / "xml"))
        xmlFiles.insert(e.path().filename().string());
    for (const auto& e : std::filesystem::directory_iterator(dir_ / "outlined"))
        tifFiles.insert(e.path().filename().string());
    EXPECT_EQ(xmlFiles, (std::set<std::string>{"a-p0.xml", "b-p0.xml", "b-p1.xml"}));
    EXPECT_EQ(tifFiles, (std::set<std::string>{"a-p0.tif", "b-p0.tif", "b-p1.tif"}));

    // Two inputs with one name would overwrite each other's files.
    std::filesystem::create_directories(dir_ / "other");
    std::filesystem::copy_file(a, dir_ / "other" / "a.tif");
    EXPECT_EQ(runQuadrel({"--xml", path("xml"), a, path("other/a.tif")}).exitCode, 2);
}

// The outlined image is drawn by a module loaded only when asked for: a copy
// of the program without it still analyses, and --outlined says what is missing.
TEST_F(QuadrelCli, OutlinedImageNeedsTheOutlineModuleAndNothingElseDoes) {
    const std::filesystem::path program(QUADREL_CLI_PATH);
    const std::filesystem::path alone = dir_ / "alone";
    std::filesystem::create_directories(alone);
    std::filesystem::copy_file(program, alone / "quadrel");
    for (const char* library : {"libquadrel.so.1", "libquadrel_memory.so.1"})
        std::filesystem::copy_file(program.parent_path() / library, alone / library);
    const std::string page = generatedPage();

    const clitest::RunResult plain =
        clitest::runProgram((alone / "quadrel").string(), {"--json", "--xml", path("p.xml"), page});
    EXPECT_EQ(plain.exitCode, 0) << plain.err;
    EXPECT_TRUE(std::filesystem::exists(path("p.xml")));

    const clitest::RunResult outlined =
        clitest::runProgram((alone / "quadrel").string(), {"--outlined", path("p.tif"), page});
    EXPECT_EQ(outlined.exitCode, 1);
    EXPECT_NE(outlined.err.find("quadrel: --outlined needs libquadrel_outline.so, which cannot be "
                                "loaded: "),
              std::string::npos)
        << outlined.err;
    EXPECT_FALSE(std::filesystem::exists(path("p.tif")));
}

} // namespace
