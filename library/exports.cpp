// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The exported C interface: argument checks, status mapping and the library
// lock. No C++ exception leaves these functions; running out of memory
// becomes status 1 (or a null handle), as does any other failure inside.
// A context handle that LA_Init did not make, or that LA_Done has released,
// is refused like a null one.
#include "library/context.h"
#include "library/context_registry.h"
#include "library/dispatcher.h"
#include "library/image/run_table_memo.h"
#include "library/kept_tables.h"
#include "library/la_api.h"
#include "library/library_lock.h"
#include "library/parameters.h"
#include "library/pipe.h"
#include "library/zone_table.h"

#include <memory>
#include <mutex>
#include <new>
#include <optional>

using namespace quadrel;

namespace {

// Runs `body`, turning any exception into `onFailure`.
template <class Result, class Body> Result guarded(Result onFailure, Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        return onFailure;
    }
}

bool validZoneIndex(const LaContext& ctx, std::int32_t index) {
    return index >= 0 && std::size_t(index) < ctx.zones.size();
}

// The import and the run of the pipe, under the library lock.
std::int32_t execute(LaContext& ctx, LaDibHandle dib) {
    // Run tables one function builds and a later one needs again, for this run only.
    const RunTableMemo memo;
    ctx.dibHandle = dib;
    std::unique_ptr<LaBitmap> page = importDib(dib);
    // A page that cannot be read leaves the previous run's page, slots and
    // zone table in place.
    if (!page) return LA_STATUS_NOT_AVAILABLE;
    ctx.pageBitmap = std::move(page);
    ctx.currentBitmap = ctx.pageBitmap.get();

    const std::optional<LaPipe> pipe = pipeForRun(ctx);
    if (!pipe) return LA_STATUS_NOT_AVAILABLE;
    // A function that runs out of memory does not stop the run: the others
    // still run and the table is built from what they left, but the caller
    // learns that zones may be missing.
    bool functionOutOfMemory = false;
    for (std::int32_t k = 0; k < pipe->count; ++k) {
        const std::int32_t code = pipe->codes[std::size_t(k)];
        const std::int32_t status = runFunctionCode(ctx, code);
        if (status != LA_STATUS_OK) return status; // the previous zone table stays
        if (functionStatus(ctx, code) == LA_STATUS_OUT_OF_MEMORY) functionOutOfMemory = true;
        releaseReplacedTables(code, ctx.currentBitmap);
    }
    const std::int32_t tableStatus = buildZoneTable(ctx);
    return functionOutOfMemory ? std::int32_t(LA_STATUS_OUT_OF_MEMORY) : tableStatus;
}

} // namespace

extern "C" {

LA_EXPORT LaContext* LA_Init(const char*, const char*) {
    return guarded<LaContext*>(nullptr, [] { return makeLiveContext(); });
}

LA_EXPORT void LA_Done(LaContext* ctx) {
    // Everything the context owns goes with it, its default pipe included; a
    // pipe the caller installed is not the context's and stays alive. A
    // context already released, or never made, is ignored.
    guarded(0, [ctx] {
        const std::unique_ptr<LaContext> owned = takeLiveContext(ctx);
        return 0;
    });
}

LA_EXPORT int32_t LA_Execute(LaContext* ctx, LaDibHandle dib) {
    if (!isLiveContext(ctx)) return LA_STATUS_BAD_CONTEXT_OR_INDEX;
    return guarded<int32_t>(LA_STATUS_OUT_OF_MEMORY, [&] {
        std::lock_guard guard(libraryLock());
        return execute(*ctx, dib);
    });
}

LA_EXPORT LaPipe* LA_CreatePipe(LaContext* ctx) {
    if (!isLiveContext(ctx)) return nullptr;
    return guarded<LaPipe*>(nullptr, [ctx]() -> LaPipe* {
        const std::optional<CreatedPipe> created = createPipe();
        ctx->pipe = created ? created->number : 0;
        return created ? created->pipe : nullptr;
    });
}

LA_EXPORT int32_t LA_AddFunctionToPipe(LaPipe* pipe, int32_t code) {
    return guarded<int32_t>(LA_STATUS_OUT_OF_MEMORY,
                            [&] { return appendFunctionCodeToPipe(pipe, code); });
}

LA_EXPORT void LA_DestroyPipe(LaPipe* pipe) {
    guarded(0, [pipe] {
        destroyPipe(pipe);
        return 0;
    });
}

LA_EXPORT int32_t LA_SetParameter(LaContext* ctx, int32_t id, int32_t value) {
    if (!isLiveContext(ctx)) return LA_STATUS_BAD_CONTEXT_OR_INDEX;
    return guarded<int32_t>(LA_STATUS_OUT_OF_MEMORY, [&] { return setParameter(*ctx, id, value); });
}

LA_EXPORT int32_t LA_GetParameter(LaContext* ctx, int32_t id, int32_t* value) {
    if (!isLiveContext(ctx)) return LA_STATUS_BAD_CONTEXT_OR_INDEX;
    return guarded<int32_t>(LA_STATUS_OUT_OF_MEMORY, [&] {
        std::int32_t result = value ? *value : 0;
        const std::int32_t status = getParameter(*ctx, id, result);
        if (value) *value = result;
        return status;
    });
}

LA_EXPORT int32_t LA_GetZonesCount(LaContext* ctx) {
    return isLiveContext(ctx) ? int32_t(ctx->zones.size()) : 0;
}

LA_EXPORT int32_t LA_GetZoneRect(LaContext* ctx, int32_t index, int32_t* left, int32_t* top,
                                 int32_t* right, int32_t* bottom) {
    if (!ctx) return LA_STATUS_OK;
    if (!isLiveContext(ctx) || !validZoneIndex(*ctx, index)) return LA_STATUS_BAD_CONTEXT_OR_INDEX;
    const LaZone& zone = ctx->zones[std::size_t(index)];
    if (left) *left = zone.left;
    if (top) *top = zone.top;
    if (right) *right = zone.right;
    if (bottom) *bottom = zone.bottom;
    return LA_STATUS_OK;
}

LA_EXPORT int32_t LA_GetZoneContent(LaContext* ctx, int32_t index, int32_t* content) {
    if (!ctx) return LA_STATUS_OK;
    if (!isLiveContext(ctx) || !validZoneIndex(*ctx, index)) return LA_STATUS_BAD_CONTEXT_OR_INDEX;
    if (content) *content = ctx->zones[std::size_t(index)].content;
    return LA_STATUS_OK;
}

} // extern "C"
