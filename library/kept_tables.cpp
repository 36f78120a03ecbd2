// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "library/kept_tables.h"

#include "library/image/run_table_memo.h"
#include "library/la_api.h"

#include <algorithm>
#include <initializer_list>

namespace quadrel {

namespace {

bool anyOf(const LaPipe& pipe, std::int32_t from, std::int32_t to,
           std::initializer_list<std::int32_t> codes) {
    const auto first = pipe.codes.begin() + std::clamp(from, 0, pipe.count);
    const auto last = pipe.codes.begin() + std::clamp(to, 0, pipe.count);
    return std::any_of(first, last, [&](std::int32_t code) {
        return std::find(codes.begin(), codes.end(), code) != codes.end();
    });
}

} // namespace

void releaseUnreadTables(const LaPipe& pipe, std::int32_t done, const LaBitmap* current) {
    const std::int32_t next = done + 1;
    if (!anyOf(pipe, next, pipe.count, {LA_FUNCTION_LINES_AND_TABLES, LA_FUNCTION_LINE_REMOVAL}))
        RunTableMemo::release(RunAxis::kColumns);
    const bool rowsReadLater =
        anyOf(pipe, next, pipe.count,
              {LA_FUNCTION_LINES_AND_TABLES, LA_FUNCTION_LINE_REMOVAL, LA_FUNCTION_INVERSE_TEXT});
    const bool textRowsKept = anyOf(pipe, 0, next, {LA_FUNCTION_TEXT_BLOCKS});
    if (!rowsReadLater && !textRowsKept) RunTableMemo::release(RunAxis::kRows);
    // Last, so that fewer pages are left to compare with the current one.
    if (current) RunTableMemo::keepOnly(*current);
}

} // namespace quadrel
