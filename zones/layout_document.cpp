// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "zones/layout_document.h"

#include <ctime>

namespace zones {

std::string FormatHundredths(std::int64_t hundredths) {
    const std::int64_t value = hundredths;
    const std::int64_t magnitude = value < 0 ? -value : value;
    std::string text = value < 0 ? "-" : "";
    text += std::to_string(magnitude / 100);
    const std::int64_t fraction = magnitude % 100;
    if (fraction != 0) {
        text += '.';
        text += char('0' + fraction / 10);
        if (fraction % 10 != 0) text += char('0' + fraction % 10);
    }
    return text;
}

std::string TextAngleText(const LayoutPage& page) {
    return page.skewMeasured ? FormatHundredths(-std::int64_t(page.skewHundredths)) : "0";
}

std::string CreationTime(const LayoutDocument& document) {
    if (!document.created.empty()) return document.created;
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &utc);
    return text;
}

std::string ZoneId(std::size_t index) {
    return "zone_" + std::to_string(index);
}

} // namespace zones
