// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "library/image/packed_run_table.h"

#include <limits>

namespace quadrel {

namespace {

constexpr std::int32_t kLargest = std::numeric_limits<std::uint16_t>::max();

} // namespace

std::optional<PackedRunTable> PackedRunTable::of(const RunTable& table) {
    std::size_t runs = 0;
    for (const std::vector<LaRun>& row : table) runs += row.size();
    PackedRunTable packed;
    packed.reserve(table.size(), runs);
    for (const std::vector<LaRun>& row : table)
        if (!packed.appendRow(row)) return std::nullopt;
    return packed;
}

void PackedRunTable::reserve(std::size_t rows, std::size_t runs) {
    rowEnd_.reserve(rows);
    bounds_.reserve(2 * runs);
}

bool PackedRunTable::appendRow(std::span<const LaRun> runs) {
    // A row's runs lie left to right.
    if (!runs.empty() && (runs.front().start < 0 || runs.back().end > kLargest)) return false;
    const std::size_t first = bounds_.size();
    if ((first + 2 * runs.size()) / 2 > std::numeric_limits<std::uint32_t>::max()) return false;
    bounds_.resize(first + 2 * runs.size());
    std::uint16_t* bound = bounds_.data() + first;
    for (const LaRun& run : runs) {
        bound[0] = std::uint16_t(run.start);
        bound[1] = std::uint16_t(run.end);
        bound += 2;
    }
    rowEnd_.push_back(std::uint32_t(bounds_.size() / 2));
    return true;
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
