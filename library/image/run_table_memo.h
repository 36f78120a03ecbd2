// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Run tables of the pages of one analysis, kept for its length. Line
// detection and line removal search the same page (inverse text detection in
// between does not change it), and the zone post-processing measures text on
// the page text block segmentation read: with a memo in place the later
// steps use the tables the earlier ones built instead of encoding the page
// again. Inverse text detection labels the page's row runs where they are
// kept, and picture detection and text block segmentation take them labelled
// when line removal left the page unchanged; picture detection keeps the
// labels it used for text block segmentation. A page's row runs are kept
// once: as its row table, or labelled. Skew measurement keeps the labels of
// a page it leaves as it was, for inverse text detection. Line detection
// keeps the column and row segments line removal's search will find.
// A table is found only for exactly the pixels it was built from.
#pragma once

#include "library/image/bitmap.h"
#include "library/image/components.h"
#include "library/image/line_extraction.h"
#include "library/image/packed_run_table.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace quadrel {

enum class RunAxis { kRows, kColumns };

// A page's row runs labelled with their components' numbers, and the
// components' boxes (as labelRuns gives them).
struct LabelledRuns {
    RunTable runs;
    std::vector<LaComponentBox> boxes;
};

// Column (row) segments found ahead for a later search of the same pixels
// (line removal bridges wider gaps than line detection), with the anchor
// length and gap they were found with. Only lines with segments are listed.
struct KeptSegments {
    std::int32_t lines = 0;
    std::int32_t minSeedLength = 0;
    std::int32_t bridgingGap = 0;
    std::vector<std::int32_t> lineOf; // the column (row) of each segment
    std::vector<LaSegment> segments;  // line after line
};

// Installs itself as this thread's memo while it lives; without one, nothing
// is kept and nothing is found. Run labels are not part of what is kept.
class RunTableMemo {
  public:
    RunTableMemo();
    ~RunTableMemo();
    RunTableMemo(const RunTableMemo&) = delete;
    RunTableMemo& operator=(const RunTableMemo&) = delete;

    // Hands over the table kept for a bitmap with exactly these pixels, or
    // nothing. A table is handed over once; row runs kept labelled are
    // handed over without their labels' boxes, which go.
    static std::optional<RunTable> take(const LaBitmap& bitmap, RunAxis axis);

    // The table kept for these pixels (row runs kept labelled included),
    // left in place; null when there is none. Valid until the next keep or
    // take on this thread.
    static const RunTable* find(const LaBitmap& bitmap, RunAxis axis);

    // Keeps `table` for a later step that reads a bitmap with the same
    // pixels. At most a few pages are kept: when a new one comes, the pages
    // whose tables have all been taken go first, then the smallest (a crop
    // is cheap to encode again, a page is not). Keeping is skipped when
    // memory for the copy of the pixels runs out. Column runs are held
    // packed until they are read (packed_run_table.h).
    static void keep(const LaBitmap& bitmap, RunAxis axis, RunTable&& table);

    // Keeps column runs packed already.
    static void keepPacked(const LaBitmap& bitmap, PackedRunTable&& columns);

    // The column runs kept packed for these pixels, left in place; null when
    // there are none or they are kept unpacked. Valid as find's. They may be
    // kept for long runs only (PackedRunTable::shortestKeptRun): find and
    // take then give no column table.
    static const PackedRunTable* findPacked(const LaBitmap& bitmap);

    // Keeps column (row) segments for a later search; a search of these
    // pixels along the same axis with the same anchor length and gap takes
    // them, once.
    static void keepSegments(const LaBitmap& bitmap, RunAxis axis, KeptSegments&& segments);
    static std::optional<KeptSegments> takeSegments(const LaBitmap& bitmap, RunAxis axis,
                                                    std::int32_t minSeedLength,
                                                    std::int32_t bridgingGap);

    // Releases the table kept for these pixels, when there is one (kept
    // segments go with the runs of their axis).
    static void drop(const LaBitmap& bitmap, RunAxis axis);

    // The same for labelled runs: found in place, or handed over once.
    static const LabelledRuns* findLabels(const LaBitmap& bitmap);
    static std::optional<LabelledRuns> takeLabels(const LaBitmap& bitmap);
    static void keepLabels(const LaBitmap& bitmap, LabelledRuns&& labels);

    // Releases the tables of every page but the one with `bitmap`'s pixels
    // (see kept_tables.h).
    static void keepOnly(const LaBitmap& bitmap);

  private:
    // The pixels the tables belong to: size, polarity and the rows' bytes as
    // the bitmap stored them (`stride` apart, padding included); only the
    // pixels' bytes decide whether a bitmap holds them.
    // clang-tidy 14 reports the implicit initialiser of the array member below.
    // NOLINTNEXTLINE(bugprone-reserved-identifier)
    struct Entry {
        std::int32_t width = 0;
        std::int32_t height = 0;
        std::int32_t blackIsZero = 0;
        std::int32_t stride = 0;
        std::vector<std::uint8_t> rows;
        std::optional<RunTable> tables[2]; // by RunAxis
        std::optional<PackedRunTable> packedColumns;
        std::optional<LabelledRuns> labels;
        std::optional<KeptSegments> segments[2]; // by RunAxis

        bool holds(const LaBitmap& bitmap) const;
        // Where row r starts in `rows`.
        std::size_t rowOffset(std::int32_t r) const;
        bool empty() const {
            return !tables[0] && !tables[1] && !packedColumns && !labels && !segments[0] &&
                   !segments[1];
        }
        // The table of `axis`, unpacked in place when it was kept packed.
        std::optional<RunTable>& table(RunAxis axis);
    };
    static constexpr std::size_t kPages = 3;

    Entry* entryFor(const LaBitmap& bitmap);
    // The entry for these pixels, made when there is none; null without a
    // memo or when memory for the copy of the pixels runs out.
    static Entry* entryToKeep(const LaBitmap& bitmap);
    static Entry* currentEntry(const LaBitmap& bitmap);
    static Entry entryOf(const LaBitmap& bitmap);
    void makeRoom();

    std::vector<Entry> entries_;
    RunTableMemo* outer_;
};

// The labelled row runs of `bitmap`'s pixels: the labels kept for them,
// handed over; else the row runs kept for them, taken and labelled; else
// those of its pixels. Status as labelRuns gives it. The reader (when there
// is one) is handed every row once labelled, as by labelRuns.
std::int32_t labelPageComponents(const LaBitmap& bitmap, LabelledRuns& labels,
                                 NumberedRowReader* reader = nullptr);

// The same without reading the pixels: nothing when no labels or row runs
// are kept for them.
std::optional<LabelledRuns> takePageLabels(const LaBitmap& bitmap);

} // namespace quadrel
