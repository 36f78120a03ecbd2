// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "cli/json_report.h"

#include "zones/layout_json.h"

namespace quadrel_cli {

nlohmann::ordered_json pageToJson(const PageResult& result) {
    if (result.ok()) return zones::LayoutPageJson(layoutDocumentOf(result));
    return {{"file", result.file}, {"page", result.page}, {"error", result.error}};
}

PageResult pageFromJson(const nlohmann::ordered_json& json) {
    if (!json.contains("error")) return resultOf(zones::LayoutDocumentFromJson(json));
    PageResult result;
    result.file = json.at("file").get<std::string>();
    result.page = json.at("page").get<int>();
    result.error = json.at("error").get<std::string>();
    return result;
}

nlohmann::ordered_json reportToJson(const std::vector<PageResult>& results) {
    nlohmann::ordered_json pages = nlohmann::ordered_json::array();
    nlohmann::ordered_json failures = nlohmann::ordered_json::array();
    std::size_t zoneTotal = 0;
    for (const PageResult& result : results) {
        (result.ok() ? pages : failures).push_back(pageToJson(result));
        zoneTotal += result.zones.size();
    }
    nlohmann::ordered_json summary = {{"pages", results.size()},
                                      {"analysed", pages.size()},
                                      {"failed", failures.size()},
                                      {"zones", zoneTotal}};
    return {{"pages", std::move(pages)},
            {"failures", std::move(failures)},
            {"summary", std::move(summary)}};
}

} // namespace quadrel_cli
