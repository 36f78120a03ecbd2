// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Heap and page faults of Quadrel's default pipe beside Leptonica's page
// segmentation (pixGetRegionsBinary, all three masks) on the same pages, in
// one process.
//
// Peak heap: the most bytes held at once during one call, above what was
// held before it (the caller's DIB or PIX not included), counted by
// replacing the C allocator (heap_counter.h), so that Leptonica's
// allocations and Quadrel's count alike. Measured after a warm-up call, for:
//   - Quadrel, one page per context (LA_Init, LA_Execute, LA_Done);
//   - Quadrel, a context kept from page to page (LA_Execute only; what the
//     context still holds from the previous page counts too);
//   - pixGetRegionsBinary.
// Many pages: each subject analyses every page `rounds` times in turn; the
// table shows the minor page faults per page in the first and the last round
// and the resident size after the first and the last round: a worker that
// reuses its memory takes few fresh pages and holds flat memory.
//
// With --batch-heap the process first sets its heap up as the quadrel
// program does (cli/heap_settings.h).
//
// Usage: memory_bench [--batch-heap] [rounds]   (default 20)
#include "bench/compare/heap_counter.h"
#include "bench/compare/leptonica_page.h"
#include "cli/heap_settings.h"
#include "library/la_api.h"
#include "tests/support/generated_pages.h"
#include "tests/support/page_transforms.h"
#include "tests/support/test_page.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

using testsupport::TestPage;

struct Page {
    std::string name;
    platform::GlobalBlockOwner dib;
    benchpages::PixOwner pix;
};

Page readyPage(const std::string& name, const TestPage& page, int dpi) {
    return {name, page.toDib(false, dpi, dpi), benchpages::toPix(page, dpi)};
}

std::vector<Page> pages() {
    std::vector<Page> all;
    for (int n = 1; n <= 8; ++n)
        if (auto p = testsupport::loadCcittPage(n))
            all.push_back(readyPage("ccitt" + std::to_string(n), *p, 200));
    all.push_back(readyPage("A4 300 dpi", testsupport::generatedTextTablePage(), 300));
    all.push_back(readyPage("ruled form", testsupport::generatedRuledGridPage(), 300));
    all.push_back(readyPage("dithered", testsupport::generatedDitheredPage(), 300));
    all.push_back(readyPage("halftones, black", testsupport::generatedHalftonePage(), 300));
    all.push_back(readyPage("tilted 1.5 deg", testsupport::generatedTiltedPage(), 200));
    all.push_back(
        readyPage("A4 600 dpi", testsupport::doubled(testsupport::generatedTextTablePage()), 600));
    return all;
}

void analyseAlone(const Page& page) {
    LaContext* ctx = LA_Init(nullptr, nullptr);
    if (LA_Execute(ctx, page.dib.get()) != LA_STATUS_OK) std::fprintf(stderr, "analysis failed\n");
    LA_Done(ctx);
}

void segmentWithLeptonica(const Page& page) {
    PIX* halftone = nullptr;
    PIX* lines = nullptr;
    PIX* blocks = nullptr;
    pixGetRegionsBinary(page.pix.get(), &halftone, &lines, &blocks, nullptr);
    pixDestroy(&halftone);
    pixDestroy(&lines);
    pixDestroy(&blocks);
}

// A context kept for the whole run, as a long-running worker keeps one.
class KeptContext {
  public:
    KeptContext() : before_(heapcount::inUse()), ctx_(LA_Init(nullptr, nullptr)) {}
    ~KeptContext() { LA_Done(ctx_); }
    KeptContext(const KeptContext&) = delete;
    KeptContext& operator=(const KeptContext&) = delete;
    void analyse(const Page& page) {
        if (LA_Execute(ctx_, page.dib.get()) != LA_STATUS_OK)
            std::fprintf(stderr, "analysis failed\n");
    }

    // Bytes held when the context was made: its peak counts what it kept
    // from the page before.
    std::int64_t heldBefore() const { return before_; }

  private:
    std::int64_t before_;
    LaContext* ctx_;
};

using Subject = std::function<void(const Page&)>;

constexpr double kMiB = 1024.0 * 1024.0;

// `base` says what counts as held before the call; by default, what is held
// just before it.
double peakMiB(const Subject& run, const Page& page, std::int64_t base = -1) {
    run(page); // warm-up: first-use allocations of either library
    const std::int64_t before = base >= 0 ? base : heapcount::inUse();
    heapcount::resetPeak();
    run(page);
    return double(heapcount::peak() - before) / kMiB;
}

long minorFaults() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

double residentMiB() {
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / kMiB;
}

struct Throughput {
    double firstFaults = 0, lastFaults = 0; // per page
    double firstRss = 0, lastRss = 0;       // MiB
};

Throughput manyPages(const Subject& run, const std::vector<Page>& all, int rounds) {
    Throughput t;
    for (int r = 0; r < rounds; ++r) {
        const long faults = minorFaults();
        for (const Page& page : all) run(page);
        const double perPage = double(minorFaults() - faults) / double(all.size());
        if (r == 0) {
            t.firstFaults = perPage;
            t.firstRss = residentMiB();
        }
        t.lastFaults = perPage;
        t.lastRss = residentMiB();
    }
    return t;
}

} // namespace

int main(int argc, char** argv) {
    const bool batchHeap = argc > 1 && std::string(argv[1]) == "--batch-heap";
    if (batchHeap) quadrel_cli::keepHeapBetweenPages();
    const int rounds =
        argc > 1 + int(batchHeap) ? std::max(1, std::atoi(argv[1 + int(batchHeap)])) : 20;
    setMsgSeverity(L_SEVERITY_ERROR);
    const std::vector<Page> all = pages();
    KeptContext kept;
    const Subject alone = analyseAlone;
    const Subject reused = [&](const Page& page) { kept.analyse(page); };
    const Subject leptonica = segmentWithLeptonica;

    std::printf("Peak heap of one call in MiB, above what was held before it.\n\n");
    std::printf("| page | Quadrel, context per page | Quadrel, kept context | "
                "pixGetRegionsBinary | per page / Leptonica | kept / Leptonica |\n");
    std::printf("|---|---:|---:|---:|---:|---:|\n");
    for (const Page& page : all) {
        const double a = peakMiB(alone, page);
        const double k = peakMiB(reused, page, kept.heldBefore());
        const double l = peakMiB(leptonica, page);
        std::printf("| %s | %.1f | %.1f | %.1f | %.2f | %.2f |\n", page.name.c_str(), a, k, l,
                    a / l, k / l);
    }
    std::printf("\n%zu pages, %d rounds: minor page faults per page in the first (last) round, "
                "resident MiB after the first (last) round.\n\n",
                all.size(), rounds);
    std::printf("| subject | faults per page | resident MiB |\n|---|---:|---:|\n");
    const std::pair<const char*, const Subject*> subjects[] = {
        {"Quadrel, context per page", &alone},
        {"Quadrel, kept context", &reused},
        {"pixGetRegionsBinary", &leptonica}};
    for (const auto& [name, run] : subjects) {
        const Throughput t = manyPages(*run, all, rounds);
        std::printf("| %s | %.0f (%.0f) | %.1f (%.1f) |\n", name, t.firstFaults, t.lastFaults,
                    t.firstRss, t.lastRss);
    }
    return 0;
}
