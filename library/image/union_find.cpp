// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "library/image/union_find.h"

#include <numeric>

namespace quadrel {

UnionFind::UnionFind(std::size_t count) : parent_(count) {
    std::iota(parent_.begin(), parent_.end(), std::int32_t(0));
}

std::vector<std::int32_t> UnionFind::number(std::int32_t& groupCount) {
    // A root's entry is filled when its group first appears, which may be
    // before the root itself is reached.
    std::vector<std::int32_t> group(parent_.size(), -1);
    groupCount = 0;
    for (std::size_t i = 0; i < parent_.size(); ++i) {
        const std::size_t r = index(root(std::int32_t(i)));
        if (group[r] < 0) group[r] = groupCount++;
        group[i] = group[r];
    }
    return group;
}

} // namespace quadrel
