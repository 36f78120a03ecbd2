// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "library/context_registry.h"

#include <mutex>
#include <new>
#include <unordered_set>

namespace quadrel {

namespace {

// The parameter, pipe and zone exports do not take the library lock, so the
// registry has a small lock of its own. It only names the live contexts: a
// context the caller never releases is not destroyed at unload, when the pipe
// table its default pipe lives in may already be gone.
struct ContextRegistry {
    std::mutex lock;
    std::unordered_set<const LaContext*> live;
};

ContextRegistry& registry() {
    static ContextRegistry instance;
    return instance;
}

} // namespace

LaContext* makeLiveContext() {
    try {
        auto context = std::make_unique<LaContext>();
        ContextRegistry& r = registry();
        std::lock_guard guard(r.lock);
        r.live.insert(context.get());
        return context.release();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

std::unique_ptr<LaContext> takeLiveContext(LaContext* context) {
    if (!context) return nullptr;
    ContextRegistry& r = registry();
    std::lock_guard guard(r.lock);
    if (r.live.erase(context) == 0) return nullptr;
    return std::unique_ptr<LaContext>(context);
}

bool isLiveContext(const LaContext* context) {
    if (!context) return false;
    ContextRegistry& r = registry();
    std::lock_guard guard(r.lock);
    return r.live.count(context) != 0;
}

} // namespace quadrel
