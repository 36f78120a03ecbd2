// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// How the default pipe's cost grows with the page: the generated ruled-grid
// form (300 dpi, about a thousand zones) and the generated A4 text page,
// tiled across x down times into one page, against the same number of
// separate analyses of the single page. Linear cost gives a per-tile time
// that stays flat as the tiling grows.
//
// Arguments: page (0 the ruled grid, 1 the A4 text page), across, down.
#include "library/la_api.h"
#include "tests/support/generated_pages.h"
#include "tests/support/page_transforms.h"

#include <benchmark/benchmark.h>

#include <map>
#include <tuple>

namespace {

using testsupport::TestPage;

const platform::GlobalBlockOwner& tiledDib(int kind, int across, int down) {
    static std::map<std::tuple<int, int, int>, platform::GlobalBlockOwner> cache;
    const auto key = std::make_tuple(kind, across, down);
    auto it = cache.find(key);
    if (it == cache.end()) {
        const TestPage one = kind == 0 ? testsupport::generatedRuledGridPage()
                                       : testsupport::generatedTextTablePage();
        it = cache.emplace(key, testsupport::tiled(one, across, down).toDib(false, 300, 300)).first;
    }
    return it->second;
}

double analyse(const platform::GlobalBlockOwner& dib) {
    LaContext* ctx = LA_Init(nullptr, nullptr);
    const std::int32_t status = LA_Execute(ctx, dib.get());
    const double zones = double(LA_GetZonesCount(ctx));
    LA_Done(ctx);
    return status == 0 ? zones : -1;
}

// One analysis of the tiled page per iteration.
void BM_TiledPage(benchmark::State& state) {
    const int across = int(state.range(1)), down = int(state.range(2));
    const platform::GlobalBlockOwner& dib = tiledDib(int(state.range(0)), across, down);
    double zones = 0;
    for (auto _ : state) zones = analyse(dib);
    if (zones < 0) state.SkipWithError("analysis failed");
    state.counters["zones"] = zones;
    state.counters["s/tile"] =
        benchmark::Counter(double(state.iterations()) * across * down,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// across x down separate analyses of the single page per iteration.
void BM_SeparatePages(benchmark::State& state) {
    const int count = int(state.range(1) * state.range(2));
    const platform::GlobalBlockOwner& dib = tiledDib(int(state.range(0)), 1, 1);
    for (auto _ : state)
        for (int k = 0; k < count; ++k) benchmark::DoNotOptimize(analyse(dib));
}

void tilings(benchmark::internal::Benchmark* b) {
    for (int kind = 0; kind <= 1; ++kind)
        for (const auto& [across, down] : {std::pair{1, 1}, {2, 1}, {2, 2}, {4, 2}, {4, 4}})
            b->Args({kind, across, down});
}

BENCHMARK(BM_TiledPage)->Apply(tilings)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_SeparatePages)->Apply(tilings)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

} // namespace
