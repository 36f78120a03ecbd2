// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// What the standard layout writers (PAGE XML, ALTO, hOCR) and the JSON report
// are given: the page the user handed to the analysis, and the zone table the
// analysis returned for it.
#pragma once

#include "zones/zone_source.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zones {

struct LayoutPage {
    std::string imageFile; // recorded as given (a name or a path)
    int pageIndex = 0;     // page of the file, from 0
    int width = 0;         // the page given to the analysis, pixels
    int height = 0;
    int xDpi = 0; // pixels per inch; 0 when the file does not say
    int yDpi = 0;
    // Whether skew detection (code 1) ran, and the angle it measured in
    // hundredths of a degree (parameter LA_PARAM_SKEW_ANGLE). When it ran,
    // the zone table lies on the page it straightened (see DeskewGeometry).
    bool skewMeasured = false;
    std::int32_t skewHundredths = 0;
};

struct LayoutDocument {
    LayoutPage page;
    std::vector<ZoneRecord> zones; // the zone table, in table order
    std::string creator;           // program name and version, e.g. "quadrel 1.1.0"
    std::string created;           // UTC time "YYYY-MM-DDTHH:MM:SS"; empty: now
};

// "1.6" for 160, "-0.05" for -5, "0" for 0: exact, without floating point.
std::string FormatHundredths(std::int64_t hundredths);

// The angle, in degrees counter-clockwise, by which the text lines of the
// original page stand turned: the opposite of the measured skew (the library
// measures lines that climb to the right as a negative angle). "0" when the
// skew was not measured.
std::string TextAngleText(const LayoutPage& page);

// The document's creation time, or the current UTC time when it has none.
std::string CreationTime(const LayoutDocument& document);

// The identifier of zone `index` in every standard format: "zone_<index>".
std::string ZoneId(std::size_t index);

} // namespace zones
