// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "zones/layout_regions.h"

#include "zones/reading_order.h"
#include "zones/table_parents.h"

namespace zones {

LayoutRegions::LayoutRegions(const LayoutDocument& document)
    : geometry(document.page), order(ReadingOrder(document.zones)) {
    const std::vector<int> parents = TableParents(document.zones);
    regions.reserve(document.zones.size());
    for (std::size_t i = 0; i < document.zones.size(); ++i) {
        LayoutRegion region;
        region.index = i;
        region.content = document.zones[i].content;
        region.kind = zoneKindOf(region.content);
        region.id = ZoneId(i);
        region.corners = ZoneCorners(geometry, document.zones[i]);
        region.box = EnclosingBox(region.corners);
        region.parent = parents[i];
        regions.push_back(std::move(region));
    }
    for (int i : order)
        if (const int parent = parents[std::size_t(i)]; parent != kNoParent)
            regions[std::size_t(parent)].members.push_back(std::size_t(i));
}

std::vector<const LayoutRegion*> LayoutRegions::topLevel() const {
    std::vector<const LayoutRegion*> top;
    for (int i : order)
        if (regions[std::size_t(i)].parent == kNoParent) top.push_back(&regions[std::size_t(i)]);
    return top;
}

std::string PointsText(const std::array<PixelPoint, 4>& corners) {
    std::string text;
    for (const PixelPoint& p : corners) {
        if (!text.empty()) text += ' ';
        text += std::to_string(p.x) + "," + std::to_string(p.y);
    }
    return text;
}

} // namespace zones
