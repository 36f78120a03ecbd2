// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// PAGE XML, ALTO and hOCR written from built zone tables: valid against their
// schemas (PAGE 2019-07-15, Apache 2.0; ALTO 4.4, CC BY-SA 4.0; see
// tests/schemas/README.md), one region per zone, the right element per kind,
// and the reading order.
#include "library/la_api.h"
#include "tests/support/xml_validation.h"
#include "zones/alto_xml.h"
#include "zones/output_file.h"
#include "zones/hocr.h"
#include "zones/page_xml.h"

#include <QXmlStreamReader>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <unistd.h>
#include <vector>

namespace {

using zones::LayoutDocument;
using zones::ZoneRecord;

struct Element {
    std::string name;
    std::map<std::string, std::string> attributes;
    std::string parentId; // id of the nearest enclosing element that has one
};

// Every element that has an id or ID, by that id, in document order; and the
// parse error, if any.
struct ParsedXml {
    std::vector<std::string> ids;
    std::map<std::string, Element> elements;
    std::string error;
};

ParsedXml parse(const std::string& text) {
    ParsedXml parsed;
    QXmlStreamReader reader(QByteArray::fromStdString(text));
    std::vector<std::string> idStack;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isEndElement()) idStack.pop_back();
        if (!reader.isStartElement()) continue;
        Element element{reader.name().toString().toStdString(), {}, {}};
        for (const QXmlStreamAttribute& a : reader.attributes())
            element.attributes[a.qualifiedName().toString().toStdString()] =
                a.value().toString().toStdString();
        for (auto it = idStack.rbegin(); it != idStack.rend(); ++it)
            if (!it->empty()) {
                element.parentId = *it;
                break;
            }
        std::string id = element.attributes.count("id")   ? element.attributes["id"]
                         : element.attributes.count("ID") ? element.attributes["ID"]
                                                          : "";
        idStack.push_back(id);
        if (id.empty()) continue;
        parsed.ids.push_back(id);
        parsed.elements[id] = std::move(element);
    }
    if (reader.hasError()) parsed.error = reader.errorString().toStdString();
    return parsed;
}

// A page with every kind: a heading, a ruled table of two columns and four
// cells, inverted text, a picture, a rule and a speck of noise.
LayoutDocument sampleDocument() {
    LayoutDocument document;
    document.page.imageFile = "scans/letter & co.tif";
    document.page.pageIndex = 2;
    document.page.width = 2000;
    document.page.height = 1600;
    document.page.xDpi = 200;
    document.page.yDpi = 200;
    document.creator = "quadrel 9.9.9";
    document.created = "2026-01-02T03:04:05";
    document.zones = {
        {100, 1300, 1900, 1500, LA_CONTENT_TEXT},         // 0
        {100, 600, 1900, 1200, LA_CONTENT_TABLE},         // 1
        {100, 600, 1000, 1200, LA_CONTENT_TABLE_COLUMN},  // 2
        {1000, 600, 1900, 1200, LA_CONTENT_TABLE_COLUMN}, // 3
        {100, 600, 1000, 900, LA_CONTENT_TABLE_CELL},     // 4
        {1000, 600, 1900, 900, LA_CONTENT_TABLE_CELL},    // 5
        {100, 900, 1000, 1200, LA_CONTENT_TABLE_CELL},    // 6
        {1000, 900, 1900, 1200, LA_CONTENT_TABLE_CELL},   // 7
        {100, 100, 1900, 200, LA_CONTENT_INVERTED_TEXT},  // 8
        {100, 250, 600, 550, LA_CONTENT_PICTURE},         // 9
        {100, 560, 1900, 563, LA_CONTENT_LINE},           // 10
        {1950, 1550, 1960, 1558, LA_CONTENT_NOISE},       // 11
    };
    return document;
}

LayoutDocument skewedDocument() {
    LayoutDocument document = sampleDocument();
    document.page.skewMeasured = true;
    document.page.skewHundredths = -160; // lines climbing to the right
    return document;
}

class LayoutFormats : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("quadrel-formats-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    void expectValid(const std::string& text, const std::string& schema) {
        const std::string file = (dir_ / "out.xml").string();
        zones::WriteOutput(file, text);
        const testsupport::XmlCheck check =
            testsupport::validateAgainstSchema(testsupport::schemaPath(schema), file);
        if (!check.ran) {
            if (testsupport::xmllintRequired()) FAIL() << "xmllint is not installed";
            GTEST_SKIP() << "xmllint not installed (package libxml2-utils)";
        }
        EXPECT_TRUE(check.valid) << check.output << "\n" << text;
    }

    std::filesystem::path dir_;
};

// Ids of the zone elements ("zone_<n>") in document order.
std::vector<std::string> zoneIds(const ParsedXml& parsed) {
    std::vector<std::string> ids;
    for (const std::string& id : parsed.ids)
        if (id.rfind("zone_", 0) == 0 && id.find("_par") == std::string::npos) ids.push_back(id);
    return ids;
}

std::vector<std::string> expectedZoneIds(std::size_t n) {
    std::vector<std::string> ids;
    for (std::size_t i = 0; i < n; ++i) ids.push_back("zone_" + std::to_string(i));
    return ids;
}

TEST_F(LayoutFormats, PageXmlValidatesWithOneRegionPerZone) {
    for (const LayoutDocument& document : {sampleDocument(), skewedDocument()}) {
        const std::string text = zones::WritePageXml(document);
        expectValid(text, "pagecontent-2019-07-15.xsd");
        const ParsedXml parsed = parse(text);
        ASSERT_EQ(parsed.error, "");
        std::vector<std::string> ids = zoneIds(parsed);
        std::sort(ids.begin(), ids.end());
        auto expected = expectedZoneIds(document.zones.size());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(ids, expected);
        const auto& e = parsed.elements;
        EXPECT_EQ(e.at("zone_0").name, "TextRegion");
        EXPECT_EQ(e.at("zone_1").name, "TableRegion");
        EXPECT_EQ(e.at("zone_2").parentId, "zone_1");
        EXPECT_EQ(e.at("zone_7").parentId, "zone_1");
        EXPECT_EQ(e.at("zone_9").name, "ImageRegion");
        EXPECT_EQ(e.at("zone_10").name, "SeparatorRegion");
        EXPECT_EQ(e.at("zone_11").name, "NoiseRegion");
        EXPECT_EQ(e.at("zone_4").attributes.at("custom"), "zone {index:4; kind:T/Cell;}");
        // Reading order: the inverted heading, the picture... text and tables first.
        EXPECT_NE(text.find("<RegionRefIndexed index=\"0\" regionRef=\"zone_8\"/>"),
                  std::string::npos);
        EXPECT_NE(text.find("<RegionRefIndexed index=\"11\" regionRef=\"zone_11\"/>"),
                  std::string::npos);
        EXPECT_NE(text.find("<TextStyle textColour=\"white\" bgColour=\"black\""),
                  std::string::npos);
    }
    EXPECT_NE(zones::WritePageXml(skewedDocument()).find("orientation=\"1.6\""), std::string::npos);
    EXPECT_EQ(zones::WritePageXml(sampleDocument()).find("orientation="), std::string::npos);
}

TEST_F(LayoutFormats, AltoValidatesWithOneBlockPerZoneInReadingOrder) {
    for (const LayoutDocument& document : {sampleDocument(), skewedDocument()}) {
        const std::string text = zones::WriteAltoXml(document);
        expectValid(text, "alto-4-4.xsd");
        const ParsedXml parsed = parse(text);
        ASSERT_EQ(parsed.error, "");
        EXPECT_EQ(zoneIds(parsed),
                  (std::vector<std::string>{"zone_8", "zone_1", "zone_2", "zone_3", "zone_4",
                                            "zone_5", "zone_6", "zone_7", "zone_0", "zone_9",
                                            "zone_10", "zone_11"}));
        const auto& e = parsed.elements;
        EXPECT_EQ(e.at("zone_1").attributes.at("TYPE"), "table");
        EXPECT_EQ(e.at("zone_5").parentId, "zone_1");
        EXPECT_EQ(e.at("zone_9").name, "Illustration");
        EXPECT_EQ(e.at("zone_10").name, "GraphicalElement");
        EXPECT_EQ(e.at("kind_table_cell").attributes.at("LABEL"), "T/Cell");
        EXPECT_EQ(e.at("zone_0").attributes.at("TAGREFS"), "kind_text");
    }
    const ParsedXml sample = parse(zones::WriteAltoXml(sampleDocument()));
    const Element& plain = sample.elements.at("zone_0");
    EXPECT_EQ(plain.attributes.at("HPOS"), "100");
    EXPECT_EQ(plain.attributes.at("WIDTH"), "1800");
    EXPECT_EQ(plain.attributes.at("HEIGHT"), "201");
    const std::string skewed = zones::WriteAltoXml(skewedDocument());
    EXPECT_NE(skewed.find("<Polygon POINTS="), std::string::npos);
    EXPECT_NE(skewed.find("ROTATION=\"1.6\""), std::string::npos);
}

TEST_F(LayoutFormats, HocrIsXhtmlWithAClassAndBboxPerZone) {
    const LayoutDocument document = skewedDocument();
    const std::string text = zones::WriteHocr(document);
    const ParsedXml parsed = parse(text);
    ASSERT_EQ(parsed.error, "");
    EXPECT_EQ(zoneIds(parsed).size(), document.zones.size());
    const auto& e = parsed.elements;
    const std::map<std::string, std::string> classes{{"zone_0", "ocr_carea"},
                                                     {"zone_1", "ocr_table"},
                                                     {"zone_2", "ocrx_table_column"},
                                                     {"zone_4", "ocrx_table_cell"},
                                                     {"zone_8", "ocr_carea ocrx_inverted"},
                                                     {"zone_9", "ocr_photo"},
                                                     {"zone_10", "ocr_separator"},
                                                     {"zone_11", "ocr_noise"}};
    for (const auto& [id, cls] : classes) EXPECT_EQ(e.at(id).attributes.at("class"), cls) << id;
    EXPECT_EQ(e.at("zone_4").parentId, "zone_1");
    EXPECT_EQ(e.at("zone_0_par").attributes.at("class"), "ocr_par");
    EXPECT_EQ(e.at("page_2").attributes.at("title"),
              "image \"scans/letter & co.tif\"; bbox 0 0 2000 1600; ppageno 2; scan_res 200 200");
    for (const std::string& id : zoneIds(parsed)) {
        const std::string& title = e.at(id).attributes.at("title");
        int x0 = -1, y0 = -1, x1 = -1, y1 = -1;
        ASSERT_EQ(std::sscanf(title.c_str(), "bbox %d %d %d %d", &x0, &y0, &x1, &y1), 4) << title;
        EXPECT_TRUE(0 <= x0 && x0 < x1 && x1 <= 2000 && 0 <= y0 && y0 < y1 && y1 <= 1600) << title;
        EXPECT_NE(title.find("; textangle 1.6; x_kind \""), std::string::npos) << title;
    }
    EXPECT_NE(text.find("<meta name=\"ocr-system\" content=\"quadrel 9.9.9\"/>"),
              std::string::npos);
    EXPECT_NE(text.find("<meta name=\"ocr-capabilities\" content=\"ocr_page ocr_carea"),
              std::string::npos);
}

TEST_F(LayoutFormats, EmptyTablesAndStrangeFileNamesStillValidate) {
    LayoutDocument document = sampleDocument();
    document.zones.clear();
    document.page.imageFile = std::string("bad\xff\xfe name\x01<\">.tif");
    expectValid(zones::WritePageXml(document), "pagecontent-2019-07-15.xsd");
    expectValid(zones::WriteAltoXml(document), "alto-4-4.xsd");
    const ParsedXml hocr = parse(zones::WriteHocr(document));
    EXPECT_EQ(hocr.error, "");
    EXPECT_TRUE(zoneIds(hocr).empty());
}

} // namespace
