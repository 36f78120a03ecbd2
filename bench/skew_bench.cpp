// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Skew detection with deskew (code 1) and inverse text detection (code 8) on
// CCITT fax pages: page 1 (a typed letter) turned by 2 degrees, so that the
// deskew really rotates, and page 8 (a white-on-black banner under a note).
#include "library/functions/analysis_functions.h"
#include "tests/support/test_page.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <map>
#include <numbers>
#include <optional>

namespace {

using testsupport::TestPage;
using testsupport::rotated;


// CCITT page n turned by `degrees`, made once; null when the pages are missing.
const quadrel::LaBitmap* ccittBitmap(int n, double degrees) {
    static std::map<std::pair<int, double>, std::optional<quadrel::LaBitmap>> cache;
    auto it = cache.find({n, degrees});
    if (it == cache.end()) {
        const auto page = testsupport::loadCcittPage(n);
        std::optional<quadrel::LaBitmap> bitmap;
        if (page) bitmap = (degrees == 0.0 ? *page : rotated(*page, degrees)).toBitmap();
        it = cache.emplace(std::make_pair(n, degrees), std::move(bitmap)).first;
    }
    return it->second ? &*it->second : nullptr;
}

void BM_SkewDetection(benchmark::State& state) {
    const quadrel::LaBitmap* bitmap = ccittBitmap(int(state.range(0)), 2.0);
    if (!bitmap) return state.SkipWithError("CCITT pages not available");
    double angle = 0.0;
    for (auto _ : state) {
        quadrel::LaBitmap output;
        benchmark::DoNotOptimize(quadrel::detectSkew(*bitmap, output, &angle));
        benchmark::DoNotOptimize(output.firstRow);
    }
    state.counters["angle"] = angle;
}

void BM_InverseText(benchmark::State& state) {
    const quadrel::LaBitmap* bitmap = ccittBitmap(int(state.range(0)), 0.0);
    if (!bitmap) return state.SkipWithError("CCITT pages not available");
    std::size_t records = 0;
    for (auto _ : state) {
        quadrel::LaList<quadrel::LaRegionRecord> list;
        benchmark::DoNotOptimize(quadrel::detectInverseText(*bitmap, list, 80, 120));
        records = list.size();
    }
    state.counters["records"] = double(records);
}

// Argument: the CCITT page number.
BENCHMARK(BM_SkewDetection)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InverseText)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond);

} // namespace
