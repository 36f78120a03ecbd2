// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Items (boxes, lines) ordered by their top row, so that the items sharing
// rows with a given span are found without looking at every item of the page.
#pragma once

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <vector>

namespace quadrel {

class RowSpanIndex {
  public:
    // `topOf(i)` and `bottomOf(i)` give item i's first and last row.
    template <class TopOf, class BottomOf>
    RowSpanIndex(std::size_t count, TopOf topOf, BottomOf bottomOf) : order_(count) {
        std::iota(order_.begin(), order_.end(), std::int32_t(0));
        std::stable_sort(order_.begin(), order_.end(),
                         [&](std::int32_t a, std::int32_t b) { return topOf(a) < topOf(b); });
        tops_.reserve(count);
        for (std::int32_t i : order_) {
            tops_.push_back(topOf(i));
            tallest_ = std::max(tallest_, std::int64_t(bottomOf(i)) - topOf(i));
        }
    }

    // Calls visit(i) for every item whose rows [top, bottom] may meet the rows
    // [first, last]: every item that does, and some that do not, in no set
    // order. The caller applies its own exact test.
    template <class Visit>
    void forEachNear(std::int64_t first, std::int64_t last, Visit&& visit) const {
        // An item that meets the span starts at most `tallest_` rows above it.
        auto it =
            std::lower_bound(tops_.begin(), tops_.end(), first - tallest_,
                             [](std::int32_t top, std::int64_t value) { return top < value; });
        for (; it != tops_.end() && *it <= last; ++it)
            visit(order_[std::size_t(it - tops_.begin())]);
    }

  private:
    std::vector<std::int32_t> order_; // item indices by top row
    std::vector<std::int32_t> tops_;  // their top rows, ascending
    std::int64_t tallest_ = 0;        // largest bottom - top
};

} // namespace quadrel
