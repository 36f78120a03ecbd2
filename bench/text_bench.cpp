// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Text block segmentation (code 32) on the CCITT fax pages and on a
// generated A4 page at 300 dpi full of letter-like blobs.
#include "library/functions/analysis_functions.h"
#include "library/image/grouping.h"
#include "tests/support/test_page.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <optional>

namespace {

using testsupport::TestPage;

// Small linear congruential generator: the same page on every run.
class Lcg {
  public:
    int next(int bound) {
        state_ = state_ * 1103515245u + 12345u;
        return int((state_ >> 16) % unsigned(bound));
    }

  private:
    std::uint32_t state_ = 12345u;
};

// A letter: a ring, a bar or a bar with a bowl, `height` rows from `y` up.
void drawGlyph(TestPage& page, Lcg& random, int x, int y, int width, int height) {
    switch (random.next(3)) {
    case 0:
        page.fillRect(x, y, width, height);
        page.fillRect(x + 3, y + 3, width - 6, height - 6, false);
        break;
    case 1:
        page.fillRect(x + width / 2 - 2, y, 4, height + 10);
        break;
    default:
        page.fillRect(x, y, 4, height + 10);
        page.fillRect(x, y, width, 4);
        page.fillRect(x + width - 4, y, 4, height / 2);
        page.fillRect(x, y + height / 2, width, 4);
        break;
    }
}

// 2480 x 3508 (A4 at 300 dpi): two columns of paragraphs of 12-point-like text.
TestPage generatedTextPage() {
    TestPage page(2480, 3508);
    Lcg random;
    const int lineHeight = 30;
    const int lineSpacing = 52;
    for (int column = 0; column < 2; ++column) {
        const int left = 200 + column * 1080;
        const int right = left + 960;
        int y = 250;
        while (y < 3508 - 300) {
            const int lines = 4 + random.next(6);
            for (int l = 0; l < lines && y < 3508 - 300; ++l, y += lineSpacing) {
                int x = left + (l == 0 ? 60 : 0);
                while (x < right - 60) {
                    const int letters = 1 + random.next(9);
                    for (int k = 0; k < letters && x < right - 30; ++k) {
                        const int width = 14 + random.next(12);
                        drawGlyph(page, random, x, y, width, lineHeight);
                        x += width + 4;
                    }
                    x += 22;
                }
            }
            y += 60;
        }
    }
    return page;
}

void segment(benchmark::State& state, const quadrel::LaBitmap& bitmap) {
    std::size_t blocks = 0;
    for (auto _ : state) {
        quadrel::LaList<quadrel::LaTextBlock> output;
        if (quadrel::segmentTextBlocks(bitmap, nullptr, output, 0) != 0) {
            state.SkipWithError("segmentation failed");
            return;
        }
        blocks = output.size();
        benchmark::DoNotOptimize(output.data());
    }
    state.counters["blocks"] = double(blocks);
}

void BM_SegmentCcittPage(benchmark::State& state) {
    const std::optional<TestPage> page = testsupport::loadCcittPage(int(state.range(0)));
    if (!page) {
        state.SkipWithError("CCITT test pages not installed");
        return;
    }
    segment(state, page->toBitmap(1));
}
BENCHMARK(BM_SegmentCcittPage)->DenseRange(1, 8)->Unit(benchmark::kMillisecond);

void BM_SegmentGeneratedA4Page(benchmark::State& state) {
    static const TestPage page = generatedTextPage();
    segment(state, page.toBitmap(1));
}
BENCHMARK(BM_SegmentGeneratedA4Page)->Unit(benchmark::kMillisecond);

// Component extraction and grouping alone on the generated page.
void BM_GroupGeneratedA4Page(benchmark::State& state) {
    static const TestPage page = generatedTextPage();
    const quadrel::LaBitmap bitmap = page.toBitmap(1);
    for (auto _ : state) {
        quadrel::LaComponentSource source;
        source.rows = bitmap.height;
        source.width = bitmap.width;
        source.stride = bitmap.stride;
        source.options = quadrel::kKeepRuns;
        source.blackIsZero = bitmap.blackIsZero;
        source.firstRow = bitmap.firstRow;
        std::vector<quadrel::LaComponent> components;
        quadrel::extractComponents(&source, &components);
        quadrel::LaGroupRequest request;
        request.groupingSize = 8;
        std::vector<quadrel::LaLineGroup> groups;
        quadrel::groupComponents(source, components, request, groups);
        state.counters["groups"] = double(groups.size());
        state.counters["components"] = double(components.size());
    }
}
BENCHMARK(BM_GroupGeneratedA4Page)->Unit(benchmark::kMillisecond);

} // namespace
