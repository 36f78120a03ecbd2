// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The transition lists of a block image's rows and columns, as encodeRow and
// encodeColumn write them: 0, the positions where the colour changes (from
// white before the first pixel), then the line's length four times.
#pragma once

#include "library/image/bitmap.h"
#include "library/image/components.h"

#include <cstdint>
#include <span>
#include <vector>

namespace quadrel {

// Transition lists of every row or every column, one after another.
struct TransitionLists {
    std::vector<std::int32_t> entries;
    std::vector<std::size_t> start; // list i is entries[start[i], start[i + 1])

    std::span<const std::int32_t> list(std::size_t i) const {
        return {entries.data() + start[i], start[i + 1] - start[i]};
    }
    std::size_t count() const { return start.size() - 1; }
};

// The lists of every column, all found in one pass.
TransitionLists columnLists(const LaBitmap& image);

// The lists of every row.
TransitionLists rowLists(const LaBitmap& image);

} // namespace quadrel
