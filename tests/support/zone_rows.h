// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The zone table of a context read through the exported accessors, and small
// owners for contexts and pipes, for tests that drive the library as a caller.
#pragma once

#include "library/la_api.h"

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <ostream>
#include <vector>

namespace testsupport {

struct ZoneRow {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    std::int32_t content = 0;
    bool operator==(const ZoneRow&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const ZoneRow& z) {
    return out << '{' << z.left << ',' << z.top << ',' << z.right << ',' << z.bottom << " c"
               << z.content << '}';
}

// Every zone of the context's table, in table order.
inline std::vector<ZoneRow> readZoneRows(LaContext* ctx) {
    std::vector<ZoneRow> rows;
    const std::int32_t count = LA_GetZonesCount(ctx);
    for (std::int32_t k = 0; k < count; ++k) {
        ZoneRow z;
        LA_GetZoneRect(ctx, k, &z.left, &z.top, &z.right, &z.bottom);
        LA_GetZoneContent(ctx, k, &z.content);
        rows.push_back(z);
    }
    return rows;
}

struct ContextCloser {
    void operator()(LaContext* ctx) const { LA_Done(ctx); }
};
using ContextHandle = std::unique_ptr<LaContext, ContextCloser>;

inline ContextHandle openContext() {
    return ContextHandle(LA_Init("", ""));
}

struct PipeCloser {
    void operator()(LaPipe* pipe) const { LA_DestroyPipe(pipe); }
};
using PipeHandle = std::unique_ptr<LaPipe, PipeCloser>;

// The parameters the library sets with its default pipe, in its order.
inline constexpr std::int32_t kDefaultPipeParameters[][2] = {
    {LA_PARAM_LINES_MIN_SEED_LENGTH, LA_DEFAULT_LINES_MIN_SEED_LENGTH},
    {LA_PARAM_LINES_MAX_THICKNESS, LA_DEFAULT_LINES_MAX_THICKNESS},
    {LA_PARAM_LINES_DIRECTIONS, LA_DEFAULT_LINES_DIRECTIONS},
    {LA_PARAM_NOISE_AND_PICTURES, LA_DEFAULT_NOISE_AND_PICTURES},
    {LA_PARAM_INVERSE_MIN_WIDTH, LA_DEFAULT_INVERSE_MIN_WIDTH},
    {LA_PARAM_INVERSE_RESERVED, LA_DEFAULT_INVERSE_RESERVED},
    {LA_PARAM_REMOVAL_MIN_SEED_LENGTH, LA_DEFAULT_REMOVAL_MIN_SEED_LENGTH},
    {LA_PARAM_REMOVAL_MAX_THICKNESS, LA_DEFAULT_REMOVAL_MAX_THICKNESS},
    {LA_PARAM_REMOVAL_DIRECTIONS, LA_DEFAULT_REMOVAL_DIRECTIONS},
    {LA_PARAM_REMOVAL_RESERVED, LA_DEFAULT_REMOVAL_RESERVED}};

// Installs a pipe of the caller's own holding `codes` and gives the context
// the parameter values that the default pipe would set.
inline PipeHandle installPipe(LaContext* ctx, std::initializer_list<std::int32_t> codes) {
    PipeHandle pipe(LA_CreatePipe(ctx));
    for (std::int32_t code : codes) LA_AddFunctionToPipe(pipe.get(), code);
    for (const auto& [id, value] : kDefaultPipeParameters) LA_SetParameter(ctx, id, value);
    return pipe;
}

} // namespace testsupport
