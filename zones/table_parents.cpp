// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "zones/table_parents.h"

#include "zones/zone_kinds.h"

#include <cstdint>

namespace zones {
namespace {

bool isTablePart(const ZoneRecord& zone) {
    const ZoneKind kind = zoneKindOf(zone.content);
    return kind == ZoneKind::TableColumn || kind == ZoneKind::TableCell;
}

// Twice the centre, so that no division rounds it.
bool holdsCentre(const ZoneRecord& table, const ZoneRecord& part) {
    const std::int64_t x2 = std::int64_t(part.left) + part.right;
    const std::int64_t y2 = std::int64_t(part.top) + part.bottom;
    return x2 >= 2 * std::int64_t(table.left) && x2 <= 2 * std::int64_t(table.right) &&
           y2 >= 2 * std::int64_t(table.top) && y2 <= 2 * std::int64_t(table.bottom);
}

std::int64_t area(const ZoneRecord& z) {
    return (std::int64_t(z.right) - z.left) * (std::int64_t(z.bottom) - z.top + 1);
}

} // namespace

std::vector<int> TableParents(const std::vector<ZoneRecord>& zones) {
    std::vector<int> parents(zones.size(), kNoParent);
    for (std::size_t i = 0; i < zones.size(); ++i) {
        if (!isTablePart(zones[i])) continue;
        for (std::size_t t = 0; t < zones.size(); ++t) {
            if (zoneKindOf(zones[t].content) != ZoneKind::Table || !holdsCentre(zones[t], zones[i]))
                continue;
            const int best = parents[i];
            if (best == kNoParent || area(zones[t]) < area(zones[std::size_t(best)]))
                parents[i] = int(t);
        }
    }
    return parents;
}

} // namespace zones
