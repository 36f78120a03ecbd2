// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Which table each column and cell of the zone table belongs to. The library
// lists a table's columns and cells as zones of their own, inside the table's
// box; the standard formats nest them in their table and the JSON names it.
#pragma once

#include "zones/zone_source.h"

#include <vector>

namespace zones {

inline constexpr int kNoParent = -1;

// For each zone: the index of the table zone that holds the centre of its
// box when it is a column or a cell (the smallest such table when tables
// nest), else kNoParent.
std::vector<int> TableParents(const std::vector<ZoneRecord>& zones);

} // namespace zones
