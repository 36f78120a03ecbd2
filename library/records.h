// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Result records of the analysis functions and the public zone record.
//
// Every function fills a list (a std::vector) of one record kind. Fields are
// signed 32-bit; x is a pixel column, y a bitmap row as the function produced
// it (the dispatcher later turns the two y fields into page rows).
#pragma once

#include <cstdint>
#include <vector>

namespace quadrel {

template <class Record> using LaList = std::vector<Record>;

// Lines, tables, table columns and cells (code 2) and inverse text (code 8).
struct LaRegionRecord {
    std::int32_t xMin = 0;
    std::int32_t yMin = 0;
    std::int32_t xMax = 0; // exclusive for horizontal extents
    std::int32_t yMax = 0;
    std::int32_t length = 0;
    std::int32_t thickness = 0;
    std::int32_t inkCount = 0;
    std::int32_t area = 0;
    std::int32_t density = 0;
    std::int32_t content = 0; // LA_CONTENT_LINE, _TABLE, _TABLE_COLUMN or _TABLE_CELL
    std::int32_t reserved = 0;
};

// Picture components (code 16). Note the field order: x_min, x_max, y_min, y_max.
struct LaPictureRecord {
    std::int32_t xMin = 0;
    std::int32_t xMax = 0; // exclusive
    std::int32_t yMin = 0;
    std::int32_t yMax = 0; // inclusive
};

// Text and picture blocks (code 32).
struct LaTextBlock {
    std::int32_t xMin = 0;
    std::int32_t yMin = 0;
    std::int32_t xMax = 0;      // exclusive
    std::int32_t yMax = 0;      // inclusive
    std::int32_t itemCount = 0; // always 0: blocks list no items
    std::int32_t content = 0;   // LA_CONTENT_TEXT or LA_CONTENT_PICTURE
};

// One public zone: page pixels, origin top left, right exclusive.
struct LaZone {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    std::int32_t content = 0;
    std::int32_t index = 0;
};

} // namespace quadrel
