// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Component extraction, line and table detection (code 2) and line removal
// (code 4) on a CCITT fax page and on a generated A4 page at 300 dpi.
#include "library/functions/analysis_functions.h"
#include "library/image/components.h"
#include "tests/support/generated_pages.h"
#include "tests/support/test_page.h"

#include <benchmark/benchmark.h>

#include <optional>
#include <random>

namespace {

using testsupport::TestPage;

// Lines of letter-like outlines in word groups above a ruled table.
TestPage makeA4Page() {
    TestPage page(2480, 3508);
    std::mt19937 generator(7u);
    std::uniform_int_distribution<int> letterWidth(10, 18);
    std::uniform_int_distribution<int> wordLength(2, 9);
    for (int y = 3300; y > 2000; y -= 42) {
        int x = 200;
        while (x < 2250) {
            for (int n = wordLength(generator); n > 0 && x < 2250; --n) {
                const int w = letterWidth(generator);
                page.fillRect(x, y, w, 3);
                page.fillRect(x, y, 3, 24);
                page.fillRect(x + w - 3, y + 6, 3, 18);
                page.fillRect(x, y + 21, w, 3);
                x += w + 4;
            }
            x += 16;
        }
    }
    // A table of 9 rules by 6 rules, 3 pixels thick.
    for (int k = 0; k < 9; ++k) page.fillRect(200, 400 + 180 * k, 2043, 3);
    for (int k = 0; k < 6; ++k) page.fillRect(200 + 408 * k, 400, 3, 1443);
    for (int row = 0; row < 8; ++row)
        for (int col = 0; col < 5; ++col)
            page.fillRect(240 + 408 * col, 460 + 180 * row, 200 + 20 * (row % 3), 24);
    return page;
}

const quadrel::LaBitmap* pageBitmap(std::int64_t which) {
    static const std::optional<quadrel::LaBitmap> ccitt = [] {
        const auto page = testsupport::loadCcittPage(3);
        return page ? std::optional<quadrel::LaBitmap>(page->toBitmap())
                    : std::optional<quadrel::LaBitmap>();
    }();
    static const quadrel::LaBitmap a4 = makeA4Page().toBitmap();
    static const quadrel::LaBitmap dithered = testsupport::generatedDitheredPage().toBitmap();
    if (which == 1) return &a4;
    if (which == 2) return &dithered;
    return ccitt ? &*ccitt : nullptr;
}

void BM_Components(benchmark::State& state) {
    const quadrel::LaBitmap* bitmap = pageBitmap(state.range(0));
    if (!bitmap) return state.SkipWithError("CCITT page 3 not available");
    for (auto _ : state) {
        quadrel::LaComponentSource source;
        source.rows = bitmap->height;
        source.width = bitmap->width;
        source.stride = bitmap->stride;
        source.options = 0x1010;
        source.blackIsZero = bitmap->blackIsZero;
        source.firstRow = bitmap->firstRow;
        std::vector<quadrel::LaComponent> components;
        benchmark::DoNotOptimize(quadrel::extractComponents(&source, &components));
        benchmark::DoNotOptimize(components.data());
    }
}

void BM_LineDetection(benchmark::State& state) {
    const quadrel::LaBitmap* bitmap = pageBitmap(state.range(0));
    if (!bitmap) return state.SkipWithError("CCITT page 3 not available");
    std::size_t records = 0;
    for (auto _ : state) {
        quadrel::LaList<quadrel::LaRegionRecord> list;
        benchmark::DoNotOptimize(quadrel::detectLinesAndTables(*bitmap, list, 80, 120, 3, 0));
        records = list.size();
    }
    state.counters["records"] = double(records);
}

void BM_LineRemoval(benchmark::State& state) {
    const quadrel::LaBitmap* bitmap = pageBitmap(state.range(0));
    if (!bitmap) return state.SkipWithError("CCITT page 3 not available");
    for (auto _ : state) {
        quadrel::LaBitmap output;
        benchmark::DoNotOptimize(quadrel::removeLines(*bitmap, output, 80, 7, 120, 3, 0));
        benchmark::DoNotOptimize(output.firstRow);
    }
}

// Argument 0: CCITT page 3 (1728 x 2376); 1: generated 2480 x 3508 page;
// 2: the generated error-diffused page (1.4 million row runs).
BENCHMARK(BM_Components)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LineDetection)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LineRemoval)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

} // namespace
