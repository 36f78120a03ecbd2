// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The reading order of a zone table, used by the standard formats and the
// JSON report. The zone table keeps its own order; this is a second one.
//
// Zones fall into four groups read one after the other: text (text and
// inverted text) with the tables, then pictures, then lines, then noise.
// A table is one unit with its columns and cells (TableParents): the table,
// then its columns left to right, then its cells row by row. A column or cell
// outside every table is a unit of its own in the first group.
//
// Within a group the units are ordered by a recursive XY-cut over their
// boxes: where vertical bands of white separate the units into columns, the
// columns are read left to right, each on its own; otherwise, where a
// horizontal band of white crosses them, the units above it are read first,
// on their own, and the rest is looked at afresh; units that no white band
// separates are read by their top edge, then their left edge. Cutting columns
// first reads a page of columns column by column, even where paragraph gaps
// line up across them; a heading that spans the columns stops the column
// cut, so it is read first, and the columns under it are then found.
#pragma once

#include "zones/zone_source.h"

#include <vector>

namespace zones {

// Zone indexes in reading order: every zone exactly once.
std::vector<int> ReadingOrder(const std::vector<ZoneRecord>& zones);

// For each zone its place in `order` (0 first): rank[order[k]] = k.
std::vector<int> ReadingRanks(const std::vector<int>& order);

} // namespace zones
