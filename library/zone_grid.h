// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// An index of zone boxes in square cells, so that the zones whose boxes meet
// a given box are found without looking at every zone: the clean-up rules
// compare only zones that meet, and a big page has thousands of zones.
#pragma once

#include "library/records.h"

#include <cstdint>
#include <span>
#include <utility>
#include <vector>

namespace quadrel {

// True for a box whose spans are not reversed (left <= right, top <= bottom).
bool zoneWellFormed(const LaZone& z);

// The box with the given bounds, each clamped to the 32-bit range (for
// search boxes widened past the edges of the coordinate range).
LaZone clampedZone(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom);

class ZoneGrid {
  public:
    // Indexes the well-formed zones of `zones` (copied).
    explicit ZoneGrid(std::span<const LaZone> zones);

    // Zone `index` takes the box `grown`, which holds its former box.
    void grow(std::size_t index, const LaZone& grown);

    // Appends to `out` the positions, ascending and each once, of the indexed
    // zones whose boxes share at least one pixel with `box` (borders
    // included), `box` itself among them when indexed.
    void meeting(const LaZone& box, std::vector<std::int32_t>& out) const;

  private:
    struct CellRange {
        std::int64_t first, last; // inclusive cell columns or rows
    };
    CellRange columns(const LaZone& box) const;
    CellRange rows(const LaZone& box) const;

    template <typename Visit> void forEachCell(const LaZone& box, Visit&& visit) const {
        const CellRange cx = columns(box), cy = rows(box);
        for (std::int64_t y = cy.first; y <= cy.last; ++y)
            for (std::int64_t x = cx.first; x <= cx.last; ++x) visit(std::size_t(y * across_ + x));
    }

    std::vector<LaZone> zones_;
    std::int64_t originX_ = 0, originY_ = 0, cellSize_ = 1, across_ = 0, down_ = 0;
    std::vector<std::int32_t> cellStart_; // per cell, into members_; one more at the end
    std::vector<std::int32_t> members_;
    // Zones added to cells after construction: per cell the first entry of a
    // list in grownMembers_ (index, next entry), -1 ending it.
    std::vector<std::int32_t> grownHead_;
    std::vector<std::pair<std::int32_t, std::int32_t>> grownMembers_;
    mutable std::vector<std::uint32_t> seen_; // per zone: the query that last saw it
    mutable std::uint32_t query_ = 0;
};

} // namespace quadrel
