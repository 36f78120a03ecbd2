// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "zones/hocr.h"

#include "zones/layout_regions.h"
#include "zones/xml_writer.h"

namespace zones {
namespace {

constexpr std::string_view kCapabilities = "ocr_page ocr_carea ocr_par ocr_photo ocr_separator "
                                           "ocr_table ocr_noise ocrx_inverted ocrx_table_column "
                                           "ocrx_table_cell";

std::string_view elementClass(ZoneKind kind) {
    switch (kind) {
    case ZoneKind::Line:
        return "ocr_separator";
    case ZoneKind::Table:
        return "ocr_table";
    case ZoneKind::TableColumn:
        return "ocrx_table_column";
    case ZoneKind::TableCell:
        return "ocrx_table_cell";
    case ZoneKind::InvertedText:
        return "ocr_carea ocrx_inverted";
    case ZoneKind::Picture:
        return "ocr_photo";
    case ZoneKind::Text:
        return "ocr_carea";
    default:
        return "ocr_noise";
    }
}

// A string property value: quoted, with the quote and backslash escaped.
std::string quoted(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + '"';
}

std::string bboxText(const PixelBox& b) {
    return "bbox " + std::to_string(b.left) + " " + std::to_string(b.top) + " " +
           std::to_string(b.right + 1) + " " + std::to_string(b.bottom + 1);
}

std::string regionTitle(const LayoutRegion& region, const LayoutPage& page) {
    std::string title = bboxText(region.box);
    if (page.skewMeasured && page.skewHundredths != 0)
        title += "; textangle " + TextAngleText(page);
    return title + "; x_kind " + quoted(ZoneContentName(region.content));
}

void writeRegion(XmlWriter& xml, const LayoutRegions& layout, const LayoutRegion& region,
                 const LayoutPage& page) {
    const XmlAttributes attributes{{"class", std::string(elementClass(region.kind))},
                                   {"id", region.id},
                                   {"title", regionTitle(region, page)}};
    const bool textArea = region.kind == ZoneKind::Text || region.kind == ZoneKind::InvertedText;
    if (!textArea && region.members.empty()) {
        xml.element("div", "", attributes);
        return;
    }
    xml.open("div", attributes);
    if (textArea)
        xml.element(
            "p", "",
            {{"class", "ocr_par"}, {"id", region.id + "_par"}, {"title", bboxText(region.box)}});
    for (std::size_t member : region.members)
        writeRegion(xml, layout, layout.regions[member], page);
    xml.close();
}

std::string pageTitle(const LayoutPage& page) {
    std::string title = "image " + quoted(page.imageFile) + "; bbox 0 0 " +
                        std::to_string(page.width) + " " + std::to_string(page.height) +
                        "; ppageno " + std::to_string(page.pageIndex);
    if (page.xDpi > 0 && page.yDpi > 0)
        title += "; scan_res " + std::to_string(page.xDpi) + " " + std::to_string(page.yDpi);
    return title;
}

} // namespace

std::string WriteHocr(const LayoutDocument& document) {
    const LayoutRegions layout(document);
    XmlWriter xml;
    xml.line("<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\" "
             "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd\">");
    xml.open("html",
             {{"xmlns", "http://www.w3.org/1999/xhtml"}, {"xml:lang", "en"}, {"lang", "en"}});
    xml.open("head");
    xml.element("title", document.page.imageFile);
    xml.empty("meta", {{"http-equiv", "Content-Type"}, {"content", "text/html; charset=utf-8"}});
    xml.empty("meta", {{"name", "ocr-system"}, {"content", document.creator}});
    xml.empty("meta", {{"name", "ocr-capabilities"}, {"content", std::string(kCapabilities)}});
    xml.close();
    xml.open("body");
    xml.open("div", {{"class", "ocr_page"},
                     {"id", "page_" + std::to_string(document.page.pageIndex)},
                     {"title", pageTitle(document.page)}});
    for (const LayoutRegion* region : layout.topLevel())
        writeRegion(xml, layout, *region, document.page);
    return xml.finish();
}

} // namespace zones
