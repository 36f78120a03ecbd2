// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Component grouping: components chained to their nearest right neighbour on
// the same line, chains side by side merged into groups, and each group cut
// into elements (word- or piece-like runs of components) at wide gaps.
#pragma once

#include "library/image/components.h"

#include <cstdint>
#include <vector>

namespace quadrel {

// Only groupingSize is consulted (a value below 1 counts as 5).
struct LaGroupRequest {
    std::int32_t height = 0;
    std::int32_t width = 0;
    std::int32_t firstOption = 0;
    std::int32_t secondOption = 1;
    std::int32_t blackIsZero = 0;
    std::int32_t groupingSize = 5;
    std::int32_t spare = 0;
};

struct LaElement {
    std::int32_t memberCount = 0;
    std::int32_t left = 0;   // smallest xMin
    std::int32_t right = 0;  // largest xEnd (exclusive)
    std::int32_t top = 0;    // smallest yMin
    std::int32_t bottom = 0; // largest yMax (inclusive)
    std::int32_t kind = 0;   // 1 text candidate (bottom - top < 301), 2 picture element
    std::int32_t blockLink = 0;
};

struct LaLineGroup {
    std::int32_t left = 0;
    std::int32_t right = 0;
    std::int32_t top = 0;
    std::int32_t bottom = 0;
    std::int32_t elementCount = 0;
    std::vector<LaElement> elements;
};

// The request of every caller: the bitmap's size and polarity, option words
// 0 and 1, and the given grouping size.
LaGroupRequest groupRequestFor(const LaBitmap& bitmap, std::int32_t groupingSize);

// Groups the components of `source` (whose run table must have been kept).
// Writes each grouped component's links: linkB = group index, linkA = element
// index within the group, spare = element number over all groups. The links
// must be unset (-1) on entry, as extraction leaves them, and `groups` empty. Status 0 (also with
// no participant), 1 memory exhausted.
std::int32_t groupComponents(const LaComponentSource& source, std::vector<LaComponent>& components,
                             const LaGroupRequest& request, std::vector<LaLineGroup>& groups);

} // namespace quadrel
