// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// A run table held at four bytes a run instead of twelve while no step reads
// it: the run-table memo keeps a page's column runs this way between line
// detection and line removal. Each run's start and end are held as 16-bit
// numbers; labels are not held.
#pragma once

#include "library/image/components.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace quadrel {

class PackedRunTable {
  public:
    // Nothing when a run ends past 65535: such a table is kept as it is.
    static std::optional<PackedRunTable> of(const RunTable& table);

    // Adds a row after the last; false (the table then of no use) when a run
    // ends past 65535.
    bool appendRow(std::span<const LaRun> runs);

    // The table again, every label 0.
    RunTable unpack() const;

    // Room for `rows` rows of `runs` runs in all.
    void reserve(std::size_t rows, std::size_t runs);

    // A table may leave empty the rows that hold no run of `length` pixels
    // or more: it then serves only searches for runs at least that long. 0
    // (the default) for a complete table.
    void setShortestKeptRun(std::int32_t length) { shortestKeptRun_ = length; }
    std::int32_t shortestKeptRun() const { return shortestKeptRun_; }
    bool complete() const { return shortestKeptRun_ == 0; }

    std::size_t rows() const { return rowEnd_.size(); }
    std::size_t runs() const { return bounds_.size() / 2; }
    // Row r alone into `runs` (its storage reused), every label 0.
    void unpackRow(std::size_t r, std::vector<LaRun>& runs) const;

  private:
    std::vector<std::uint32_t> rowEnd_; // row r: runs [rowEnd_[r - 1], rowEnd_[r])
    std::vector<std::uint16_t> bounds_; // start and end of every run, row after row
    std::int32_t shortestKeptRun_ = 0;
};

} // namespace quadrel
