// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The zone table arranged for the standard formats: each zone with its id,
// its corners on the original page, its parent table, in reading order.
#pragma once

#include "zones/deskew_geometry.h"
#include "zones/layout_document.h"
#include "zones/zone_kinds.h"

#include <array>
#include <string>
#include <vector>

namespace zones {

struct LayoutRegion {
    std::size_t index = 0; // in the zone table
    std::int32_t content = 0;
    ZoneKind kind = ZoneKind::Noise;
    std::string id;                    // ZoneId(index)
    std::array<PixelPoint, 4> corners; // on the original page, see ZoneCorners
    PixelBox box;                      // enclosing the corners, inclusive
    int parent = -1;                   // index of its table, or -1
    std::vector<std::size_t> members;  // a table's columns and cells, in reading order
};

struct LayoutRegions {
    explicit LayoutRegions(const LayoutDocument& document);

    DeskewGeometry geometry;
    std::vector<LayoutRegion> regions; // in table order
    std::vector<int> order;            // ReadingOrder of the zones

    // The regions that stand on the page itself (not inside a table), in reading order.
    std::vector<const LayoutRegion*> topLevel() const;
};

// "x,y x,y x,y x,y": the corners as PAGE and ALTO list points.
std::string PointsText(const std::array<PixelPoint, 4>& corners);

} // namespace zones
