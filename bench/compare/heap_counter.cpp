// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "bench/compare/heap_counter.h"

#include <malloc.h>

#include <atomic>
#include <cerrno>
#include <cstddef>

// glibc's own allocator, under the names it exports for replacements.
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* p, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
void __libc_free(void* p);
}

namespace {

std::atomic<std::int64_t> gInUse{0};
std::atomic<std::int64_t> gPeak{0};

void added(void* p) {
    if (!p) return;
    const std::int64_t now = gInUse += std::int64_t(malloc_usable_size(p));
    std::int64_t peak = gPeak.load(std::memory_order_relaxed);
    while (now > peak && !gPeak.compare_exchange_weak(peak, now)) {
    }
}

void removed(void* p) {
    if (p) gInUse -= std::int64_t(malloc_usable_size(p));
}

} // namespace

namespace heapcount {

std::int64_t inUse() {
    return gInUse.load();
}

std::int64_t peak() {
    return gPeak.load();
}

void resetPeak() {
    gPeak = gInUse.load();
}

} // namespace heapcount

extern "C" {

void* malloc(std::size_t size) {
    void* p = __libc_malloc(size);
    added(p);
    return p;
}

void* calloc(std::size_t count, std::size_t size) {
    void* p = __libc_calloc(count, size);
    added(p);
    return p;
}

void* realloc(void* p, std::size_t size) {
    const std::int64_t before = p ? std::int64_t(malloc_usable_size(p)) : 0;
    void* q = __libc_realloc(p, size);
    if (q || size == 0) gInUse -= before; // moved, grown in place, or freed
    added(q);
    return q;
}

void free(void* p) {
    removed(p);
    __libc_free(p);
}

void* memalign(std::size_t alignment, std::size_t size) {
    void* p = __libc_memalign(alignment, size);
    added(p);
    return p;
}

void* aligned_alloc(std::size_t alignment, std::size_t size) {
    return memalign(alignment, size);
}

int posix_memalign(void** result, std::size_t alignment, std::size_t size) {
    void* p = memalign(alignment, size);
    if (!p) return ENOMEM;
    *result = p;
    return 0;
}

} // extern "C"
