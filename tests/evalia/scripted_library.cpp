// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// A stand-in for the analysis library with the same eight exports, loaded
// by the window's run-time binding in tests. Its zone table and skew angle
// are set by the test (Scripted_SetResult), so the window can be checked
// against zones and angles that no real page yields on demand.
#include "library/la_api.h"

#include <utility>
#include <vector>

#define SCRIPTED_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

struct ScriptedZone {
    int32_t left, top, right, bottom, content;
};

struct Script {
    int32_t skew = 0;
    std::vector<ScriptedZone> pending;
    std::vector<ScriptedZone> table; // what the last LA_Execute produced
    LaDibHandle lastDib = nullptr;
    int executions = 0;
    int contextsAlive = 0;
    int32_t status = LA_STATUS_OK; // what LA_Execute answers
};

Script& script() {
    static Script s;
    return s;
}

struct ContextTag {
    int unused = 0;
};

} // namespace

// The next LA_Execute yields these zones (five integers each) and this angle.
SCRIPTED_EXPORT void Scripted_SetResult(int32_t skew, const int32_t* zones, int32_t count) {
    script().skew = skew;
    script().pending.clear();
    for (int32_t i = 0; i < count; ++i)
        script().pending.push_back(
            {zones[5 * i], zones[5 * i + 1], zones[5 * i + 2], zones[5 * i + 3], zones[5 * i + 4]});
}
// LA_Execute answers this status from now on; any but LA_STATUS_OK leaves
// the zone table as it was, as the library does.
SCRIPTED_EXPORT void Scripted_SetStatus(int32_t status) {
    script().status = status;
}
SCRIPTED_EXPORT LaDibHandle Scripted_LastDib() {
    return script().lastDib;
}
SCRIPTED_EXPORT int Scripted_Executions() {
    return script().executions;
}
SCRIPTED_EXPORT int Scripted_ContextsAlive() {
    return script().contextsAlive;
}

SCRIPTED_EXPORT LaContext* LA_Init(const char*, const char*) {
    ++script().contextsAlive;
    return reinterpret_cast<LaContext*>(new ContextTag);
}

SCRIPTED_EXPORT void LA_Done(LaContext* ctx) {
    if (ctx == nullptr) return;
    --script().contextsAlive;
    delete reinterpret_cast<ContextTag*>(ctx);
}

SCRIPTED_EXPORT int32_t LA_Execute(LaContext*, LaDibHandle dib) {
    script().lastDib = dib;
    ++script().executions;
    if (script().status != LA_STATUS_OK) return script().status;
    script().table = script().pending;
    return LA_STATUS_OK;
}

SCRIPTED_EXPORT int32_t LA_GetZonesCount(LaContext*) {
    return int32_t(script().table.size());
}

SCRIPTED_EXPORT int32_t LA_GetZoneRect(LaContext*, int32_t i, int32_t* l, int32_t* t, int32_t* r,
                                       int32_t* b) {
    if (i < 0 || i >= int32_t(script().table.size())) return LA_STATUS_BAD_CONTEXT_OR_INDEX;
    const ScriptedZone& z = script().table[std::size_t(i)];
    *l = z.left;
    *t = z.top;
    *r = z.right;
    *b = z.bottom;
    return LA_STATUS_OK;
}

SCRIPTED_EXPORT int32_t LA_GetZoneContent(LaContext*, int32_t i, int32_t* content) {
    if (i < 0 || i >= int32_t(script().table.size())) return LA_STATUS_BAD_CONTEXT_OR_INDEX;
    *content = script().table[std::size_t(i)].content;
    return LA_STATUS_OK;
}

SCRIPTED_EXPORT int32_t LA_SetParameter(LaContext*, int32_t, int32_t) {
    return LA_STATUS_OK;
}

SCRIPTED_EXPORT int32_t LA_GetParameter(LaContext*, int32_t id, int32_t* value) {
    if (id != LA_PARAM_SKEW_ANGLE) return LA_STATUS_BAD_CONTEXT_OR_INDEX;
    *value = script().skew;
    return LA_STATUS_OK;
}
