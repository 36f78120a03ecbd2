// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Zone kinds as the utility presents them: the name used in messages, the
// line of the XML layout file, the outline colour, and the set of kinds the
// user has chosen to show. Content codes outside 0-6 are noise.
#pragma once

#include <bitset>
#include <cstdint>
#include <string_view>

namespace zones {

enum class ZoneKind { Line, Table, TableColumn, TableCell, InvertedText, Picture, Text, Noise };
inline constexpr int kZoneKindCount = 8;

ZoneKind zoneKindOf(std::int32_t content);

// "Line", "Table", "T/Column", "T/Cell", "Inverted Text", "Picture", "Text", "Noise":
// the one name of each kind in the text report, the JSON report and the
// standard layout formats. (The XML layout file keeps its own words.)
std::string_view ZoneContentName(std::int32_t content);

// The same name as an identifier ("table_cell", "inverted_text"...), where a
// format needs one, as in ALTO tag identifiers.
std::string_view ZoneContentKey(std::int32_t content);

// The <content> line of a zone in the XML layout file.
std::string_view zoneContentXmlLine(std::int32_t content);

struct ZoneColour {
    std::uint8_t red, green, blue;
    friend bool operator==(const ZoneColour&, const ZoneColour&) = default;
};
ZoneColour zoneColour(std::int32_t content);

// The kinds whose zones are drawn; all of them unless told otherwise.
class ShownZoneKinds {
  public:
    ShownZoneKinds() { kinds_.set(); }
    static ShownZoneKinds none() {
        ShownZoneKinds s;
        s.kinds_.reset();
        return s;
    }
    bool shows(ZoneKind kind) const { return kinds_.test(std::size_t(kind)); }
    bool showsContent(std::int32_t content) const { return shows(zoneKindOf(content)); }
    void set(ZoneKind kind, bool shown) { kinds_.set(std::size_t(kind), shown); }
    void toggle(ZoneKind kind) { kinds_.flip(std::size_t(kind)); }

  private:
    std::bitset<kZoneKindCount> kinds_;
};

} // namespace zones
