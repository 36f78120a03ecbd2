// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "zones/page_xml.h"

#include "zones/layout_regions.h"
#include "zones/xml_writer.h"

namespace zones {
namespace {

constexpr std::string_view kNamespace =
    "http://schema.primaresearch.org/PAGE/gts/pagecontent/2019-07-15";

std::string_view regionElement(ZoneKind kind) {
    switch (kind) {
    case ZoneKind::Line:
        return "SeparatorRegion";
    case ZoneKind::Table:
        return "TableRegion";
    case ZoneKind::Picture:
        return "ImageRegion";
    case ZoneKind::Noise:
        return "NoiseRegion";
    default: // text, inverted text, and a table's columns and cells
        return "TextRegion";
    }
}

XmlAttributes pageAttributes(const LayoutPage& page) {
    XmlAttributes attributes{{"imageFilename", page.imageFile},
                             {"imageWidth", std::to_string(page.width)},
                             {"imageHeight", std::to_string(page.height)}};
    if (page.xDpi > 0 && page.yDpi > 0) {
        attributes.emplace_back("imageXResolution", std::to_string(page.xDpi));
        attributes.emplace_back("imageYResolution", std::to_string(page.yDpi));
        attributes.emplace_back("imageResolutionUnit", "PPI");
    }
    // The clockwise turn that straightens the page: the text's own turn.
    if (page.skewMeasured) attributes.emplace_back("orientation", TextAngleText(page));
    return attributes;
}

void writeRegion(XmlWriter& xml, const LayoutRegions& layout, const LayoutRegion& region) {
    const std::string custom = "zone {index:" + std::to_string(region.index) +
                               "; kind:" + std::string(ZoneContentName(region.content)) + ";}";
    const std::string_view tag = regionElement(region.kind);
    xml.open(tag, {{"id", region.id}, {"custom", custom}});
    xml.empty("Coords", {{"points", PointsText(region.corners)}});
    for (std::size_t member : region.members) writeRegion(xml, layout, layout.regions[member]);
    if (region.kind == ZoneKind::InvertedText)
        xml.empty("TextStyle",
                  {{"textColour", "white"}, {"bgColour", "black"}, {"reverseVideo", "true"}});
    xml.close();
}

void writeReadingOrder(XmlWriter& xml, const LayoutRegions& layout) {
    if (layout.order.empty()) return; // a group holds at least one region
    xml.open("ReadingOrder");
    xml.open("OrderedGroup", {{"id", "reading_order"}, {"caption", "Quadrel reading order"}});
    for (std::size_t k = 0; k < layout.order.size(); ++k)
        xml.empty("RegionRefIndexed",
                  {{"index", std::to_string(k)},
                   {"regionRef", layout.regions[std::size_t(layout.order[k])].id}});
    xml.close();
    xml.close();
}

} // namespace

std::string WritePageXml(const LayoutDocument& document) {
    const LayoutRegions layout(document);
    const std::string created = CreationTime(document);
    XmlWriter xml;
    xml.open("PcGts", {{"xmlns", std::string(kNamespace)},
                       {"xmlns:xsi", "http://www.w3.org/2001/XMLSchema-instance"},
                       {"xsi:schemaLocation", std::string(kNamespace) + " " +
                                                  std::string(kNamespace) + "/pagecontent.xsd"}});
    xml.open("Metadata");
    xml.element("Creator", document.creator);
    xml.element("Created", created);
    xml.element("LastChange", created);
    xml.element("Comments", "Page " + std::to_string(document.page.pageIndex) +
                                " of the file. Region ids name the zone table's indexes.");
    xml.close();
    xml.open("Page", pageAttributes(document.page));
    writeReadingOrder(xml, layout);
    for (const LayoutRegion* region : layout.topLevel()) writeRegion(xml, layout, *region);
    return xml.finish();
}

} // namespace zones
