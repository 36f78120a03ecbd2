// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "zones/alto_xml.h"

#include "zones/layout_regions.h"
#include "zones/xml_writer.h"

namespace zones {
namespace {

constexpr std::string_view kNamespace = "http://www.loc.gov/standards/alto/ns-v4#";

std::string tagId(std::int32_t content) {
    return "kind_" + std::string(ZoneContentKey(content));
}

std::string_view blockElement(ZoneKind kind) {
    switch (kind) {
    case ZoneKind::Line:
    case ZoneKind::Noise:
        return "GraphicalElement";
    case ZoneKind::Table:
    case ZoneKind::TableColumn:
        return "ComposedBlock";
    case ZoneKind::Picture:
        return "Illustration";
    default: // text, inverted text, cells
        return "TextBlock";
    }
}

void writeDescription(XmlWriter& xml, const LayoutDocument& document) {
    const std::string& creator = document.creator;
    const std::size_t space = creator.rfind(' ');
    xml.open("Description");
    xml.element("MeasurementUnit", "pixel");
    xml.open("sourceImageInformation");
    xml.element("fileName", document.page.imageFile);
    xml.close();
    xml.open("Processing", {{"ID", "layout_analysis"}});
    xml.element("processingCategory", "contentGeneration");
    xml.element("processingDateTime", CreationTime(document));
    xml.element("processingStepDescription",
                "layout analysis of page " + std::to_string(document.page.pageIndex));
    xml.open("processingSoftware");
    xml.element("softwareName", creator.substr(0, space));
    if (space != std::string::npos) xml.element("softwareVersion", creator.substr(space + 1));
    xml.close();
    xml.close();
    xml.close();
}

void writeTags(XmlWriter& xml) {
    xml.open("Tags");
    for (std::int32_t content = 0; content < kZoneKindCount; ++content)
        xml.empty("LayoutTag", {{"ID", tagId(content)},
                                {"TYPE", "zone kind"},
                                {"LABEL", std::string(ZoneContentName(content))}});
    xml.close();
}

void writeReadingOrder(XmlWriter& xml, const LayoutRegions& layout) {
    if (layout.order.empty()) return; // a group holds at least one reference
    xml.open("ReadingOrder");
    xml.open("OrderedGroup", {{"ID", "reading_order"}});
    for (std::size_t k = 0; k < layout.order.size(); ++k)
        xml.empty("ElementRef", {{"ID", "reading_order_" + std::to_string(k)},
                                 {"REF", layout.regions[std::size_t(layout.order[k])].id}});
    xml.close();
    xml.close();
}

void writeBlock(XmlWriter& xml, const LayoutRegions& layout, const LayoutRegion& region,
                const LayoutPage& page) {
    const PixelBox& b = region.box;
    XmlAttributes attributes{{"ID", region.id},
                             {"HPOS", std::to_string(b.left)},
                             {"VPOS", std::to_string(b.top)},
                             {"WIDTH", std::to_string(b.right - b.left + 1)},
                             {"HEIGHT", std::to_string(b.bottom - b.top + 1)},
                             {"TAGREFS", tagId(region.content)}};
    if (page.skewMeasured && page.skewHundredths != 0)
        attributes.emplace_back("ROTATION", TextAngleText(page));
    if (region.kind == ZoneKind::Table) attributes.emplace_back("TYPE", "table");
    if (region.kind == ZoneKind::TableColumn) attributes.emplace_back("TYPE", "column");
    const std::string_view tag = blockElement(region.kind);
    xml.open(tag, attributes);
    if (layout.geometry.turns()) {
        xml.open("Shape");
        xml.empty("Polygon", {{"POINTS", PointsText(region.corners)}});
        xml.close();
    }
    for (std::size_t member : region.members) writeBlock(xml, layout, layout.regions[member], page);
    xml.close();
}

} // namespace

std::string WriteAltoXml(const LayoutDocument& document) {
    const LayoutRegions layout(document);
    const LayoutPage& page = document.page;
    XmlWriter xml;
    xml.open("alto", {{"xmlns", std::string(kNamespace)},
                      {"xmlns:xsi", "http://www.w3.org/2001/XMLSchema-instance"},
                      {"xsi:schemaLocation", std::string(kNamespace) +
                                                 " http://www.loc.gov/standards/alto/v4/"
                                                 "alto-4-4.xsd"},
                      {"SCHEMAVERSION", "4.4"}});
    writeDescription(xml, document);
    writeTags(xml);
    writeReadingOrder(xml, layout);
    xml.open("Layout");
    xml.open("Page", {{"ID", "page_" + std::to_string(page.pageIndex)},
                      {"PHYSICAL_IMG_NR", std::to_string(page.pageIndex + 1)},
                      {"WIDTH", std::to_string(page.width)},
                      {"HEIGHT", std::to_string(page.height)}});
    xml.open("PrintSpace", {{"HPOS", "0"},
                            {"VPOS", "0"},
                            {"WIDTH", std::to_string(page.width)},
                            {"HEIGHT", std::to_string(page.height)}});
    for (const LayoutRegion* region : layout.topLevel()) writeBlock(xml, layout, *region, page);
    return xml.finish();
}

} // namespace zones
