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
// Every repetition runs each subject once, in turn, so that a change of load
// on a shared machine falls on all of them alike. Times are the process's CPU
// time (all threads), the table shows medians in milliseconds and ratios.
//
// Usage: compare_bench [repetitions]   (default 15)
#include "library/image/components.h"
#include "library/la_api.h"
#include "tests/support/generated_pages.h"
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

// CPU time of the whole process (every thread), as std::clock counts it.
double cpuMilliseconds() {
    return double(std::clock()) * 1000.0 / double(CLOCKS_PER_SEC);
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

struct PixDeleter {
    void operator()(PIX* pix) const { pixDestroy(&pix); }
};
using PixOwner = std::unique_ptr<PIX, PixDeleter>;

// The page as a Leptonica 1-bit image: 1 is black, row 0 the top.
PixOwner toPix(const TestPage& page, int dpi) {
    const quadrel::LaBitmap bitmap = page.toBitmap(0);
    PixOwner pix(pixCreate(page.width(), page.height(), 1));
    const int wordsPerLine = pixGetWpl(pix.get());
    l_uint32* data = pixGetData(pix.get());
    for (int y = 0; y < page.height(); ++y)
        std::memcpy(data + std::size_t(y) * std::size_t(wordsPerLine),
                    bitmap.row(page.height() - 1 - y), std::size_t(wordsPerLine) * 4);
    pixEndianByteSwap(pix.get()); // bytes in page order, words in host order
    pixSetResolution(pix.get(), dpi, dpi);
    return pix;
}

struct Page {
    std::string name;
    TestPage page;
    int dpi;
};

std::vector<Page> pages() {
    std::vector<Page> all;
    for (int n = 1; n <= 8; ++n)
        if (auto p = testsupport::loadCcittPage(n))
            all.push_back({"ccitt" + std::to_string(n), *p, 200});
    all.push_back({"A4 2480x3508", testsupport::generatedTextTablePage(), 300});
    return all;
}

enum Subject {
    kQuadrelPipe,
    kLeptonicaRegions,
    kTesseractLayout,
    kQuadrelComponents,
    kConnComp,
    kSubjects
};

const char* const kSubjectNames[kSubjects] = {"Quadrel default pipe", "pixGetRegionsBinary",
                                              "Tesseract AnalyseLayout", "Quadrel components",
                                              "pixConnComp (8)"};

// One run of every subject on a page, made ready once.
class PageRuns {
  public:
    PageRuns(const Page& page, tesseract::TessBaseAPI& tesseract)
        : dib_(page.page.toDib(false, page.dpi, page.dpi)), bitmap_(page.page.toBitmap(0)),
          pix_(toPix(page.page, page.dpi)), tesseract_(tesseract) {}

    void run(Subject subject) {
        switch (subject) {
        case kQuadrelPipe: {
            LaContext* ctx = LA_Init(nullptr, nullptr);
            if (LA_Execute(ctx, dib_.get()) != 0) std::fprintf(stderr, "analysis failed\n");
            LA_Done(ctx);
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
    PixOwner pix_;
    tesseract::TessBaseAPI& tesseract_;
};

void printTable(const std::vector<Page>& pages, const std::vector<std::vector<double>>& medians) {
    std::printf("| page | Quadrel pipe | pixGetRegionsBinary | Tesseract layout | "
                "Quadrel / Leptonica | Quadrel / Tesseract | Quadrel components | pixConnComp | "
                "components / pixConnComp |\n");
    std::printf("|---|---:|---:|---:|---:|---:|---:|---:|---:|\n");
    for (std::size_t p = 0; p < pages.size(); ++p) {
        const auto& m = medians[p];
        std::printf("| %s | %.1f | %.1f | %.1f | %.2f | %.3f | %.2f | %.2f | %.2f |\n",
                    pages[p].name.c_str(), m[kQuadrelPipe], m[kLeptonicaRegions],
                    m[kTesseractLayout], m[kQuadrelPipe] / m[kLeptonicaRegions],
                    m[kQuadrelPipe] / m[kTesseractLayout], m[kQuadrelComponents], m[kConnComp],
                    m[kQuadrelComponents] / m[kConnComp]);
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
    std::vector<std::vector<double>> medians;
    for (const Page& page : all) {
        PageRuns runs(page, tesseract);
        for (int s = 0; s < kSubjects; ++s) runs.run(Subject(s)); // warm-up
        std::vector<std::vector<double>> times(kSubjects);
        for (int r = 0; r < repetitions; ++r) {
            for (int s = 0; s < kSubjects; ++s) {
                const double start = cpuMilliseconds();
                runs.run(Subject(s));
                times[std::size_t(s)].push_back(cpuMilliseconds() - start);
            }
        }
        std::vector<double> m;
        for (const auto& t : times) m.push_back(median(t));
        medians.push_back(m);
        std::fprintf(stderr, "%s done\n", page.name.c_str());
    }
    std::printf("Median CPU time in ms over %d repetitions (%s", repetitions, kSubjectNames[0]);
    for (int s = 1; s < kSubjects; ++s) std::printf(", %s", kSubjectNames[s]);
    std::printf(").\n\n");
    printTable(all, medians);
    return 0;
}
