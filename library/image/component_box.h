// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Box of a set of components: smallest xMin, largest xEnd (exclusive),
// smallest yMin, largest yMax (inclusive). Starts empty.
#pragma once

#include "library/image/components.h"

#include <algorithm>
#include <cstdint>

namespace quadrel {

struct ComponentBox {
    std::int32_t left = kBoxStartMin;
    std::int32_t right = 0;
    std::int32_t top = kBoxStartMin;
    std::int32_t bottom = 0;

    void add(const LaComponent& c) {
        left = std::min(left, c.xMin);
        right = std::max(right, c.xEnd);
        top = std::min(top, c.yMin);
        bottom = std::max(bottom, c.yMax);
    }
    void add(const ComponentBox& b) {
        left = std::min(left, b.left);
        right = std::max(right, b.right);
        top = std::min(top, b.top);
        bottom = std::max(bottom, b.bottom);
    }
};

} // namespace quadrel
