#include "zones/zone_kinds.h"

#include <array>

namespace zones {
namespace {

struct KindInfo {
    std::string_view name;
    std::string_view xmlLine;
    ZoneColour colour;
};

// Indexed by ZoneKind, which follows the library's content codes 0-6, noise last.
constexpr std::array<KindInfo, kZoneKindCount> kKinds{{
    {"Line", "<content>line</content>", {255, 255, 0}},
    {"Table", "<content>table</content>", {128, 0, 128}},
    {"T/Column", "<content>column table</content>", {0, 128, 128}},
    {"T/Cell", "<content>cell table</content>", {128, 0, 0}},
    {"Inverted Text", "<content>inverted text</content>", {0, 128, 0}},
    {"Picture", "<content>image</content>", {255, 0, 0}},
    {"Text", "<content>text</content>", {0, 0, 255}},
    {"Noise", "<content>noise</content>", {128, 128, 128}},
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

std::string_view zoneContentXmlLine(std::int32_t content) {
    return infoOf(content).xmlLine;
}

ZoneColour zoneColour(std::int32_t content) {
    return infoOf(content).colour;
}

} // namespace zones
