// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Texts that the main window shows after an analysis.
#pragma once

#include "zones/zone_source.h"

#include <QString>

#include <cstdint>

namespace evalia {

// A number in the general floating-point format: up to 15 significant
// digits, no trailing zeros, the user's decimal separator, no grouping
// (0 is "0", 1.5 is "1.5", -1.43 is "-1.43").
QString GeneralFloatText(double value);

// "<n> zones found.\r\nSkew angle is <angle>°." with the angle in degrees
// from the skew angle in hundredths of a degree.
QString ProcessReportText(std::int32_t zoneCount, std::int32_t skewHundredths);

// The zone list entry of zone i: its number, kind and box in page pixels,
// "12 Text 156,204-890,260" (left,top-right,bottom).
QString ZoneListEntry(int zone, const zones::ZoneRecord& record);

} // namespace evalia
