// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The working box of words and text blocks, and the links that tie each text
// element of the page's line groups to the box that currently holds it.
#pragma once

#include "library/image/grouping.h"
#include "library/image/row_span_index.h"

#include <cstdint>
#include <vector>

namespace quadrel {

inline constexpr std::int32_t kEmptyBoxMin = 2147483647;

struct LaBlockBox {
    std::int32_t left = kEmptyBoxMin;
    std::int32_t right = 0; // exclusive
    std::int32_t top = kEmptyBoxMin;
    std::int32_t bottom = 0; // inclusive
    std::int32_t stroke = 0; // typical horizontal black-run length
    std::int32_t label = 0;  // merge label; after a merge stage, the new box's index
    std::int32_t small = 0;  // 1 for a word small enough to attach to a neighbour
    std::int32_t pitch = 0;  // typical white gap between text rows around the box

    std::int32_t width() const { return right - left; }
    std::int32_t rows() const { return bottom - top + 1; }

    // Grows the box to hold the rectangle [l, r) x [t, b].
    void add(std::int32_t l, std::int32_t r, std::int32_t t, std::int32_t b) {
        if (l < left) left = l;
        if (r > right) right = r;
        if (t < top) top = t;
        if (b > bottom) bottom = b;
    }
    void add(const LaBlockBox& other) { add(other.left, other.right, other.top, other.bottom); }
    void add(const LaElement& e) { add(e.left, e.right, e.top, e.bottom); }
};

// A box with only its extent set, as a merge stage produces it.
inline LaBlockBox boxOf(const LaBlockBox& source) {
    LaBlockBox box;
    box.add(source);
    return box;
}

// An element's blockLink holds 1 + the index of its box in the current list;
// 0 means the element belongs to no box.
inline std::int32_t linkedBox(const LaElement& e) {
    return e.blockLink - 1;
}
inline void linkToBox(LaElement& e, std::int32_t box) {
    e.blockLink = box + 1;
}

// After a stage that turned `previous` into a new list (each previous box's
// label naming its new box), points every linked element at its new box.
inline void moveBlockLinks(std::vector<LaLineGroup>& groups,
                           const std::vector<LaBlockBox>& previous) {
    for (LaLineGroup& g : groups)
        for (LaElement& e : g.elements)
            if (e.blockLink > 0) linkToBox(e, previous[std::size_t(linkedBox(e))].label);
}

// The boxes ordered by top row, to find those sharing rows with a span.
inline RowSpanIndex rowIndexOf(const std::vector<LaBlockBox>& boxes) {
    return RowSpanIndex(
        boxes.size(), [&](std::int32_t i) { return boxes[std::size_t(i)].top; },
        [&](std::int32_t i) { return boxes[std::size_t(i)].bottom; });
}

} // namespace quadrel
