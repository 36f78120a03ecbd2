// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "library/kept_tables.h"

#include "library/image/run_table_memo.h"
#include "library/la_api.h"

namespace quadrel {

void releaseReplacedTables(std::int32_t code, const LaBitmap* current) {
    const bool newCurrent = code == LA_FUNCTION_LINE_REMOVAL || code == LA_FUNCTION_SKEW;
    if (newCurrent && current) RunTableMemo::keepOnly(*current);
}

} // namespace quadrel
