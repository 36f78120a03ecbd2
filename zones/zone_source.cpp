// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "zones/zone_source.h"

namespace zones {

std::int32_t ZoneSource::zoneCount() const {
    return count ? count(context) : 0;
}

ZoneRecord ZoneSource::zone(std::int32_t index) const {
    ZoneRecord z;
    if (rect) rect(context, index, &z.left, &z.top, &z.right, &z.bottom);
    if (content) content(context, index, &z.content);
    return z;
}

std::vector<ZoneRecord> readZones(const ZoneSource& source) {
    const std::int32_t n = source.zoneCount();
    std::vector<ZoneRecord> zones;
    zones.reserve(n > 0 ? std::size_t(n) : 0);
    for (std::int32_t i = 0; i < n; ++i) zones.push_back(source.zone(i));
    return zones;
}

} // namespace zones
