// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "zones/layout_json.h"

#include "zones/deskew_geometry.h"
#include "zones/reading_order.h"
#include "zones/table_parents.h"
#include "zones/zone_kinds.h"

namespace zones {
namespace {

nlohmann::ordered_json zonesJson(const std::vector<ZoneRecord>& zones) {
    const std::vector<int> ranks = ReadingRanks(ReadingOrder(zones));
    const std::vector<int> parents = TableParents(zones);
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (std::size_t i = 0; i < zones.size(); ++i) {
        const ZoneRecord& z = zones[i];
        nlohmann::ordered_json parent = nullptr;
        if (parents[i] != kNoParent) parent = parents[i];
        list.push_back({{"index", i},
                        {"left", z.left},
                        {"top", z.top},
                        {"right", z.right},
                        {"bottom", z.bottom},
                        {"content", z.content},
                        {"content_name", std::string(ZoneContentName(z.content))},
                        {"reading_order", ranks[i]},
                        {"parent_table", std::move(parent)}});
    }
    return list;
}

} // namespace

nlohmann::ordered_json LayoutPageJson(const LayoutDocument& document) {
    const LayoutPage& page = document.page;
    const DeskewGeometry geometry(page);
    return {{"file", page.imageFile},
            {"page", page.pageIndex},
            {"width", page.width},
            {"height", page.height},
            {"x_resolution", page.xDpi},
            {"y_resolution", page.yDpi},
            {"skew", page.skewHundredths},
            {"skew_measured", page.skewMeasured},
            {"skew_degrees", double(page.skewHundredths) / 100.0},
            {"deskewed_width", geometry.canvasWidth()},
            {"deskewed_height", geometry.canvasHeight()},
            {"zones", zonesJson(document.zones)}};
}

LayoutDocument LayoutDocumentFromJson(const nlohmann::ordered_json& json) {
    LayoutDocument document;
    LayoutPage& page = document.page;
    page.imageFile = json.at("file").get<std::string>();
    page.pageIndex = json.at("page").get<int>();
    page.width = json.at("width").get<int>();
    page.height = json.at("height").get<int>();
    page.xDpi = json.at("x_resolution").get<int>();
    page.yDpi = json.at("y_resolution").get<int>();
    page.skewHundredths = json.at("skew").get<std::int32_t>();
    page.skewMeasured = json.at("skew_measured").get<bool>();
    for (const nlohmann::ordered_json& z : json.at("zones"))
        document.zones.push_back({z.at("left").get<std::int32_t>(), z.at("top").get<std::int32_t>(),
                                  z.at("right").get<std::int32_t>(),
                                  z.at("bottom").get<std::int32_t>(),
                                  z.at("content").get<std::int32_t>()});
    return document;
}

} // namespace zones
