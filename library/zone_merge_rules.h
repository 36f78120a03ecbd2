// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// When two text zones of the zone table belong together: nested zones always;
// in the stacked pass, zones of one column close above one another with no
// horizontal line between them; in the side-by-side pass, zones on the same
// lines close beside one another. Both passes ask for text of the same size.
#pragma once

#include "library/records.h"

#include <cstdint>
#include <span>
#include <vector>

namespace quadrel {

// Measurements of one text zone on the page it was found on.
struct LaTextStats {
    std::int32_t rows = 0;       // height of the measured area
    std::int32_t columns = 0;    // its width
    std::int32_t runMode = 0;    // typical horizontal black run length
    std::int32_t heightMode = 0; // typical component height in rows
};

inline constexpr std::int32_t kStackedPass = 0;
inline constexpr std::int32_t kSideBySidePass = 1;

// True when `inner` lies within `outer` with 20 pixels to spare on each side.
bool liesWithinTolerance(const LaZone& inner, const LaZone& outer);

// The horizontal line zones of a page, sorted by their top row, so that the
// lines between two zones are found without looking at every line.
class HorizontalLines {
  public:
    HorizontalLines() = default;
    explicit HorizontalLines(std::span<const LaZone> lines);

    // True when a line lies between two zones stacked one above the other and
    // spans both horizontally.
    bool separate(const LaZone& a, const LaZone& b) const;

  private:
    std::vector<LaZone> byTop_;
    std::int64_t tallest_ = 0; // largest bottom - top of a line
};

// Same text size. Run modes that differ by less than 2 count as equal: `sa`
// then takes the run mode of `sb`, and keeps it for the rest of the pass.
bool sameTextSize(LaTextStats& sa, const LaTextStats& sb);

// The merge test of one pass for the pair (a, b), a coming first in the table.
bool zonesBelongTogether(const LaZone& a, LaTextStats& sa, const LaZone& b, const LaTextStats& sb,
                         std::int32_t pass, const HorizontalLines& horizontalLines);

} // namespace quadrel
