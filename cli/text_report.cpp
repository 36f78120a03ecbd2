// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "cli/text_report.h"

#include "zones/layout_document.h"
#include "zones/page_refusal.h"
#include "zones/zone_kinds.h"

#include <algorithm>
#include <cstdio>

namespace quadrel_cli {
namespace {

std::string plural(std::size_t n, const char* word) {
    return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
}

std::string pageLabel(int page) {
    return page < 0 ? std::string("all pages") : "page " + std::to_string(page);
}

} // namespace

std::string formatSkew(std::int32_t hundredths) {
    return zones::FormatHundredths(hundredths);
}

void printZoneTable(std::ostream& out, const PageResult& result) {
    out << result.file << ", " << pageLabel(result.page) << ": " << result.width << " x "
        << result.height << " pixels, skew "
        << (result.skewMeasured ? formatSkew(result.skew) + " degrees"
                                : std::string("not measured"))
        << ", " << plural(result.zones.size(), "zone") << "\n";
    if (result.zones.empty()) return;
    char line[128];
    std::snprintf(line, sizeof line, "%6s %7s %7s %7s %7s  %s\n", "zone", "left", "top", "right",
                  "bottom", "content");
    out << line;
    for (std::size_t i = 0; i < result.zones.size(); ++i) {
        const zones::ZoneRecord& z = result.zones[i];
        const std::string name(zones::ZoneContentName(z.content));
        std::snprintf(line, sizeof line, "%6zu %7d %7d %7d %7d  %s\n", i, z.left, z.top, z.right,
                      z.bottom, name.c_str());
        out << line;
    }
}

void printSummary(std::ostream& out, const std::vector<PageResult>& results) {
    std::size_t analysed = 0, zones = 0;
    for (const PageResult& r : results) {
        analysed += r.ok() ? 1 : 0;
        zones += r.zones.size();
    }
    out << plural(results.size(), "page") << ": " << analysed << " analysed, "
        << results.size() - analysed << " failed, " << plural(zones, "zone") << ".\n";
}

std::string failureLine(const PageResult& result) {
    std::string line =
        "quadrel: " + result.file + ", " + pageLabel(result.page) + ": " + result.error;
    // One line per failure, whatever the underlying library's message holds.
    std::replace_if(
        line.begin(), line.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
    if (result.error == zones::kNotBlackAndWhite)
        line += "\nquadrel: use --binarize to threshold grey and colour pages (Otsu) before "
                "the analysis";
    return line;
}

} // namespace quadrel_cli
