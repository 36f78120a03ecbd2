// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Labelling the row runs of a whole page into components: the step that
// dominates pages of dots (an error-diffused picture), next to a page of text.
#include "library/image/components.h"
#include "library/image/line_extraction.h"
#include "tests/support/generated_pages.h"
#include "tests/support/test_page.h"

#include <benchmark/benchmark.h>

namespace {

// Argument 0: generated text and table page; 1: error-diffused picture page.
const quadrel::LaBitmap& pageBitmap(bool dithered) {
    static const quadrel::LaBitmap text = testsupport::generatedTextTablePage().toBitmap();
    static const quadrel::LaBitmap dots = testsupport::generatedDitheredPage().toBitmap();
    return dithered ? dots : text;
}

void BM_LabelRuns(benchmark::State& state) {
    // Labelling overwrites every run's label, so one table serves every round.
    quadrel::RunTable runs = quadrel::buildRowRunTable(pageBitmap(state.range(0) != 0));
    std::size_t components = 0;
    for (auto _ : state) {
        std::vector<quadrel::LaComponentBox> boxes;
        benchmark::DoNotOptimize(quadrel::labelRuns(runs, boxes));
        components = boxes.size();
    }
    std::size_t count = 0;
    for (const auto& row : runs) count += row.size();
    state.counters["runs"] = double(count);
    state.counters["components"] = double(components);
}

BENCHMARK(BM_LabelRuns)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
