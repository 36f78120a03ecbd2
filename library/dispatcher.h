// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Runs one function code of a pipe on a fresh copy of the current bitmap and
// files its result in the context.
#pragma once

#include "library/context.h"
#include "library/functions/analysis_functions.h"

#include <cstdint>

namespace quadrel {

// The six analysis functions, reached through one table so that tests can
// stand in their own results.
struct AnalysisTable {
    decltype(&detectSkew) skew = &detectSkew;
    decltype(&detectLinesAndTables) linesAndTables = &detectLinesAndTables;
    decltype(&removeLines) lineRemoval = &removeLines;
    decltype(&detectInverseText) inverseText = &detectInverseText;
    decltype(&detectPictures) pictures = &detectPictures;
    decltype(&segmentTextBlocks) textBlocks = &segmentTextBlocks;
};

// Replaces the functions the dispatcher calls; null restores the real ones.
// The table must outlive its use. Not for concurrent use with LA_Execute.
void setAnalysisTableForTesting(const AnalysisTable* table);

// Runs one code on the context (codes 1, 2, 4, 8, 16, 32; any other code is
// skipped with status 0):
//  1. copies the current bitmap into a new input record;
//  2. only then releases the function's slots of an earlier run (the current
//     bitmap may be one of them) and installs the copy and an empty output;
//  3. calls the function and keeps its status in the context (a failing
//     function does not fail the run);
//  4. turns the y fields of every output record from bitmap rows into page
//     rows, y -> H - 1 - y with H the input copy's height;
//  5. code 1 marks the skew angle valid and makes its output current; code 4
//     makes its output current.
// Status 0, or 1 when memory for the copy or the output runs out; the
// function's old slots are then left as they were.
std::int32_t runFunctionCode(LaContext& context, std::int32_t code);

// The status the function of `code` returned on its last run on the context;
// 0 for a code that is no function.
std::int32_t functionStatus(const LaContext& context, std::int32_t code);

} // namespace quadrel
