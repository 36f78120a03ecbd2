// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Quadrel against Leptonica and Tesseract, in one process, on the same pages.
//
// For every CCITT fax page and a generated A4 page at 300 dpi it times:
//   - Quadrel's default pipe through the C interface (context, DIB import,
//     codes 2, 8, 4, 32 and the zone table);
//   - Leptonica's page segmentation, pixGetRegionsBinary, with all three masks;
//   - Tesseract's layout analysis alone: SetImage + AnalyseLayout on an API
//     made once with InitForAnalysePage and automatic page segmentation
//     (no recognition);
//   - Quadrel's component extraction (boxes only) and Leptonica's
//     8-connected pixConnComp (boxes only).
//   - the deskewing pipe (codes 1, 2, 8, 4, 16, 32, with the default pipe's
//     parameters) against Leptonica's page segmentation plus pixFindSkew.
// The pages are the CCITT fax pages and generated pages of the kinds that
// cost most: a ruled form, an error-diffused picture, halftones with black
// areas, the A4 page at 600 dpi and the ruled form tiled 4 x 2.
// Every round runs every subject once on every page, in turn, so that a
// change of load on a shared machine falls on all of them alike. Times are
// the thread's CPU time; the table shows medians and minima in milliseconds
// and the ratios of the medians.
//
// Usage: compare_bench [repetitions]   (default 15)
#include "bench/compare/leptonica_page.h"
#include "library/image/components.h"
#include "library/la_api.h"
#include "library/parameters.h"
#include "tests/support/generated_pages.h"
#include "tests/support/page_transforms.h"
#include "tests/support/test_page.h"

#include <leptonica/allheaders.h>
#include <tesseract/baseapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using testsupport::TestPage;

// CPU time of the calling thread (every subject runs on it).
double cpuMilliseconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1000.0 + double(t.tv_nsec) / 1e6;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

using benchpages::toPix;

struct Page {
    std::string name;
    TestPage page;
    int dpi;
    bool tesseract = true; // Tesseract's table finder takes minutes on the tiled form
};

std::vector<Page> pages() {
    std::vector<Page> all;
    for (int n = 1; n <= 8; ++n)
        if (auto p = testsupport::loadCcittPage(n))
            all.push_back({"ccitt" + std::to_string(n), *p, 200});
    const TestPage a4 = testsupport::generatedTextTablePage();
    const TestPage grid = testsupport::generatedRuledGridPage();
    all.push_back({"A4 2480x3508", a4, 300});
    all.push_back({"ruled form", grid, 300});
    all.push_back({"dithered", testsupport::generatedDitheredPage(), 300});
    all.push_back({"halftones, black", testsupport::generatedHalftonePage(), 300});
    all.push_back({"tilted 1.5 deg", testsupport::generatedTiltedPage(), 200});
    all.push_back({"A4 600 dpi", testsupport::doubled(a4), 600});
    all.push_back({"ruled form 4x2", testsupport::tiled(grid, 4, 2), 300, false});
    return all;
}

enum Subject {
    kQuadrelPipe,
    kLeptonicaRegions,
    kTesseractLayout,
    kQuadrelComponents,
    kConnComp,
    kQuadrelSkewPipe,
    kLeptonicaRegionsSkew,
    kSubjects
};

const char* const kSubjectNames[kSubjects] = {"Quadrel default pipe",
                                              "pixGetRegionsBinary",
                                              "Tesseract AnalyseLayout",
                                              "Quadrel components",
                                              "pixConnComp (8)",
                                              "Quadrel pipe 1,2,8,4,16,32",
                                              "pixGetRegionsBinary + pixFindSkew"};

constexpr std::int32_t kSkewPipe[] = {LA_FUNCTION_SKEW,         LA_FUNCTION_LINES_AND_TABLES,
                                      LA_FUNCTION_INVERSE_TEXT, LA_FUNCTION_LINE_REMOVAL,
                                      LA_FUNCTION_PICTURES,     LA_FUNCTION_TEXT_BLOCKS};

// One run of every subject on a page, made ready once.
class PageRuns {
  public:
    PageRuns(const Page& page, tesseract::TessBaseAPI& tesseract)
        : dib_(page.page.toDib(false, page.dpi, page.dpi)), bitmap_(page.page.toBitmap(0)),
          pix_(toPix(page.page, page.dpi)), tesseract_(tesseract), withTesseract_(page.tesseract) {}

    void run(Subject subject) {
        switch (subject) {
        case kQuadrelPipe: {
            LaContext* ctx = LA_Init(nullptr, nullptr);
            if (LA_Execute(ctx, dib_.get()) != 0) std::fprintf(stderr, "analysis failed\n");
            LA_Done(ctx);
            break;
        }
        case kQuadrelSkewPipe: {
            LaContext* ctx = LA_Init(nullptr, nullptr);
            // A caller's pipe starts with every parameter 0; give it the
            // values the default pipe runs with, so that both do the same work.
            quadrel::setDefaultPipeParameters(*ctx);
            LaPipe* pipe = LA_CreatePipe(ctx);
            for (const std::int32_t code : kSkewPipe) LA_AddFunctionToPipe(pipe, code);
            if (LA_Execute(ctx, dib_.get()) != 0) std::fprintf(stderr, "analysis failed\n");
            LA_Done(ctx);
            LA_DestroyPipe(pipe);
            break;
        }
        case kLeptonicaRegionsSkew: {
            l_float32 angle = 0, confidence = 0;
            pixFindSkew(pix_.get(), &angle, &confidence);
            run(kLeptonicaRegions);
            break;
        }
        case kLeptonicaRegions: {
            PIX* halftone = nullptr;
            PIX* lines = nullptr;
            PIX* blocks = nullptr;
            pixGetRegionsBinary(pix_.get(), &halftone, &lines, &blocks, nullptr);
            pixDestroy(&halftone);
            pixDestroy(&lines);
            pixDestroy(&blocks);
            break;
        }
        case kTesseractLayout: {
            if (!withTesseract_) break;
            tesseract_.SetImage(pix_.get());
            delete tesseract_.AnalyseLayout();
            tesseract_.Clear();
            break;
        }
        case kQuadrelComponents: {
            quadrel::LaComponentSource source;
            source.rows = bitmap_.height;
            source.width = bitmap_.width;
            source.stride = bitmap_.stride;
            source.options = 0;
            source.blackIsZero = bitmap_.blackIsZero;
            source.firstRow = bitmap_.firstRow;
            std::vector<quadrel::LaComponent> components;
            quadrel::extractComponents(&source, &components);
            break;
        }
        case kConnComp: {
            BOXA* boxes = pixConnComp(pix_.get(), nullptr, 8);
            boxaDestroy(&boxes);
            break;
        }
        default:
            break;
        }
    }

  private:
    platform::GlobalBlockOwner dib_;
    quadrel::LaBitmap bitmap_;
    benchpages::PixOwner pix_;
    tesseract::TessBaseAPI& tesseract_;
    bool withTesseract_;
};

struct Timing {
    double median = 0, minimum = 0;
};

void printTable(const std::vector<Page>& pages, const std::vector<std::vector<Timing>>& t) {
    std::printf("| page | Quadrel pipe | pixGetRegionsBinary | Quadrel / Leptonica | "
                "Tesseract layout | Quadrel / Tesseract | pipe 1,2,8,4,16,32 | Leptonica + "
                "pixFindSkew | skew pipe / Leptonica | Quadrel components | pixConnComp | "
                "components / pixConnComp |\n");
    std::printf("|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n");
    const auto cell = [](const Timing& x) { std::printf(" %.1f (%.1f) |", x.median, x.minimum); };
    const auto ratio = [](const Timing& a, const Timing& b) {
        std::printf(" %.2f |", a.median / b.median);
    };
    for (std::size_t p = 0; p < pages.size(); ++p) {
        const auto& m = t[p];
        std::printf("| %s |", pages[p].name.c_str());
        cell(m[kQuadrelPipe]);
        cell(m[kLeptonicaRegions]);
        ratio(m[kQuadrelPipe], m[kLeptonicaRegions]);
        if (pages[p].tesseract) {
            cell(m[kTesseractLayout]);
            ratio(m[kQuadrelPipe], m[kTesseractLayout]);
        } else {
            std::printf(" — | — |");
        }
        cell(m[kQuadrelSkewPipe]);
        cell(m[kLeptonicaRegionsSkew]);
        ratio(m[kQuadrelSkewPipe], m[kLeptonicaRegionsSkew]);
        cell(m[kQuadrelComponents]);
        cell(m[kConnComp]);
        ratio(m[kQuadrelComponents], m[kConnComp]);
        std::printf("\n");
    }
}

} // namespace

int main(int argc, char** argv) {
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    setMsgSeverity(L_SEVERITY_ERROR);
    tesseract::TessBaseAPI tesseract;
    tesseract.InitForAnalysePage();
    // Full page segmentation (columns, blocks, lines), as when Tesseract
    // reads a page; its default would treat the page as one block.
    tesseract.SetPageSegMode(tesseract::PSM_AUTO);

    const std::vector<Page> all = pages();
    std::vector<std::unique_ptr<PageRuns>> runs;
    for (const Page& page : all) {
        runs.push_back(std::make_unique<PageRuns>(page, tesseract));
        for (int s = 0; s < kSubjects; ++s) runs.back()->run(Subject(s)); // warm-up
    }
    // times[page][subject]: one entry per round.
    std::vector<std::vector<std::vector<double>>> times(
        all.size(), std::vector<std::vector<double>>(kSubjects));
    for (int r = 0; r < repetitions; ++r) {
        for (std::size_t p = 0; p < all.size(); ++p)
            for (int s = 0; s < kSubjects; ++s) {
                const double start = cpuMilliseconds();
                runs[p]->run(Subject(s));
                times[p][std::size_t(s)].push_back(cpuMilliseconds() - start);
            }
        std::fprintf(stderr, "round %d done\n", r + 1);
    }
    std::vector<std::vector<Timing>> timings;
    for (const auto& page : times) {
        std::vector<Timing> t;
        for (const auto& subject : page)
            t.push_back({median(subject), *std::min_element(subject.begin(), subject.end())});
        timings.push_back(t);
    }
    std::printf("Thread CPU time in ms, median (minimum) over %d rounds (%s", repetitions,
                kSubjectNames[0]);
    for (int s = 1; s < kSubjects; ++s) std::printf(", %s", kSubjectNames[s]);
    std::printf(").\n\n");
    printTable(all, timings);
    return 0;
}
