#include "cli/json_report.h"

#include "zones/zone_kinds.h"

namespace quadrel_cli {

nlohmann::ordered_json pageToJson(const PageResult& result) {
    nlohmann::ordered_json page = {{"file", result.file}, {"page", result.page}};
    if (!result.ok()) {
        page["error"] = result.error;
        return page;
    }
    page["width"] = result.width;
    page["height"] = result.height;
    page["skew"] = result.skew;
    page["skew_measured"] = result.skewMeasured;
    nlohmann::ordered_json zones = nlohmann::ordered_json::array();
    for (std::size_t i = 0; i < result.zones.size(); ++i) {
        const zones::ZoneRecord& z = result.zones[i];
        zones.push_back({{"index", i},
                         {"left", z.left},
                         {"top", z.top},
                         {"right", z.right},
                         {"bottom", z.bottom},
                         {"content", z.content},
                         {"content_name", std::string(zones::ZoneContentName(z.content))}});
    }
    page["zones"] = std::move(zones);
    return page;
}

PageResult pageFromJson(const nlohmann::ordered_json& json) {
    PageResult result;
    result.file = json.at("file").get<std::string>();
    result.page = json.at("page").get<int>();
    if (json.contains("error")) {
        result.error = json.at("error").get<std::string>();
        return result;
    }
    result.width = json.at("width").get<int>();
    result.height = json.at("height").get<int>();
    result.skew = json.at("skew").get<std::int32_t>();
    result.skewMeasured = json.at("skew_measured").get<bool>();
    for (const nlohmann::ordered_json& z : json.at("zones"))
        result.zones.push_back({z.at("left").get<std::int32_t>(), z.at("top").get<std::int32_t>(),
                                z.at("right").get<std::int32_t>(),
                                z.at("bottom").get<std::int32_t>(),
                                z.at("content").get<std::int32_t>()});
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
