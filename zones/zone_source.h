// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Read access to the zone table of an analysis context.
//
// The command line links the analysis library while the desktop utility binds
// it at run time; both hand the writers of this folder the three zone
// accessors as plain function pointers, so the zones are read the same way.
// Statuses of the accessors are ignored, as the utility does: a field the
// library does not write reads 0.
#pragma once

#include "library/la_api.h"

#include <cstdint>
#include <vector>

namespace zones {

struct ZoneRecord {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0; // one past the last column
    std::int32_t bottom = 0;
    std::int32_t content = 0;
};

struct ZoneSource {
    using CountFunction = std::int32_t (*)(LaContext*);
    using RectFunction = std::int32_t (*)(LaContext*, std::int32_t, std::int32_t*, std::int32_t*,
                                          std::int32_t*, std::int32_t*);
    using ContentFunction = std::int32_t (*)(LaContext*, std::int32_t, std::int32_t*);

    LaContext* context = nullptr;
    CountFunction count = nullptr;
    RectFunction rect = nullptr;
    ContentFunction content = nullptr;

    // Number of zones; 0 when no count function is bound.
    std::int32_t zoneCount() const;
    // Rectangle and content code of zone `index`, read afresh from the library.
    ZoneRecord zone(std::int32_t index) const;
};

// Every zone, in table order.
std::vector<ZoneRecord> readZones(const ZoneSource& source);

} // namespace zones
