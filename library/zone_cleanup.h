// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Removal of zones that another zone makes redundant: noise inside a zone,
// inverted text under a picture or framing text, pictures inside pictures,
// tiny text inside pictures. Then the survivors are compacted.
//
// Zones are in page coordinates (top <= bottom, right exclusive). All ratios
// are integer per-mille values with truncating division, computed in 64 bits
// because areas x 1000 pass 32 bits on big pages.
#pragma once

#include "library/records.h"

#include <cstdint>
#include <vector>

namespace quadrel {

// b lies inside a, borders included.
bool zoneWithin(const LaZone& a, const LaZone& b);

// 1 when a lies more than 95% inside b, 2 when b lies more than 95% inside a,
// else 0. Both areas count 1 more than each span; a zero area gives a
// quotient of 0.
std::int32_t overlapClass(const LaZone& a, const LaZone& b);

// The shared span of the two zones' columns exceeds 95% of their joint span.
// Two zones of zero joint width never overlap this way.
bool columnOverlap(const LaZone& a, const LaZone& b);

// 0 when the zones do not intersect, else the smaller of the two per-mille
// shares of the intersection in each zone's area.
std::int64_t smallerShareOverlap(const LaZone& a, const LaZone& b);

// The narrower width × 1000 / the wider; 1000 when the divisor is 0.
std::int64_t widthRatio(const LaZone& a, const LaZone& b);

// The rules for one ordered pair: marks a or b (index -1) when the other
// makes it redundant. A rule that marks a zone does not stop the later rules
// of the same pair.
void applyRedundancyRules(LaZone& a, LaZone& b, std::int64_t pageWidth, std::int64_t pageHeight);

// Marks redundant zones (index -1), visiting every ordered pair of zones that
// are both still unmarked, in order (pairs no rule can act on, boxes sharing
// neither a pixel nor, for a picture and inverted text, columns, are skipped
// through a grid index, so big pages cost in proportion to their zones). pageWidth and pageHeight
// tell which pictures touch the page edge; such pictures are never removed as nested in one
// another.
void markRedundantZones(std::vector<LaZone>& zones, std::int32_t pageWidth,
                        std::int32_t pageHeight);

// Keeps the zones not marked -1, in order, each with its new position in its
// index field. May throw std::bad_alloc; the table is then unchanged.
void compactZones(std::vector<LaZone>& zones);

} // namespace quadrel
