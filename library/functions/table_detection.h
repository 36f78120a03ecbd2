// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Tables from crossing ruling lines: lines that cross (within a tolerance)
// are grouped into tables, and every table is split into columns (between
// neighbouring vertical lines) and cells (grid cells merged where a line is
// missing between them).
#pragma once

#include "library/records.h"

#include <cstdint>

namespace quadrel {

// Reads the line records list[0 .. lineCount) (content 0), rewriting their
// `length` (x_max - x_min) and `thickness` (abs(y_max - y_min) + 1); a line
// thicker than long counts as vertical. Appends, for every table with more
// than one column or more than one cell, the table record (content 1), its
// columns left to right (content 2) and its cells (content 3). Status 0, or 1
// when memory runs out (the list then holds only the line records).
std::int32_t appendTables(LaList<LaRegionRecord>& list, std::size_t lineCount);

} // namespace quadrel
