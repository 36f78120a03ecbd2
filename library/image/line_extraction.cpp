// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "library/image/line_extraction.h"

#include "library/image/anchor_lines.h"
#include "library/image/column_segments.h"
#include "library/image/column_transitions.h"
#include "library/image/later_segments.h"
#include "library/image/row_segments.h"
#include "library/image/run_table_memo.h"
#include "library/image/segment_growth.h"
#include "library/image/union_find.h"
#include "library/la_api.h"

#include <algorithm>
#include <limits>
#include <new>
#include <optional>
#include <utility>

namespace quadrel {

namespace {

constexpr std::int32_t kBoxStart = std::numeric_limits<std::int32_t>::max();
// The label of a segment not yet linked.
constexpr std::int32_t kNoLabel = -1;

// Turns the colour changes of one column into runs; an unpaired last change
// runs to the bottom.
void appendRunsFromChanges(std::span<const std::int32_t> changes, std::int32_t height,
                           std::vector<LaRun>& runs) {
    runs.resize((changes.size() + 1) / 2);
    const std::size_t pairs = changes.size() / 2;
    for (std::size_t k = 0; k < pairs; ++k) {
        runs[k].start = changes[2 * k];
        runs[k].end = changes[2 * k + 1];
    }
    if (pairs < runs.size()) runs[pairs] = LaRun{changes.back(), height, 0};
}

// Encodes the columns in turn: the runs of column x go into runsOf(x), then
// done(x, runs) is called. A column whose flag in `encoded` is 0 is handed
// on without runs (an empty `encoded` encodes every column).
template <class RunsOf, class Done>
void encodeColumns(const ColumnChanges& changes, std::span<const std::uint8_t> encoded,
                   RunsOf&& runsOf, Done&& done) {
    std::vector<std::int32_t> rows(std::size_t(changes.height()) + 3); // see ColumnChanges::write
    for (std::int32_t x = 0; x < changes.columns(); ++x) {
        std::vector<LaRun>& runs = runsOf(x);
        if (encoded.empty() || encoded[std::size_t(x)]) {
            const std::int32_t* end = changes.write(x, rows.data());
            appendRunsFromChanges({rows.data(), std::size_t(end - rows.data())}, changes.height(),
                                  runs);
        } else {
            runs.clear();
        }
        done(x, runs);
    }
}

// The first run from i on at least `minLength` long, or the number of runs.
// Nearly every run is too short to be an anchor: they are tested eight at a
// time with one branch.
std::size_t nextAnchor(std::span<const LaRun> runs, std::size_t i, std::int32_t minLength) {
    const LaRun* const r = runs.data();
    const std::size_t n = runs.size();
    const auto isAnchor = [&](std::size_t k) { return r[k].end - r[k].start >= minLength; };
    for (; i + 8 <= n; i += 8) {
        bool any = false;
        for (std::size_t k = i; k < i + 8; ++k) any |= isAnchor(k);
        if (any) break;
    }
    while (i < n && !isAnchor(i)) ++i;
    return i;
}

// Joins segment c with the previous-row segments from q on that start no
// later than c ends. The smallest root among them becomes the root of every
// walked set, so no old root is left orphaned. Returns one past the last
// walked segment.
std::size_t joinOverlapping(std::vector<LaSegment>& previous, std::size_t q, LaSegment& c,
                            UnionFind& labels) {
    std::int32_t root = kBoxStart;
    std::size_t end = q;
    for (; end < previous.size() && previous[end].start <= c.end; ++end)
        root = std::min(root, labels.root(previous[end].lineId));
    for (std::size_t k = q; k < end; ++k) {
        labels.attach(previous[k].lineId, root);
        previous[k].lineId = root;
    }
    c.lineId = root;
    return end;
}

// Labels the segments of one row against the previous row's segments, with a
// search position that only moves forward.
void linkRow(std::vector<LaSegment>& previous, std::vector<LaSegment>& row, UnionFind& labels) {
    std::size_t p = 0;
    for (LaSegment& c : row) {
        std::size_t q = p;
        while (q < previous.size() && previous[q].end < c.start) ++q;
        if (q < previous.size()) {
            if (previous[q].start <= c.end)
                p = joinOverlapping(previous, q, c, labels) - 1;
            else
                p = q;
        }
        if (c.lineId == kNoLabel) c.lineId = labels.add();
    }
    for (LaSegment& c : row) c.lineId = labels.root(c.lineId);
}

void widenRecord(LaRegionRecord& line, const LaSegment& s, std::int32_t row) {
    line.xMin = std::min(line.xMin, s.start);
    line.xMax = std::max(line.xMax, s.end);
    line.yMin = std::min(line.yMin, row);
    line.yMax = std::max(line.yMax, row);
    line.thickness = line.yMax - line.yMin + 1;
    line.inkCount += s.inkCount;
}

// Measures every line from its segments, in the finder's own axes (along the
// line is x, across it is y).
LaList<LaRegionRecord> measureLines(const SegmentTable& segments, std::int32_t lineCount) {
    LaRegionRecord blank;
    blank.xMin = blank.yMin = kBoxStart;
    LaList<LaRegionRecord> lines(std::size_t(lineCount), blank);
    for (std::size_t r = 0; r < segments.size(); ++r)
        for (const LaSegment& s : segments[r])
            widenRecord(lines[std::size_t(s.lineId)], s, std::int32_t(r));
    for (LaRegionRecord& line : lines) {
        line.length = line.xMax - line.xMin;
        line.area = std::int32_t(std::int64_t(line.length) * line.thickness);
        line.density = perMille(line.inkCount, line.area);
    }
    return lines;
}

// A vertical line was measured with columns as rows: put its box in image axes.
void swapAxes(LaList<LaRegionRecord>& lines) {
    for (LaRegionRecord& line : lines) {
        std::swap(line.xMin, line.yMin);
        std::swap(line.xMax, line.yMax);
    }
}

// The lines of a kept table (rows or columns) that may hold a run long
// enough to anchor a segment; the others are not read. Worked out from the
// pixels, which pays only when the runs far outweigh the pixels (a page of
// dots, not a page of text): else every line is read.
class LongRunLines {
  public:
    LongRunLines(const LaBitmap& bitmap, bool vertical, std::int32_t minLength, std::size_t lines,
                 std::size_t runs)
        : flags_(runs * sizeof(LaRun) > 4 * bitmapBytes(bitmap)
                     ? linesWithLongRuns(bitmap, vertical, minLength)
                     : std::vector<std::uint8_t>{}),
          all_(flags_.size() != lines) {}

    bool may(std::size_t line) const { return all_ || flags_[line]; }

  private:
    static std::size_t bitmapBytes(const LaBitmap& bitmap) {
        return (std::size_t(std::max(bitmap.width, 0)) + 7) / 8 *
               std::size_t(std::max(bitmap.height, 0));
    }

    std::vector<std::uint8_t> flags_;
    bool all_;
};

std::size_t runCount(const RunTable& table) {
    std::size_t count = 0;
    for (const std::vector<LaRun>& line : table) count += line.size();
    return count;
}

void segmentKept(const RunTable& kept, const LongRunLines& anchored, std::int32_t minSeedLength,
                 std::int32_t bridgingGap, SegmentTable& segments) {
    segments.assign(kept.size(), {});
    for (std::size_t line = 0; line < kept.size(); ++line)
        if (anchored.may(line))
            buildSegments(kept[line], minSeedLength, bridgingGap, segments[line]);
}

// The number of runs of the flagged columns, when they take no more room
// packed than the page's pixels.
std::optional<std::size_t> packedRunCount(const ColumnChanges& changes,
                                          std::span<const std::uint8_t> anchored,
                                          std::size_t pixelBytes) {
    const std::size_t most = pixelBytes / (2 * sizeof(std::uint16_t));
    std::size_t runs = 0;
    for (std::int32_t x = 0; x < changes.columns() && runs <= most; ++x)
        if (anchored[std::size_t(x)]) runs += (changes.count(x) + 1) / 2;
    return runs <= most ? std::optional<std::size_t>(runs) : std::nullopt;
}

// The columns that may hold a run of `minSeedLength` pixels or more, and the
// shortest run whose column is always flagged.
struct AnchorColumns {
    std::vector<std::uint8_t> flags;
    std::int32_t shortestRun = 0;
};

// For a minimum too short for linesWithLongRuns: the columns with an
// all-black aligned block.
void flagBlackBlocks(const ColumnChanges& changes, std::int32_t minSeedLength,
                     AnchorColumns& anchored) {
    const std::int32_t block = anchorBlock(minSeedLength);
    anchored.flags.resize(std::size_t(changes.columns()));
    for (std::int32_t x = 0; x < changes.columns(); ++x)
        anchored.flags[std::size_t(x)] = changes.hasBlackBlock(x, block);
    anchored.shortestRun = 2 * block - 1;
}

// Encodes the flagged columns, segments them and keeps their runs packed.
void segmentAndPackColumns(const LaBitmap& bitmap, const ColumnChanges& changes,
                           const AnchorColumns& anchored, std::size_t runCount,
                           std::int32_t minSeedLength, std::int32_t bridgingGap,
                           SegmentTable& segments) {
    PackedRunTable columns;
    columns.reserve(std::size_t(changes.columns()), runCount);
    columns.setShortestKeptRun(anchored.shortestRun);
    bool packs = true;
    std::vector<LaRun> runs;
    encodeColumns(
        changes, anchored.flags, [&](std::int32_t) -> std::vector<LaRun>& { return runs; },
        [&](std::int32_t x, const std::vector<LaRun>& column) {
            buildSegments(column, minSeedLength, bridgingGap, segments[std::size_t(x)]);
            packs = packs && columns.appendRow(column);
        });
    if (packs) RunTableMemo::keepPacked(bitmap, std::move(columns));
}

// Segments the flagged columns 64 at a time, turning only the tiles their
// segments reach, and keeps the segments for `laterGap`.
void segmentColumnGroups(const LaBitmap& bitmap, const BlackColumnBlocks& blocks,
                         std::int32_t minSeedLength, std::int32_t bridgingGap,
                         std::int32_t laterGap, SegmentTable& segments) {
    const std::vector<std::uint8_t> flags = blocks.columnFlags();
    segments.assign(flags.size(), {});
    ColumnGroups groups(bitmap);
    LaterSegments later(RunAxis::kColumns, std::int32_t(flags.size()), minSeedLength, laterGap);
    for (std::int32_t x = 0; x < std::int32_t(flags.size()); ++x) {
        if (!flags[std::size_t(x)]) continue;
        groups.appendSegments(blocks, x, minSeedLength, bridgingGap, segments[std::size_t(x)]);
        later.add(groups, blocks, x);
    }
    later.keepFor(bitmap);
}

// Segments the columns that can hold an anchor run: on a page of dots nearly
// none can, and only those are turned into columns. With `laterGap` 0 their
// runs are kept packed for the next search when they take no more room than
// the page's pixels (a larger table costs more memory than reading the
// columns again costs time); else the segments for `laterGap` are kept
// instead. Unless packed, only the runs around anchors are read
// (appendColumnSegments, ColumnGroups).
void segmentEncodedColumns(const LaBitmap& bitmap, std::int32_t minSeedLength,
                           std::int32_t bridgingGap, std::int32_t laterGap,
                           SegmentTable& segments) {
    // The columns are flagged from the rows, so that only those flagged are
    // turned.
    const BlackColumnBlocks blocks(bitmap, minSeedLength);
    if (laterGap > 0 && !blocks.empty())
        return segmentColumnGroups(bitmap, blocks, minSeedLength, bridgingGap, laterGap, segments);
    AnchorColumns anchored{blocks.columnFlags(), shortestFlaggedColumnRun(minSeedLength)};
    const ColumnChanges changes(bitmap, anchored.flags);
    if (anchored.flags.empty()) flagBlackBlocks(changes, minSeedLength, anchored);
    segments.assign(std::size_t(changes.columns()), {});
    const std::size_t pixelBytes =
        (std::size_t(bitmap.width) + 7) / 8 * std::size_t(changes.height());
    const std::optional<std::size_t> runCount =
        laterGap > 0 ? std::nullopt : packedRunCount(changes, anchored.flags, pixelBytes);
    if (runCount) {
        segmentAndPackColumns(bitmap, changes, anchored, *runCount, minSeedLength, bridgingGap,
                              segments);
        return;
    }
    LaterSegments later(RunAxis::kColumns, changes.columns(), minSeedLength, laterGap);
    for (std::int32_t x = 0; x < changes.columns(); ++x) {
        if (!anchored.flags[std::size_t(x)]) continue;
        appendColumnSegments(changes, x, minSeedLength, bridgingGap, segments[std::size_t(x)]);
        later.add(changes, x);
    }
    later.keepFor(bitmap);
}

// The segments of every column: those kept for this search, else the columns
// read where they are kept (packed or not), else encoded one at a time and
// packed for the next reader: the page's column table is never held at
// twelve bytes a run. Nothing is kept for columns that do not pack.
void segmentColumns(const LaBitmap& bitmap, std::int32_t minSeedLength, std::int32_t bridgingGap,
                    std::int32_t laterGap, SegmentTable& segments) {
    if (const std::optional<KeptSegments> kept =
            RunTableMemo::takeSegments(bitmap, RunAxis::kColumns, minSeedLength, bridgingGap)) {
        unpackSegments(*kept, segments);
        return;
    }
    std::vector<LaRun> runs;
    const PackedRunTable* packed = RunTableMemo::findPacked(bitmap);
    if (packed && minSeedLength >= packed->shortestKeptRun()) {
        // No filter on the pixels: a table is packed only when it is no larger
        // than the page, its columns that cannot hold an anchor left empty.
        segments.assign(packed->rows(), {});
        for (std::size_t x = 0; x < packed->rows(); ++x) {
            packed->unpackRow(x, runs);
            buildSegments(runs, minSeedLength, bridgingGap, segments[x]);
        }
        return;
    }
    if (const RunTable* kept = RunTableMemo::find(bitmap, RunAxis::kColumns)) {
        segmentKept(*kept, LongRunLines(bitmap, true, minSeedLength, kept->size(), runCount(*kept)),
                    minSeedLength, bridgingGap, segments);
        return;
    }
    segmentEncodedColumns(bitmap, minSeedLength, bridgingGap, laterGap, segments);
}

void find(const LaBitmap& bitmap, LineOrientation orientation, std::int32_t minSeedLength,
          std::int32_t bridgingGap, std::int32_t laterGap, FoundLines& found) {
    const bool vertical = orientation == LineOrientation::kVertical;
    if (vertical)
        segmentColumns(bitmap, minSeedLength, bridgingGap, laterGap, found.segments);
    else
        segmentRows(bitmap, minSeedLength, bridgingGap, laterGap, found.segments);
    const std::int32_t lineCount = linkSegments(found.segments);
    found.lines = measureLines(found.segments, lineCount);
    if (vertical) swapAxes(found.lines);
}

} // namespace

RunTable buildColumnRunTable(const LaBitmap& bitmap) {
    const ColumnChanges changes(bitmap);
    RunTable table(std::size_t(changes.columns()));
    encodeColumns(
        changes, {}, [&](std::int32_t x) -> std::vector<LaRun>& { return table[std::size_t(x)]; },
        [](std::int32_t, const std::vector<LaRun>&) {});
    return table;
}

void buildSegments(std::span<const LaRun> runs, std::int32_t minSeedLength,
                   std::int32_t bridgingGap, std::vector<LaSegment>& segments) {
    const std::size_t n = runs.size();
    std::size_t i = 0;
    while (i < n) {
        i = nextAnchor(runs, i, minSeedLength);
        if (i == n) return;
        LaSegment s = anchorSegment(runs[i], i);
        std::size_t left = i;
        growLeft([&](LaRun& run) { return left > 0 && (run = runs[--left], true); }, bridgingGap,
                 s);
        // Runs that the rightward growth passed over are not tried as anchors.
        std::size_t right = i + 1;
        LaRun stop;
        const bool stopped =
            growRight([&](LaRun& run) { return right < n && (run = runs[right++], true); },
                      bridgingGap, s, stop);
        s.density = perMille(s.inkCount, s.span);
        segments.push_back(s);
        i = stopped ? right - 1 : n;
    }
}

std::int32_t linkSegments(SegmentTable& segments) {
    std::size_t total = 0;
    for (auto& row : segments) {
        total += row.size();
        for (LaSegment& s : row) s.lineId = kNoLabel;
    }
    // Labels are given in scan order and a root is the smallest label of its
    // set, so numbering the sets by first appearance numbers lines by their
    // first segment.
    UnionFind labels;
    labels.reserve(total);
    for (std::size_t r = 0; r < segments.size(); ++r) {
        if (r == 0) {
            for (LaSegment& s : segments[0]) s.lineId = labels.add();
            continue;
        }
        linkRow(segments[r - 1], segments[r], labels);
    }
    std::int32_t lineCount = 0;
    const std::vector<std::int32_t> lineOf = labels.number(lineCount);
    for (auto& row : segments)
        for (LaSegment& s : row) s.lineId = lineOf[std::size_t(s.lineId)];
    return lineCount;
}

std::int32_t findLines(const LaBitmap& bitmap, LineOrientation orientation,
                       std::int32_t minSeedLength, std::int32_t bridgingGap, FoundLines& found,
                       std::int32_t laterGap) {
    found = FoundLines{};
    try {
        find(bitmap, orientation, minSeedLength, bridgingGap, laterGap, found);
        return LA_STATUS_OK;
    } catch (const std::bad_alloc&) {
        found = FoundLines{};
        return LA_STATUS_OUT_OF_MEMORY;
    }
}

} // namespace quadrel
