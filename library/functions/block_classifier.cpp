// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "library/functions/block_classifier.h"

#include "library/functions/block_column_changes.h"
#include "library/functions/transition_lists.h"
#include "library/image/components.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <span>
#include <utility>
#include <vector>

namespace quadrel {

namespace {

// The thresholds of the text-or-picture rules, in rule order. A share is a
// mean run length per column of the block (per row for `meanBlackCol`).

// Blocks narrower and shorter than this are text whatever they hold.
constexpr double kSmallBlockSide = 40;
// Text has some ink and far from all of it black.
constexpr double kMinTextInk = 0.02;
constexpr double kMaxTextInk = 0.7;
// A row or column that changes colour this often per pixel is a picture's.
constexpr double kBusyLinePeak = 0.45;
constexpr double kBusyRowMinWidth = 35;
constexpr double kBusyColumnMinRows = 200;
// Halftone dots: busy rows, light ink, very short black runs, a wide block.
constexpr double kDotsMinRowPeak = 0.34;
constexpr double kDotsMaxInk = 0.25;
constexpr double kDotsMaxBlackRowRun = 3.0;
constexpr double kDotsMaxBlackColumnRun = 2.0;
constexpr double kDotsMinWidth = 500;
// Uneven columns: few runs per column but unevenly spread, runs short for the width.
constexpr double kUnevenMaxColumnRuns = 0.11;
constexpr double kUnevenMinColumnSpread = 60;
constexpr double kUnevenMaxBlackShare = 0.0038;
constexpr double kUnevenMaxWhiteShare = 0.0042;
// Hairlines: black runs short for the block both ways and all of one length.
constexpr double kHairlineMaxBlackShare = 0.01;
constexpr double kHairlineMaxDeviation = 0.01;
// Dense texture: many runs both ways and heavy ink, taller than a text line.
constexpr double kTextureMinRuns = 0.3;
constexpr double kTextureMinInk = 0.25;
constexpr double kTextureMinRows = 20;
// Short runs: black and white runs both tiny beside the width.
constexpr double kShortRunsMaxBlackShare = 0.00116216;
constexpr double kShortRunsMaxWhiteShare = 0.02602;
// Fine grid: about a third of a run per pixel both ways, runs tinier still.
constexpr double kGridMinColumnRuns = 0.330273;
constexpr double kGridMinRowRuns = 0.332671;
constexpr double kGridMaxBlackShare = 0.0014565;
constexpr double kGridMaxWhiteShare = 0.002913;

// The runs counted for a line: the stretch starting at entry k runs to entry
// k + 1 and is black when k is odd. A line that starts black has an empty
// first stretch, which is skipped.
struct CountedRuns {
    std::size_t first;
    std::size_t end;
    std::size_t count() const { return end - first; }
};

CountedRuns countedRuns(std::span<const std::int32_t> list) {
    const std::size_t e = list.size();
    if (e < 5) return {0, 0};
    if (list[1] != 0) return {0, e - 4};
    return {1, e - 4};
}

// Per colour (0 white, 1 black): the count and total length of the runs,
// each started at 1, and the sum of squared deviations from their mean.
struct RunStatistics {
    std::int64_t length[2] = {0, 0};
    double n[2] = {1.0, 1.0};
    double s[2] = {1.0, 1.0};
    double q[2] = {0.0, 0.0};
    double runCountSum = 0.0;
    std::size_t mostEntries = 0;
};

// Adds (length - mean)^2 of the runs [first, end) of a list to the sums of
// their colours, run after run: each colour's sum grows in the same order as
// one run at a time would grow it.
void addSquaredDeviations(std::span<const std::int32_t> list, CountedRuns runs,
                          const double mean[2], std::span<double, 2> q) {
    const std::int32_t* e = list.data();
    std::size_t k = runs.first;
    double& a = q[k & 1]; // colour of runs first, first + 2, ...
    double& b = q[(k + 1) & 1];
    const double meanA = mean[k & 1];
    const double meanB = mean[(k + 1) & 1];
    for (; k + 1 < runs.end; k += 2) {
        const double da = double(e[k + 1] - e[k]) - meanA;
        const double db = double(e[k + 2] - e[k + 1]) - meanB;
        a += da * da;
        b += db * db;
    }
    if (k < runs.end) {
        const double da = double(e[k + 1] - e[k]) - meanA;
        a += da * da;
    }
}

// The counted runs of one line, from its changes.
CountedRuns countedRuns(LineChanges line) {
    const std::size_t first = line.startsBlack ? 1 : 0;
    return {first, std::size_t(line.changes) + 1};
}

// A list holds 0, the changes, then the line's length four times.
LineChanges changesOfList(std::span<const std::int32_t> list) {
    return {std::int32_t(list.size()) - 5, list[1] == 0};
}

// The first pass over the counted runs of every line, in line order, given
// the total length of each colour. Counts and lengths are whole numbers far
// below 2^53: summed as integers they give the very sums that adding them
// one by one in floating point gives.
RunStatistics runStatistics(std::span<const LineChanges> lines, const std::int64_t length[2]) {
    RunStatistics st;
    std::int64_t count[2] = {0, 0};
    std::int64_t runCount = 0;
    for (const LineChanges line : lines) {
        const CountedRuns runs = countedRuns(line);
        // Runs alternate in colour, starting with the colour of `first`.
        count[runs.first & 1] += std::int64_t(runs.count() + 1) / 2;
        count[(runs.first + 1) & 1] += std::int64_t(runs.count()) / 2;
        runCount += std::int64_t(runs.count());
        st.mostEntries = std::max(st.mostEntries, std::size_t(line.changes) + 5);
    }
    for (int c = 0; c < 2; ++c) {
        st.length[c] = length[c];
        st.n[c] = 1.0 + double(count[c]);
        st.s[c] = 1.0 + double(length[c]);
    }
    st.runCountSum = double(runCount);
    return st;
}

// The statistics runStatistics finds for the rows summed: they cover each
// pixel once.
RunStatistics rowStatistics(const BlockRows& rows) {
    const std::int64_t pixels = std::int64_t(rows.rows()) * rows.width();
    const std::int64_t length[2] = {pixels - rows.black(), rows.black()};
    return runStatistics(rows.lines(), length);
}

// The changes of every list, and the total length of each colour.
RunStatistics runStatistics(const TransitionLists& lists, std::vector<LineChanges>& lines) {
    std::int64_t length[2] = {0, 0};
    lines.resize(lists.count());
    for (std::size_t i = 0; i < lists.count(); ++i) {
        const auto list = lists.list(i);
        const CountedRuns runs = countedRuns(list);
        const std::int32_t* e = list.data();
        for (std::size_t k = runs.first; k < runs.end; ++k) length[k & 1] += e[k + 1] - e[k];
        lines[i] = changesOfList(list);
    }
    return runStatistics(lines, length);
}

// The second pass: the squared deviations from the means of the first.
void addSquaredDeviations(const TransitionLists& lists, RunStatistics& st) {
    const double mean[2] = {st.s[0] / st.n[0], st.s[1] / st.n[1]};
    for (std::size_t i = 0; i < lists.count(); ++i) {
        const auto list = lists.list(i);
        addSquaredDeviations(list, countedRuns(list), mean, st.q);
    }
}

// Entry count of the busiest column short of the very busiest (at least 5).
double secondBusiestColumn(std::span<const LineChanges> columns, std::size_t busiest) {
    std::size_t second = 5;
    for (const LineChanges column : columns) {
        const std::size_t e = std::size_t(column.changes + 5);
        if (e + 5 < busiest && e > second) second = e;
    }
    return double(second);
}

// Sum over the columns of |run count - mean run count per column|.
double columnRunSpread(std::span<const LineChanges> columns, double meanRunCount) {
    double spread = 0.0;
    for (const LineChanges column : columns)
        spread += std::fabs(double(countedRuns(column).count()) - meanRunCount);
    return spread;
}

// A block image's run lists and their statistics, the squared deviations
// left out until asked for.
struct BlockRuns {
    TransitionLists rows;
    std::vector<LineChanges> columnChanges;
    RunStatistics r;
    RunStatistics c;
};

// The columns' statistics from their change counts alone: the columns'
// counted runs cover each pixel once, as the rows' do, so each colour's
// total length is the rows' (runs.r must be set). The column lists are made
// only for the deviations.
void measureColumns(const LaBitmap& image, BlockRuns& runs) {
    runs.columnChanges = columnChangesOf(image);
    runs.c = runStatistics(runs.columnChanges, runs.r.length);
}

BlockRuns measureRuns(const LaBitmap& image) {
    BlockRuns runs;
    runs.rows = rowLists(image);
    std::vector<LineChanges> rowChanges;
    runs.r = runStatistics(runs.rows, rowChanges);
    measureColumns(image, runs);
    return runs;
}

// The features the rows give, of an image of h rows and w columns.
BlockFeatures rowFeatures(const RunStatistics& r, std::int32_t h, std::int32_t w) {
    BlockFeatures f;
    f.rows = h;
    f.width = w < 1 ? 1.0 : double(w);
    const double rowsOrOne = h < 1 ? 1.0 : double(h);
    f.ink = r.s[1] / (r.s[0] + r.s[1]);
    f.meanBlackRow = r.s[1] / r.n[1];
    f.meanWhiteRow = r.s[0] / r.n[0];
    f.rowRuns = (r.runCountSum / rowsOrOne) / f.width;
    f.rowPeak = (double(r.mostEntries) - 4.0) / f.width;
    return f;
}

// Every feature but the two deviations.
BlockFeatures featuresOf(const BlockRuns& runs, std::int32_t h, std::int32_t w) {
    BlockFeatures f = rowFeatures(runs.r, h, w);
    const RunStatistics& c = runs.c;
    const double rowsOrOne = h < 1 ? 1.0 : double(h);
    f.meanBlackCol = c.s[1] / c.n[1];
    f.colRuns = (c.runCountSum / f.width) / rowsOrOne;
    f.colSpread = columnRunSpread(runs.columnChanges, c.runCountSum / f.width) / rowsOrOne;
    const std::size_t busiestColumn = std::max<std::size_t>(c.mostEntries, 5);
    f.colPeak = (secondBusiestColumn(runs.columnChanges, busiestColumn) - 5.0) / rowsOrOne;
    return f;
}

BlockFeatures featuresOf(const BlockRuns& runs, const LaBitmap& image) {
    const std::int32_t h = image.hasPixels() ? image.height : 0;
    const std::int32_t w = image.hasPixels() ? image.width : 0;
    return featuresOf(runs, h, w);
}

// The second pass over the lists, which only one rule needs.
// The columns' deviations added, both deviations found from the sums.
void finishDeviations(const LaBitmap& image, BlockRuns& runs, BlockFeatures& f) {
    addSquaredDeviations(columnListsOf(image, runs.columnChanges), runs.c);
    f.sdBlackRow = std::sqrt(runs.r.q[1]) / runs.r.n[1];
    f.sdBlackCol = std::sqrt(runs.c.q[1]) / runs.c.n[1];
}

void addDeviations(const LaBitmap& image, BlockRuns& runs, BlockFeatures& f) {
    addSquaredDeviations(runs.rows, runs.r);
    finishDeviations(image, runs, f);
}

// The rows' deviations with each row encoded in turn rather than all kept:
// the same sums, added in the same order.
void addRowDeviations(const LaBitmap& image, RunStatistics& st) {
    const double mean[2] = {st.s[0] / st.n[0], st.s[1] / st.n[1]};
    std::vector<std::int32_t> list;
    for (std::int32_t r = 0; r < image.height; ++r) {
        const std::int32_t e = encodeRow(image.row(r), image.width, image.whiteByte(), list);
        const std::span<const std::int32_t> row(list.data(), std::size_t(e));
        addSquaredDeviations(row, countedRuns(row), mean, st.q);
    }
}

bool isSmallBlock(double rows, double width) {
    return rows < kSmallBlockSide && width < kSmallBlockSide;
}

// Mean black and white run along the rows, per column of the block.
struct RowRunShares {
    double black;
    double white;
};

bool inkUnlikeText(const BlockFeatures& f) {
    return f.ink < kMinTextInk || f.ink > kMaxTextInk;
}

bool busyRows(const BlockFeatures& f) {
    return f.width > kBusyRowMinWidth && f.rowPeak > kBusyLinePeak;
}

bool busyLines(const BlockFeatures& f) {
    return busyRows(f) || (f.rows > kBusyColumnMinRows && f.colPeak > kBusyLinePeak);
}

bool halftoneDots(const BlockFeatures& f) {
    return f.rowPeak > kDotsMinRowPeak && f.ink < kDotsMaxInk &&
           f.meanBlackRow < kDotsMaxBlackRowRun && f.meanBlackCol < kDotsMaxBlackColumnRun &&
           f.width > kDotsMinWidth;
}

bool unevenColumns(const BlockFeatures& f, RowRunShares s) {
    return f.colRuns < kUnevenMaxColumnRuns && f.colSpread > kUnevenMinColumnSpread &&
           s.black < kUnevenMaxBlackShare && s.white < kUnevenMaxWhiteShare;
}

// The part of the hairline rule that needs no deviations.
bool shortBlackRunsBothWays(const BlockFeatures& f, RowRunShares s) {
    return s.black < kHairlineMaxBlackShare && f.meanBlackCol / f.rows < kHairlineMaxBlackShare;
}

bool denseTexture(const BlockFeatures& f) {
    return f.rowRuns > kTextureMinRuns && f.colRuns > kTextureMinRuns && f.ink > kTextureMinInk &&
           f.rows > kTextureMinRows;
}

bool shortRuns(RowRunShares s) {
    return s.black < kShortRunsMaxBlackShare && s.white < kShortRunsMaxWhiteShare;
}

bool fineGrid(const BlockFeatures& f, RowRunShares s) {
    return f.colRuns > kGridMinColumnRuns && f.rowRuns >= kGridMinRowRuns &&
           s.black < kGridMaxBlackShare && s.white < kGridMaxWhiteShare;
}

// The decision, with the black-run deviations (row, column) read through
// `deviations` only when the rule that uses them is reached.
template <class Deviations> std::int32_t classify(const BlockFeatures& f, Deviations&& deviations) {
    if (isSmallBlock(f.rows, f.width)) return LA_CONTENT_TEXT;
    const RowRunShares s{f.meanBlackRow / f.width, f.meanWhiteRow / f.width};
    if (inkUnlikeText(f) || busyLines(f) || halftoneDots(f) || unevenColumns(f, s))
        return LA_CONTENT_PICTURE;
    if (shortBlackRunsBothWays(f, s)) {
        const auto [row, column] = deviations();
        if (row < kHairlineMaxDeviation && column < kHairlineMaxDeviation)
            return LA_CONTENT_PICTURE;
    }
    if (denseTexture(f) || shortRuns(s) || fineGrid(f, s)) return LA_CONTENT_PICTURE;
    return LA_CONTENT_TEXT;
}

} // namespace

BlockFeatures measureBlock(const LaBitmap& image) {
    BlockRuns runs = measureRuns(image);
    BlockFeatures f = featuresOf(runs, image);
    addDeviations(image, runs, f);
    return f;
}

std::int32_t classifyFeatures(const BlockFeatures& f) {
    return classify(f, [&] { return std::pair(f.sdBlackRow, f.sdBlackCol); });
}

std::int32_t classifyBlock(const LaBitmap& image) {
    if (!image.hasPixels()) return LA_CONTENT_TEXT;
    // Small blocks are text whatever they hold; spare them the run lists.
    if (isSmallBlock(image.height, image.width)) return LA_CONTENT_TEXT;
    BlockRuns runs = measureRuns(image);
    BlockFeatures f = featuresOf(runs, image);
    return classify(f, [&] {
        addDeviations(image, runs, f);
        return std::pair(f.sdBlackRow, f.sdBlackCol);
    });
}

std::int32_t classifyBlockRows(const BlockRows& rows, const LaBitmap& image) {
    const std::int32_t h = rows.rows(), width = rows.width();
    if (h <= 0 || width <= 0) return classifyBlock(image);
    if (isSmallBlock(h, width)) return LA_CONTENT_TEXT;
    BlockRuns lists;
    lists.r = rowStatistics(rows);
    // Ink or a busy row make a picture before any column is read.
    const BlockFeatures byRows = rowFeatures(lists.r, h, width);
    if (inkUnlikeText(byRows) || busyRows(byRows)) return LA_CONTENT_PICTURE;
    measureColumns(image, lists);
    BlockFeatures f = featuresOf(lists, h, width);
    return classify(f, [&] {
        addRowDeviations(image, lists.r);
        finishDeviations(image, lists, f);
        return std::pair(f.sdBlackRow, f.sdBlackCol);
    });
}

} // namespace quadrel
