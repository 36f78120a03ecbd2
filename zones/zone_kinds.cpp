// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "zones/zone_kinds.h"

#include <array>

namespace zones {
namespace {

struct KindInfo {
    std::string_view name;
    std::string_view key;
    std::string_view xmlLine;
    ZoneColour colour;
};

// Indexed by ZoneKind, which follows the library's content codes 0-6, noise last.
constexpr std::array<KindInfo, kZoneKindCount> kKinds{{
    {"Line", "line", "<content>line</content>", {255, 255, 0}},
    {"Table", "table", "<content>table</content>", {128, 0, 128}},
    {"T/Column", "table_column", "<content>column table</content>", {0, 128, 128}},
    {"T/Cell", "table_cell", "<content>cell table</content>", {128, 0, 0}},
    {"Inverted Text", "inverted_text", "<content>inverted text</content>", {0, 128, 0}},
    {"Picture", "picture", "<content>image</content>", {255, 0, 0}},
    {"Text", "text", "<content>text</content>", {0, 0, 255}},
    {"Noise", "noise", "<content>noise</content>", {128, 128, 128}},
}};

const KindInfo& infoOf(std::int32_t content) {
    return kKinds[std::size_t(zoneKindOf(content))];
}

} // namespace

ZoneKind zoneKindOf(std::int32_t content) {
    return content >= 0 && content < kZoneKindCount - 1 ? ZoneKind(content) : ZoneKind::Noise;
}

std::string_view ZoneContentName(std::int32_t content) {
    return infoOf(content).name;
}

std::string_view ZoneContentKey(std::int32_t content) {
    return infoOf(content).key;
}

std::string_view zoneContentXmlLine(std::int32_t content) {
    return infoOf(content).xmlLine;
}

ZoneColour zoneColour(std::int32_t content) {
    return infoOf(content).colour;
}

} // namespace zones
