// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "library/functions/transition_lists.h"

#include "library/image/column_transitions.h"

#include <algorithm>

namespace quadrel {

namespace {

template <class Encode> TransitionLists buildLists(std::int32_t lines, Encode encode) {
    TransitionLists lists;
    lists.start.reserve(std::size_t(lines) + 1);
    lists.start.push_back(0);
    std::vector<std::int32_t> scratch;
    for (std::int32_t i = 0; i < lines; ++i) {
        const std::int32_t e = encode(i, scratch);
        lists.entries.insert(lists.entries.end(), scratch.begin(), scratch.begin() + e);
        lists.start.push_back(lists.entries.size());
    }
    return lists;
}

} // namespace

TransitionLists columnLists(const LaBitmap& image) {
    const ColumnChanges changes(image);
    const std::size_t columns = std::size_t(changes.columns());
    TransitionLists lists;
    lists.start.resize(columns + 1, 0);
    for (std::size_t x = 0; x < columns; ++x)
        lists.start[x + 1] = lists.start[x] + changes.count(std::int32_t(x)) + 5;
    lists.entries.resize(lists.start.back());
    for (std::size_t x = 0; x < columns; ++x) {
        std::int32_t* out = lists.entries.data() + lists.start[x];
        *out++ = 0;
        // Writing may run three entries into the closing ones, written next.
        out = changes.write(std::int32_t(x), out);
        std::fill(out, out + 4, changes.height());
    }
    return lists;
}

TransitionLists rowLists(const LaBitmap& image) {
    const std::int32_t h = image.hasPixels() ? image.height : 0;
    const std::int32_t w = image.hasPixels() ? image.width : 0;
    const std::uint8_t white = image.whiteByte();
    return buildLists(h, [&](std::int32_t r, std::vector<std::int32_t>& out) {
        return encodeRow(image.row(r), w, white, out);
    });
}

} // namespace quadrel
