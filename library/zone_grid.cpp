// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "library/zone_grid.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace quadrel {

namespace {

bool boxesMeet(const LaZone& a, const LaZone& b) {
    return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

} // namespace

bool zoneWellFormed(const LaZone& z) {
    return z.left <= z.right && z.top <= z.bottom;
}

LaZone clampedZone(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom) {
    const auto clamp = [](std::int64_t v) {
        return std::int32_t(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
    };
    return LaZone{clamp(left), clamp(top), clamp(right), clamp(bottom), 0, 0};
}

ZoneGrid::ZoneGrid(std::span<const LaZone> zones)
    : zones_(zones.begin(), zones.end()), seen_(zones.size(), 0) {
    std::int64_t left = INT64_MAX, top = INT64_MAX, right = INT64_MIN, bottom = INT64_MIN;
    std::int64_t indexed = 0;
    for (const LaZone& z : zones) {
        if (!zoneWellFormed(z)) continue;
        left = std::min<std::int64_t>(left, z.left);
        top = std::min<std::int64_t>(top, z.top);
        right = std::max<std::int64_t>(right, z.right);
        bottom = std::max<std::int64_t>(bottom, z.bottom);
        ++indexed;
    }
    if (indexed == 0) return;
    // About one cell per zone: a typical zone then falls into a few cells.
    const double extent = double(right - left + 1) * double(bottom - top + 1);
    cellSize_ = std::max<std::int64_t>(1, std::int64_t(std::sqrt(extent / double(indexed))) + 1);
    originX_ = left;
    originY_ = top;
    across_ = (right - left) / cellSize_ + 1;
    down_ = (bottom - top) / cellSize_ + 1;

    std::vector<std::int32_t> counts(std::size_t(across_ * down_) + 1, 0);
    for (const LaZone& z : zones)
        if (zoneWellFormed(z)) forEachCell(z, [&](std::size_t cell) { ++counts[cell + 1]; });
    for (std::size_t c = 1; c < counts.size(); ++c) counts[c] += counts[c - 1];
    cellStart_ = counts;
    members_.resize(std::size_t(counts.back()));
    for (std::size_t i = 0; i < zones.size(); ++i)
        if (zoneWellFormed(zones[i]))
            forEachCell(zones[i], [&](std::size_t cell) {
                members_[std::size_t(counts[cell]++)] = std::int32_t(i);
            });
}

void ZoneGrid::grow(std::size_t index, const LaZone& grown) {
    zones_[index] = grown;
    if (cellStart_.empty() || !zoneWellFormed(grown)) return;
    if (grownHead_.empty()) grownHead_.assign(cellStart_.size() - 1, -1);
    forEachCell(grown, [&](std::size_t cell) {
        grownMembers_.emplace_back(std::int32_t(index), grownHead_[cell]);
        grownHead_[cell] = std::int32_t(grownMembers_.size() - 1);
    });
}

ZoneGrid::CellRange ZoneGrid::columns(const LaZone& box) const {
    const std::int64_t first = (std::int64_t(box.left) - originX_) / cellSize_;
    const std::int64_t last = (std::int64_t(box.right) - originX_) / cellSize_;
    return {std::clamp<std::int64_t>(first, 0, across_ - 1),
            std::clamp<std::int64_t>(last, 0, across_ - 1)};
}

ZoneGrid::CellRange ZoneGrid::rows(const LaZone& box) const {
    const std::int64_t first = (std::int64_t(box.top) - originY_) / cellSize_;
    const std::int64_t last = (std::int64_t(box.bottom) - originY_) / cellSize_;
    return {std::clamp<std::int64_t>(first, 0, down_ - 1),
            std::clamp<std::int64_t>(last, 0, down_ - 1)};
}

void ZoneGrid::meeting(const LaZone& box, std::vector<std::int32_t>& out) const {
    if (cellStart_.empty() || !zoneWellFormed(box)) return;
    if (++query_ == 0) { // wrapped: forget every earlier query
        std::fill(seen_.begin(), seen_.end(), 0);
        query_ = 1;
    }
    const std::size_t begin = out.size();
    const auto consider = [&](std::int32_t j) {
        if (seen_[std::size_t(j)] == query_) return;
        seen_[std::size_t(j)] = query_;
        if (boxesMeet(box, zones_[std::size_t(j)])) out.push_back(j);
    };
    const CellRange cx = columns(box), cy = rows(box);
    for (std::int64_t y = cy.first; y <= cy.last; ++y)
        for (std::int64_t x = cx.first; x <= cx.last; ++x) {
            const std::size_t cell = std::size_t(y * across_ + x);
            for (std::int32_t k = cellStart_[cell]; k < cellStart_[cell + 1]; ++k)
                consider(members_[std::size_t(k)]);
            if (grownHead_.empty()) continue;
            for (std::int32_t k = grownHead_[cell]; k >= 0;
                 k = grownMembers_[std::size_t(k)].second)
                consider(grownMembers_[std::size_t(k)].first);
        }
    std::sort(out.begin() + std::ptrdiff_t(begin), out.end());
}

} // namespace quadrel
