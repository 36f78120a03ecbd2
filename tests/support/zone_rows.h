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

// Installs a pipe of the caller's own holding `codes` and gives the context
// the parameter values that the default pipe would set.
inline PipeHandle installPipe(LaContext* ctx, std::initializer_list<std::int32_t> codes) {
    PipeHandle pipe(LA_CreatePipe(ctx));
    for (std::int32_t code : codes) LA_AddFunctionToPipe(pipe.get(), code);
    const std::int32_t defaults[][2] = {{100, 80},  {101, 120}, {102, 3},   {400, 9}, {300, 80},
                                        {301, 120}, {200, 80},  {201, 120}, {202, 3}, {203, 7}};
    for (const auto& [id, value] : defaults) LA_SetParameter(ctx, id, value);
    return pipe;
}

} // namespace testsupport
