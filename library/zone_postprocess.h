// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Final merging of text zones: pass 0 joins text zones stacked above one
// another (unless a horizontal line separates them), pass 1 joins text zones
// side by side; both join zones nested in one another. Text size is measured
// on the bitmap on which text block segmentation ran.
#pragma once

#include "library/image/bitmap.h"
#include "library/image/components.h"
#include "library/records.h"
#include "library/zone_merge_rules.h"

#include <array>
#include <cstdint>
#include <map>
#include <vector>

namespace quadrel {

// What both passes share, for one bitmap: the text measurements made so far
// by zone box (left, top, right, bottom), since most zones reach the second
// pass unchanged; and, when an earlier step kept them, the runs of every row
// of the bitmap, from which a zone's runs are clipped instead of cropping
// and encoding the zone.
struct TextStatsCache {
    std::map<std::array<std::int32_t, 4>, LaTextStats> byBox;
    const RunTable* rowRuns = nullptr;
};

// Runs one pass (0 or 1) over the zone table. `textInput` may be null (the
// table is then unchanged). Status 0, 1 memory exhausted, or the status of a
// failed component extraction (4 when a measured text zone holds no black).
// A cache, when given, must belong to `textInput` alone.
std::int32_t postProcessZones(const LaBitmap* textInput, std::vector<LaZone>& zones,
                              std::int32_t pass, TextStatsCache* cache = nullptr);

} // namespace quadrel
