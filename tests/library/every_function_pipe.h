// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// A caller's pipe that runs every analysis function once, deskew first.
#pragma once

#include "library/la_api.h"
#include "tests/support/zone_rows.h"

namespace testsupport {

inline PipeHandle installEveryFunctionPipe(LaContext* ctx) {
    return installPipe(ctx,
                       {LA_FUNCTION_SKEW, LA_FUNCTION_LINES_AND_TABLES, LA_FUNCTION_INVERSE_TEXT,
                        LA_FUNCTION_LINE_REMOVAL, LA_FUNCTION_PICTURES, LA_FUNCTION_TEXT_BLOCKS});
}

} // namespace testsupport
