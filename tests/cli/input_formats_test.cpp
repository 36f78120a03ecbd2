// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// What the program reads: PNG and netpbm pages beside TIFF, standard input,
// every page of a file, and the photometric reading of Group 4 pages.
#include "tests/cli/cli_fixture.h"
#include "tests/cli/page_files.h"
#include "tests/cli/tiff_files.h"

#include <fstream>

namespace {

using clitest::kNotBlackAndWhite;
using clitest::letterAndTablePage;
using clitest::QuadrelCli;
using clitest::runQuadrel;
using clitest::runQuadrelWithStreams;
using nlohmann::json;
using testsupport::TestPage;

TEST_F(QuadrelCli, PngAndNetpbmPagesGiveTheZonesOfTheSameTiffPage) {
    const TestPage page = letterAndTablePage();
    const json reference = runJson({generatedPage()})["pages"][0].at("zones");
    ASSERT_FALSE(reference.empty());
    clitest::writePng(path("page.png"), page);
    clitest::writePbm(path("page.pbm"), page);
    clitest::writePgm(path("page.pgm"), page);
    for (const char* name : {"page.png", "page.pbm"})
        EXPECT_EQ(runJson({path(name)})["pages"][0].at("zones"), reference) << name;
    EXPECT_EQ(runJson({"--binarize", path("page.pgm")})["pages"][0].at("zones"), reference);

    const clitest::RunResult grey = runQuadrel({path("page.pgm")});
    EXPECT_EQ(grey.exitCode, 1);
    EXPECT_NE(grey.err.find(kNotBlackAndWhite), std::string::npos) << grey.err;
    EXPECT_NE(grey.err.find("\nquadrel: use --binarize"), std::string::npos) << grey.err;

    std::ofstream(path("notes.txt")) << "plain words";
    const clitest::RunResult unknown = runQuadrel({path("notes.txt")});
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_NE(unknown.err.find("Unknown image format"), std::string::npos) << unknown.err;
}

TEST_F(QuadrelCli, DashReadsOnePageFileFromStandardInput) {
    const std::string tiff = generatedPage();
    const json reference = runJson({tiff})["pages"][0].at("zones");
    clitest::writePng(path("page.png"), letterAndTablePage());
    for (const std::string& input : {tiff, path("page.png")}) {
        const clitest::RunResult r = runQuadrelWithStreams({"--json", "-"}, input, "");
        ASSERT_EQ(r.exitCode, 0) << r.err;
        const json report = json::parse(r.out);
        EXPECT_EQ(report["pages"][0].at("file"), "-");
        EXPECT_EQ(report["pages"][0].at("zones"), reference) << input;
    }
    // Several pages on standard input: each is analysed, in worker processes too.
    clitest::writeBilevelTiff(path("two.tif"), {letterAndTablePage(), letterAndTablePage()});
    const clitest::RunResult two =
        runQuadrelWithStreams({"--json", "--jobs", "2", "-"}, path("two.tif"), "");
    ASSERT_EQ(two.exitCode, 0) << two.err;
    EXPECT_EQ(json::parse(two.out).at("pages").size(), 2u);

    std::ofstream(path("empty")).flush();
    const clitest::RunResult empty = runQuadrelWithStreams({"-"}, path("empty"), "");
    EXPECT_EQ(empty.exitCode, 1);
    EXPECT_NE(empty.err.find("standard input is empty"), std::string::npos) << empty.err;
    EXPECT_EQ(runQuadrel({"-", "-"}).exitCode, 2) << "standard input is read once";
}

TEST_F(QuadrelCli, EveryPageOfAThreePageFileIsAnalysedUnlessOneIsPicked) {
    TestPage upper = letterAndTablePage();
    upper.fillRect(0, 0, 1200, 450, false);
    TestPage lower = letterAndTablePage();
    lower.fillRect(0, 450, 1200, 450, false);
    clitest::writeBilevelTiff(path("three.tif"), {letterAndTablePage(), upper, lower});
    const json all = runJson({path("three.tif")});
    ASSERT_EQ(all.at("pages").size(), 3u);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(all["pages"][std::size_t(i)].at("page"), i);
    EXPECT_NE(all["pages"][1].at("zones"), all["pages"][2].at("zones"));
    EXPECT_EQ(runJson({"--all-pages", path("three.tif")}), all) << "--all-pages: the default";
    const json second = runJson({"--page", "2", path("three.tif")});
    ASSERT_EQ(second.at("pages").size(), 1u);
    EXPECT_EQ(second["pages"][0].at("zones"), all["pages"][2].at("zones"));

    const clitest::RunResult text = runQuadrel({path("three.tif")});
    EXPECT_EQ(clitest::linesOf(text.out).back().rfind("3 pages: 3 analysed, 0 failed, ", 0), 0u)
        << text.out;
    // Several pages of one file: --xml names a folder.
    ASSERT_EQ(runQuadrel({"--quiet", "--xml", path("xml"), path("three.tif")}).exitCode, 0);
    EXPECT_EQ(filesIn("xml"),
              (std::set<std::string>{"three-p0.xml", "three-p1.xml", "three-p2.xml"}));
}

TEST_F(QuadrelCli, Group4PhotometricTagIsHonouredOnlyWhenAsked) {
    const json reference = runJson({generatedPage()})["pages"][0].at("zones");
    clitest::writeBlackIsZeroGroup4Tiff(path("pil.tif"), letterAndTablePage());
    const json asFax = runJson({path("pil.tif")})["pages"][0].at("zones");
    EXPECT_NE(asFax, reference) << "read white-is-zero, the page is a negative";
    EXPECT_EQ(runJson({"--photometric-as-written", path("pil.tif")})["pages"][0].at("zones"),
              reference);
    EXPECT_EQ(runJson({"--photometric-as-written", generatedPage()})["pages"][0].at("zones"),
              reference)
        << "a white-is-zero page reads the same either way";
}

} // namespace
