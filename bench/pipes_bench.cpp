// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Whole analyses through the C interface, DIB import and zone table
// included: the default pipe (codes 2, 8, 4, 32) and the full pipe (codes 1,
// 2, 8, 4, 16, 32), on each CCITT fax page and on a generated A4 page at
// 300 dpi. Picture detection (code 16), which no other benchmark covers, is
// timed alone on the same pages.
//
// Argument: 1 to 8 the CCITT page, 9 the generated 2480 x 3508 page, 10 the
// generated dithered page, 11 the generated halftone page.
#include "library/functions/analysis_functions.h"
#include "library/la_api.h"
#include "tests/support/generated_pages.h"
#include "tests/support/test_page.h"
#include "tests/support/zone_rows.h"

#include <benchmark/benchmark.h>

#include <array>
#include <map>
#include <optional>

namespace {

using testsupport::TestPage;

constexpr int kGeneratedPage = 9;
constexpr int kDitheredPage = 10;
constexpr int kHalftonePage = 11;

std::optional<TestPage> makePage(int index) {
    switch (index) {
    case kGeneratedPage:
        return testsupport::generatedTextTablePage();
    case kDitheredPage:
        return testsupport::generatedDitheredPage();
    case kHalftonePage:
        return testsupport::generatedHalftonePage();
    default:
        return testsupport::loadCcittPage(index);
    }
}

const TestPage* page(int index) {
    static std::map<int, std::optional<TestPage>> cache;
    auto it = cache.find(index);
    if (it == cache.end()) {
        it = cache.emplace(index, makePage(index)).first;
    }
    return it->second ? &*it->second : nullptr;
}

constexpr std::array<std::int32_t, 6> kFullPipe{
    LA_FUNCTION_SKEW,         LA_FUNCTION_LINES_AND_TABLES, LA_FUNCTION_INVERSE_TEXT,
    LA_FUNCTION_LINE_REMOVAL, LA_FUNCTION_PICTURES,         LA_FUNCTION_TEXT_BLOCKS};
// A fresh context per analysis, as a program analysing one page would make.
void runPipe(benchmark::State& state, bool fullPipe) {
    const TestPage* p = page(int(state.range(0)));
    if (!p) return state.SkipWithError("CCITT pages not available");
    const platform::GlobalBlockOwner dib = p->toDib();
    std::int32_t zones = 0;
    for (auto _ : state) {
        LaContext* ctx = LA_Init(nullptr, nullptr);
        LaPipe* pipe = nullptr;
        if (fullPipe) {
            pipe = LA_CreatePipe(ctx);
            for (std::int32_t code : kFullPipe) LA_AddFunctionToPipe(pipe, code);
            for (const auto& parameter : testsupport::kDefaultPipeParameters)
                LA_SetParameter(ctx, parameter[0], parameter[1]);
        }
        if (LA_Execute(ctx, dib.get()) != 0) state.SkipWithError("analysis failed");
        zones = LA_GetZonesCount(ctx);
        LA_Done(ctx);
        LA_DestroyPipe(pipe);
    }
    state.counters["zones"] = double(zones);
    state.counters["pages/s"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_DefaultPipe(benchmark::State& state) {
    runPipe(state, false);
}
void BM_FullPipe(benchmark::State& state) {
    runPipe(state, true);
}

void BM_Pictures(benchmark::State& state) {
    const TestPage* p = page(int(state.range(0)));
    if (!p) return state.SkipWithError("CCITT pages not available");
    const quadrel::LaBitmap bitmap = p->toBitmap();
    std::size_t pictures = 0;
    for (auto _ : state) {
        quadrel::LaList<quadrel::LaPictureRecord> output;
        benchmark::DoNotOptimize(quadrel::detectPictures(bitmap, 9, output));
        pictures = output.size();
    }
    state.counters["pictures"] = double(pictures);
}

BENCHMARK(BM_DefaultPipe)->DenseRange(1, kHalftonePage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullPipe)->DenseRange(1, kHalftonePage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Pictures)->DenseRange(1, kHalftonePage)->Unit(benchmark::kMillisecond);

} // namespace
