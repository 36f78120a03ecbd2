// The rows where each pixel column changes colour, for every column of a
// bitmap at once. Each row is compared with the row before it 64 pixels at a
// time, so white areas cost almost nothing; the same lists read column by
// column (encodeColumn) cost a bit test per pixel.
#pragma once

#include "library/image/bitmap.h"

#include <cstdint>
#include <span>
#include <vector>

namespace quadrel {

struct ColumnTransitions {
    std::int32_t height = 0;
    std::vector<std::int32_t> rows; // every column's list, column 0 first
    std::vector<std::size_t> start; // column x: rows[start[x], start[x + 1])

    std::int32_t columns() const { return start.empty() ? 0 : std::int32_t(start.size() - 1); }
    // Rows r, increasing, where pixel (x, r) differs from (x, r - 1); row -1
    // counts as white. Black runs are (t1, t2), (t3, t4), ... and an unpaired
    // last change runs to `height`, as in encodeColumn's list.
    std::span<const std::int32_t> of(std::int32_t x) const {
        return {rows.data() + start[std::size_t(x)],
                start[std::size_t(x) + 1] - start[std::size_t(x)]};
    }
};

// A bitmap without pixels gives no columns.
ColumnTransitions findColumnTransitions(const LaBitmap& bitmap);

} // namespace quadrel
