// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "library/image/packed_run_table.h"

#include <limits>

namespace quadrel {

std::optional<PackedRunTable> PackedRunTable::of(const RunTable& table) {
    constexpr std::int32_t kLargest = std::numeric_limits<std::uint16_t>::max();
    std::size_t runs = 0;
    for (const std::vector<LaRun>& row : table) {
        if (!row.empty() && (row.front().start < 0 || row.back().end > kLargest))
            return std::nullopt; // a row's runs lie left to right
        runs += row.size();
    }
    if (runs > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
    PackedRunTable packed;
    packed.rowEnd_.resize(table.size());
    packed.bounds_.resize(2 * runs);
    std::uint16_t* bound = packed.bounds_.data();
    for (std::size_t r = 0; r < table.size(); ++r) {
        for (const LaRun& run : table[r]) {
            bound[0] = std::uint16_t(run.start);
            bound[1] = std::uint16_t(run.end);
            bound += 2;
        }
        packed.rowEnd_[r] = std::uint32_t((bound - packed.bounds_.data()) / 2);
    }
    return packed;
}

RunTable PackedRunTable::unpack() const {
    RunTable table(rows());
    for (std::size_t r = 0; r < rows(); ++r) unpackRow(r, table[r]);
    return table;
}

void PackedRunTable::unpackRow(std::size_t r, std::vector<LaRun>& runs) const {
    const std::size_t first = r == 0 ? 0 : rowEnd_[r - 1];
    runs.resize(rowEnd_[r] - first);
    const std::uint16_t* bound = bounds_.data() + 2 * first;
    for (LaRun& run : runs) {
        run = LaRun{bound[0], bound[1], 0};
        bound += 2;
    }
}

} // namespace quadrel
