// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// quadrel --page-xml, --alto, --hocr and --deskewed on real fax pages (a
// letter, an invoice with its ruled table, a dense grid of cells, a page with
// pictures, and a letter turned by 2 degrees analysed with skew detection):
// PAGE XML and ALTO validate against their schemas (PAGE 2019-07-15, Apache
// 2.0; ALTO 4.4, CC BY-SA 4.0; see tests/schemas/README.md), hOCR is
// well-formed XML, every format has one element per zone, and the JSON
// report follows docs/quadrel-report.schema.json.
#include "tests/cli/quadrel_run.h"
#include "tests/cli/tiff_files.h"
#include "tests/support/test_page.h"
#include "tests/support/xml_validation.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <tiffio.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#ifndef QUADREL_JSON_SCHEMA
#error "QUADREL_JSON_SCHEMA must name docs/quadrel-report.schema.json"
#endif

namespace {

using nlohmann::json;

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Places where `attribute="zone_<digits>"` stands, followed by `after`.
std::size_t countZoneIds(const std::string& text, const std::string& attribute,
                         const std::string& after = "") {
    const std::string start = " " + attribute + "=\"zone_";
    std::size_t count = 0;
    for (std::size_t at = text.find(start); at != std::string::npos;
         at = text.find(start, at + 1)) {
        std::size_t end = at + start.size();
        while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]))) ++end;
        if (end > at + start.size() && text.compare(end, 1 + after.size(), "\"" + after) == 0)
            ++count;
    }
    return count;
}

std::size_t countOf(const std::string& text, const std::string& needle) {
    std::size_t count = 0;
    for (std::size_t at = text.find(needle); at != std::string::npos;
         at = text.find(needle, at + 1))
        ++count;
    return count;
}

// The x,y pairs of every <Coords points="..."/> of a PAGE file, one list per region.
std::vector<std::vector<std::pair<int, int>>> pagePolygons(const std::string& text) {
    const std::string start = "<Coords points=\"";
    std::vector<std::vector<std::pair<int, int>>> polygons;
    for (std::size_t at = text.find(start); at != std::string::npos;
         at = text.find(start, at + 1)) {
        const std::size_t begin = at + start.size();
        std::string points = text.substr(begin, text.find('"', begin) - begin);
        std::replace(points.begin(), points.end(), ',', ' ');
        std::istringstream in(points);
        polygons.emplace_back();
        for (int x = 0, y = 0; in >> x >> y;) polygons.back().emplace_back(x, y);
    }
    return polygons;
}

class LayoutFormatsCli : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("quadrel-formats-cli-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string path(const std::string& name) const { return (dir_ / name).string(); }

    void expectValid(const testsupport::XmlCheck& check, const std::string& file) {
        if (!check.ran) {
            if (testsupport::xmllintRequired()) FAIL() << "xmllint is not installed";
            GTEST_SKIP() << "xmllint not installed (package libxml2-utils)";
        }
        EXPECT_TRUE(check.valid) << file << ": " << check.output.substr(0, 2000);
    }

    // Runs quadrel with the three formats and --json; checks them against the
    // JSON's zone table and returns the JSON page.
    json analyseInAllFormats(const std::string& page, std::vector<std::string> extra = {}) {
        std::vector<std::string> args{"--page-xml", path("a.xml"),  "--alto", path("b.xml"),
                                      "--hocr",     path("c.hocr"), "--json"};
        args.insert(args.end(), extra.begin(), extra.end());
        args.push_back(page);
        const clitest::RunResult r = clitest::runQuadrel(args);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        const json report = json::parse(r.out);
        const json& result = report.at("pages").at(0);
        const std::size_t zones = result.at("zones").size();

        const std::string pageXml = readFile(path("a.xml")), alto = readFile(path("b.xml")),
                          hocr = readFile(path("c.hocr"));
        EXPECT_EQ(countZoneIds(pageXml, "id"), zones) << "one PAGE region per zone";
        EXPECT_EQ(countZoneIds(alto, "ID"), zones) << "one ALTO block per zone";
        EXPECT_EQ(countZoneIds(hocr, "id"), zones) << "one hOCR element per zone";
        EXPECT_EQ(countOf(pageXml, "<RegionRefIndexed "), zones);
        EXPECT_EQ(countZoneIds(hocr, "id", " title=\"bbox "), zones) << "a bbox on each";
        expectValid(testsupport::validateAgainstSchema(
                        testsupport::schemaPath("pagecontent-2019-07-15.xsd"), path("a.xml")),
                    "PAGE XML");
        expectValid(testsupport::validateAgainstSchema(testsupport::schemaPath("alto-4-4.xsd"),
                                                       path("b.xml")),
                    "ALTO");
        expectValid(testsupport::checkWellFormed(path("c.hocr")), "hOCR");
        expectJsonFollowsItsSchema(r.out);
        return result;
    }

    void expectJsonFollowsItsSchema(const std::string& report) {
        const bool available = std::system("python3 -c 'import jsonschema' >/dev/null 2>&1") == 0;
        if (!available) {
            if (testsupport::xmllintRequired()) FAIL() << "python3-jsonschema is not installed";
            return;
        }
        std::ofstream(path("report.json")) << report;
        const std::string command =
            "python3 -c 'import json,sys,jsonschema; "
            "jsonschema.validate(json.load(open(sys.argv[1])), json.load(open(sys.argv[2])))' '" +
            path("report.json") + "' '" + QUADREL_JSON_SCHEMA + "'";
        EXPECT_EQ(std::system(command.c_str()), 0) << "the report does not follow its schema";
    }

    std::filesystem::path dir_;
};

TEST_F(LayoutFormatsCli, EveryFaxPageKindValidatesWithOneRegionPerZone) {
    // 1 a letter, 3 the invoice with its ruled table, 6 a dense grid, 8 pictures.
    for (int n : {1, 3, 6, 8}) {
        const std::string page = testsupport::ccittTiffPath(n);
        if (page.empty()) GTEST_SKIP() << "jbigkit-testdata or jbgtopbm not installed";
        SCOPED_TRACE("ccitt" + std::to_string(n));
        const json result = analyseInAllFormats(page, {"--pipe", "2,8,4,16,32"});
        std::set<std::string> kinds;
        for (const json& zone : result.at("zones")) {
            kinds.insert(zone.at("content_name").get<std::string>());
            const bool part =
                zone.at("content_name") == "T/Cell" || zone.at("content_name") == "T/Column";
            if (part) {
                ASSERT_TRUE(zone.at("parent_table").is_number()) << zone.dump();
                const json& table =
                    result.at("zones").at(zone.at("parent_table").get<std::size_t>());
                EXPECT_EQ(table.at("content_name"), "Table");
            }
        }
        if (n == 3 || n == 6) {
            EXPECT_TRUE(kinds.count("T/Cell")) << "the table's cells";
        }
        if (n == 8) {
            EXPECT_TRUE(kinds.count("Picture"));
        }
    }
}

TEST_F(LayoutFormatsCli, ASkewedPageIsDescribedOnTheOriginalImage) {
    const auto letter = testsupport::loadCcittPage(1);
    if (!letter) GTEST_SKIP() << "jbigkit-testdata or jbgtopbm not installed";
    const std::string page = path("turned.tif");
    clitest::writeBilevelTiff(page, {testsupport::rotated(*letter, 2.0)});
    const json result =
        analyseInAllFormats(page, {"--pipe", "1,2,8,4,16,32", "--deskewed", path("d.tif")});
    ASSERT_TRUE(result.at("skew_measured").get<bool>());
    const int skew = result.at("skew").get<int>();
    EXPECT_LT(skew, 0) << "lines climbing to the right measure negative";
    EXPECT_GT(result.at("deskewed_width").get<int>(), 1728);

    // Polygons lie on the original page, which the formats give as the image size.
    const std::string pageXml = readFile(path("a.xml"));
    EXPECT_NE(pageXml.find("imageWidth=\"1728\" imageHeight=\"2376\""), std::string::npos);
    const auto polygons = pagePolygons(pageXml);
    EXPECT_EQ(polygons.size(), result.at("zones").size());
    for (const auto& polygon : polygons) {
        EXPECT_EQ(polygon.size(), 4u);
        for (const auto& [x, y] : polygon) {
            EXPECT_TRUE(x >= 0 && x < 1728 && y >= 0 && y < 2376) << x << "," << y;
        }
    }
    EXPECT_NE(readFile(path("b.xml")).find("<Polygon POINTS="), std::string::npos);
    EXPECT_NE(readFile(path("c.hocr")).find("; textangle "), std::string::npos);

    // The straightened page has the size of the canvas the zones lie on.
    TIFF* tiff = TIFFOpen(path("d.tif").c_str(), "r");
    ASSERT_NE(tiff, nullptr);
    std::uint32_t width = 0, height = 0;
    TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height);
    TIFFClose(tiff);
    EXPECT_EQ(int(width), result.at("deskewed_width").get<int>());
    EXPECT_EQ(int(height), result.at("deskewed_height").get<int>());
}

TEST_F(LayoutFormatsCli, SeveralPagesWriteOneFileOfEachFormatPerPage) {
    const std::string page = testsupport::ccittTiffPath(1);
    if (page.empty()) GTEST_SKIP() << "jbigkit-testdata or jbgtopbm not installed";
    std::filesystem::copy_file(page, path("one.tif"));
    std::filesystem::copy_file(page, path("two.tif"));
    const std::string out = path("out");
    const clitest::RunResult r =
        clitest::runQuadrel({"--quiet", "--xml", out, "--page-xml", out, "--alto", out, "--hocr",
                             out, "--deskewed", out, path("one.tif"), path("two.tif")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    for (const char* stem : {"one", "two"})
        for (const char* suffix : {".xml", ".page.xml", ".alto.xml", ".hocr", ".deskewed.tif"})
            EXPECT_TRUE(
                std::filesystem::exists(dir_ / "out" / (std::string(stem) + "-p0" + suffix)))
                << stem << suffix;
}

TEST_F(LayoutFormatsCli, TwoOutputsNamingOneFileAreRefused) {
    const clitest::RunResult r = clitest::runQuadrel(
        {"--page-xml", path("same.xml"), "--alto", path("same.xml"), path("any.tif")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("two outputs would write the same file"), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(path("same.xml")));
}

TEST_F(LayoutFormatsCli, AnUnwritableLayoutFileFailsThePageAndNamesTheFile) {
    const std::string page = testsupport::ccittTiffPath(1);
    if (page.empty()) GTEST_SKIP() << "jbigkit-testdata or jbgtopbm not installed";
    const std::string target = path("missing-folder/a.page.xml");
    const clitest::RunResult r = clitest::runQuadrel({"--quiet", "--page-xml", target, page});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("cannot write the PAGE XML file " + target), std::string::npos) << r.err;
}

} // namespace
