// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Dark bands: stretches of rows inside one connected component that are wide
// and mostly black, the places where white-on-black text may stand.
#pragma once

#include "library/image/bitmap.h"
#include "library/image/components.h"

#include <cstdint>
#include <span>
#include <vector>

namespace quadrel {

// A dark band of a component, cut out as a region of the bitmap.
struct LaDarkRegion {
    std::int32_t left = 0x7FFFFFFF; // smallest rowLeft over the band's rows
    std::int32_t right = 0;         // largest rowRight (exclusive)
    std::int32_t top = 0;           // component yMin + band start
    std::int32_t bottom = 0;        // component yMin + band end
    std::int32_t ink = 0;           // black pixels per thousand (regionInk)
};

// Half-open stretch [start, end) of values found by findBands.
struct BandSpan {
    std::int32_t start = 0;
    std::int32_t end = 0;
};

inline constexpr std::int32_t kBandConsistency = 501; // per mille
inline constexpr std::int32_t kMinBandLength = 10;    // a band must be longer

// Stretches of positive values whose smallest value stays at least `ratio` per
// mille of the largest seen since the stretch began, longer than
// `minLength`. A stretch broken at value j ends at j and the search goes on
// two values further; a stretch too short is dropped and the search goes on
// two values past its start.
std::vector<BandSpan> findBands(std::span<const std::int32_t> values,
                                std::int32_t ratio = kBandConsistency,
                                std::int32_t minLength = kMinBandLength);

// The rows of a component as the band search reads them, indexed from its
// top row: where each row's black starts and ends (exclusive), and how many of
// its pixels are black.
struct ComponentRows {
    std::int32_t yMin = 0;
    std::vector<std::int32_t> rowLeft;
    std::vector<std::int32_t> rowRight;
    std::vector<std::int32_t> rowCount;
};

// Per-row darkness of a component: the black share per mille of a row when
// the row is wider than `minBandWidth` and more than a third black, else 0;
// then averaged over three rows.
std::vector<std::int32_t> smoothedRowDarkness(const ComponentRows& component,
                                              std::int32_t minBandWidth);

// The dark bands of one component, without their ink.
std::vector<LaDarkRegion> componentDarkBands(const ComponentRows& component,
                                             std::int32_t minBandWidth);

// Black pixels per thousand in the region, read over whole bytes: columns from
// left rounded down to right rounded up to multiples of 8, rows top ... bottom.
std::int32_t regionInk(const LaBitmap& bitmap, const LaDarkRegion& region);

// Every dark band of every component of the bitmap, in component order, with
// its ink. Status 0, or the status of the component extraction (no
// candidates then).
std::int32_t findDarkBandCandidates(const LaBitmap& bitmap, std::int32_t minBandWidth,
                                    std::vector<LaDarkRegion>& candidates);

} // namespace quadrel
