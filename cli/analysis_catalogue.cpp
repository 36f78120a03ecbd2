// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "cli/analysis_catalogue.h"

#include "library/la_api.h"

#include <algorithm>
#include <array>
#include <limits>

namespace quadrel_cli {
namespace {

constexpr std::int32_t kLengthMax = 100000; // pixels: far beyond any scanned page
constexpr std::int32_t kGroupingMax = 1000; // pixels: a tenth of the longest pages
constexpr std::int32_t kBothDirections = 3; // bit 1 horizontal, bit 2 vertical
constexpr std::int32_t kAny = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kAnyMin = std::numeric_limits<std::int32_t>::min();

constexpr std::array<FunctionInfo, 6> kFunctions{{
    {LA_FUNCTION_SKEW, "skew detection",
     "measures the page's skew angle (reported as skew, in hundredths of a degree); finds no "
     "zones"},
    {LA_FUNCTION_LINES_AND_TABLES, "lines and tables",
     "finds horizontal and vertical ruling lines, and the tables they frame with their columns "
     "and cells"},
    {LA_FUNCTION_LINE_REMOVAL, "line removal",
     "removes the ruling lines from the page, so that text touching them is found as text"},
    {LA_FUNCTION_INVERSE_TEXT, "inverse text", "finds white-on-black text bands"},
    {LA_FUNCTION_PICTURES, "pictures", "finds pictures: photographs, halftones, drawings"},
    {LA_FUNCTION_TEXT_BLOCKS, "text blocks",
     "groups what is left into text blocks; blocks smaller than parameter 400 become noise"},
}};

constexpr std::array<ParameterInfo, 10> kParameters{{
    {LA_PARAM_LINES_MIN_SEED_LENGTH, LA_FUNCTION_LINES_AND_TABLES,
     "longest black run a ruling line needs", "pixels", LA_DEFAULT_LINES_MIN_SEED_LENGTH, 1,
     kLengthMax},
    {LA_PARAM_LINES_MAX_THICKNESS, LA_FUNCTION_LINES_AND_TABLES,
     "a ruling line is thinner than this", "pixels", LA_DEFAULT_LINES_MAX_THICKNESS, 1, kLengthMax},
    {LA_PARAM_LINES_DIRECTIONS, LA_FUNCTION_LINES_AND_TABLES,
     "directions sought: 1 horizontal, 2 vertical, 3 both, 0 none", "bit mask",
     LA_DEFAULT_LINES_DIRECTIONS, 0, kBothDirections},
    {LA_PARAM_REMOVAL_MIN_SEED_LENGTH, LA_FUNCTION_LINE_REMOVAL,
     "longest black run a removed line needs", "pixels", LA_DEFAULT_REMOVAL_MIN_SEED_LENGTH, 1,
     kLengthMax},
    {LA_PARAM_REMOVAL_MAX_THICKNESS, LA_FUNCTION_LINE_REMOVAL,
     "a removed line is thinner than this", "pixels", LA_DEFAULT_REMOVAL_MAX_THICKNESS, 1,
     kLengthMax},
    {LA_PARAM_REMOVAL_DIRECTIONS, LA_FUNCTION_LINE_REMOVAL,
     "directions removed: 1 horizontal, 2 vertical, 3 both, 0 none", "bit mask",
     LA_DEFAULT_REMOVAL_DIRECTIONS, 0, kBothDirections},
    {LA_PARAM_REMOVAL_RESERVED, LA_FUNCTION_LINE_REMOVAL,
     "reserved: passed to the analysis, not consulted", "none", LA_DEFAULT_REMOVAL_RESERVED,
     kAnyMin, kAny},
    {LA_PARAM_INVERSE_MIN_WIDTH, LA_FUNCTION_INVERSE_TEXT,
     "narrowest dark row that starts a white-on-black band", "pixels", LA_DEFAULT_INVERSE_MIN_WIDTH,
     1, kLengthMax},
    {LA_PARAM_INVERSE_RESERVED, LA_FUNCTION_INVERSE_TEXT,
     "reserved: passed to the analysis, not consulted", "none", LA_DEFAULT_INVERSE_RESERVED,
     kAnyMin, kAny},
    {LA_PARAM_NOISE_AND_PICTURES, LA_FUNCTION_TEXT_BLOCKS,
     "noise size: text blocks smaller both ways become noise; also the grouping distance of "
     "picture detection",
     "pixels", LA_DEFAULT_NOISE_AND_PICTURES, 1, kGroupingMax},
}};

template <class Table, class Key>
auto findIn(const Table& table, Key key, Key Table::value_type::*field) {
    const auto it = std::find_if(table.begin(), table.end(),
                                 [&](const auto& entry) { return entry.*field == key; });
    return it == table.end() ? nullptr : &*it;
}

} // namespace

std::span<const FunctionInfo> analysisFunctions() {
    return kFunctions;
}

std::span<const ParameterInfo> tunableParameters() {
    return kParameters;
}

const FunctionInfo* findFunction(std::int32_t code) {
    return findIn(kFunctions, code, &FunctionInfo::code);
}

const ParameterInfo* findParameter(std::int32_t id) {
    return findIn(kParameters, id, &ParameterInfo::id);
}

} // namespace quadrel_cli
