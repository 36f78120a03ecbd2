// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// What the command line knows about the analysis for its help and its checks:
// each function code with what it finds, and each tunable parameter with its
// meaning, unit, default and the range the command line accepts. The numbers
// themselves are la_api.h's.
#pragma once

#include <cstdint>
#include <span>

namespace quadrel_cli {

struct FunctionInfo {
    std::int32_t code; // LA_FUNCTION_*
    const char* name;
    const char* finds;
};

struct ParameterInfo {
    std::int32_t id;       // LA_PARAM_*
    std::int32_t function; // the LA_FUNCTION_* that reads it
    const char* meaning;
    const char* unit;
    std::int32_t defaultValue; // what a pipe of the command line's own starts from
    std::int32_t min;          // the range --param accepts, both ends included
    std::int32_t max;
};

// The six function codes, in code order.
std::span<const FunctionInfo> analysisFunctions();

// The parameters --param sets, in id order (not the pipe, 500, nor the
// read-only skew angle, 600).
std::span<const ParameterInfo> tunableParameters();

// The entry of a function code or parameter id, or null.
const FunctionInfo* findFunction(std::int32_t code);
const ParameterInfo* findParameter(std::int32_t id);

} // namespace quadrel_cli
