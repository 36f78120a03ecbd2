// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Peak memory of one analysis with the default pipe on an A4 page at 300 dpi
// (2480 x 3508) and on the real fax pages, counted by replacing the global allocation functions:
// every byte the library allocates from the heap passes through them. Reported as counters next to
// the time:
//   peak_heap_MiB  most bytes the analysis held at once, above what was in
//                  use before LA_Init (the caller's DIB block not included)
//   held_MiB       bytes the context still holds after LA_Execute (its page,
//                  input copies, lists and zone table), released by LA_Done
//   rss_growth_MiB growth of the process's peak resident size over the first
//                  analysis, for comparison with the operating system's view
#include "library/la_api.h"
#include "platform/global_memory.h"
#include "tests/support/synthetic_pages.h"

#include <benchmark/benchmark.h>

#include <malloc.h>
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<std::int64_t> gInUse{0};
std::atomic<std::int64_t> gPeak{0};

void* countedAllocate(std::size_t size) {
    void* p = std::malloc(size ? size : 1);
    if (!p) throw std::bad_alloc();
    const std::int64_t now = gInUse += std::int64_t(malloc_usable_size(p));
    std::int64_t peak = gPeak.load();
    while (now > peak && !gPeak.compare_exchange_weak(peak, now)) {
    }
    return p;
}

void countedRelease(void* p) noexcept {
    if (!p) return;
    gInUse -= std::int64_t(malloc_usable_size(p));
    std::free(p);
}

long maxResidentKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

constexpr double kMiB = 1024.0 * 1024.0;

// Runs the default pipe on `dib` once per iteration and reports the counters.
void measureDefaultPipe(benchmark::State& state, platform::GlobalHandle dib) {
    const long rssBefore = maxResidentKb();
    std::int64_t peak = 0;
    std::int64_t held = 0;
    long rssGrowth = -1;
    for (auto _ : state) {
        const std::int64_t before = gInUse.load();
        gPeak = before;
        LaContext* ctx = LA_Init("", "");
        benchmark::DoNotOptimize(LA_Execute(ctx, dib));
        held = gInUse.load() - before;
        LA_Done(ctx);
        peak = std::max(peak, gPeak.load() - before);
        if (rssGrowth < 0) rssGrowth = maxResidentKb() - rssBefore;
    }
    state.counters["peak_heap_MiB"] = double(peak) / kMiB;
    state.counters["held_MiB"] = double(held) / kMiB;
    state.counters["rss_growth_MiB"] = double(rssGrowth) / 1024.0;
}

// A made-up printed A4 page at 300 dpi.
void BM_A4At300DpiPeakMemory(benchmark::State& state) {
    const auto dib = testsupport::textLikePage(2480, 3508, 300).toDib();
    measureDefaultPipe(state, dib.get());
}
BENCHMARK(BM_A4At300DpiPeakMemory)->Unit(benchmark::kMillisecond)->Iterations(3);

// The real fax pages (1728 x 2376, 200 dpi), for comparison with scanned content.
void BM_CcittPagePeakMemory(benchmark::State& state) {
    const auto page = testsupport::loadCcittPage(int(state.range(0)));
    if (!page) {
        state.SkipWithError("CCITT test pages not installed");
        return;
    }
    const auto dib = page->toDib();
    measureDefaultPipe(state, dib.get());
}
BENCHMARK(BM_CcittPagePeakMemory)->DenseRange(1, 8)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

void* operator new(std::size_t size) {
    return countedAllocate(size);
}
void* operator new[](std::size_t size) {
    return countedAllocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return countedAllocate(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return operator new(size, std::nothrow);
}
void operator delete(void* p) noexcept {
    countedRelease(p);
}
void operator delete[](void* p) noexcept {
    countedRelease(p);
}
void operator delete(void* p, std::size_t) noexcept {
    countedRelease(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    countedRelease(p);
}
