// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Black connected components of a band of a 1-bit bitmap.
//
// Every row is encoded as a list of black runs, 64 pixels at a time
// (row_runs.cpp), the runs are labelled 8-connectedly with a union-find, and one
// record per component gets its box and, on request, edge profiles and pixel
// counts. Components are numbered in the order of their first run (scan row 0
// first, left to right within a row).
#pragma once

#include "library/image/bitmap.h"

#include <cstdint>
#include <span>
#include <vector>

namespace quadrel {

// One black run of a row: [start, end). During labelling `label` is the run's
// label; afterwards the index of its component.
struct LaRun {
    std::int32_t start = 0;
    std::int32_t end = 0;
    std::int32_t label = 0;
};
// Run tables dominate the peak heap on pages with many runs: keep runs at 12 bytes.
static_assert(sizeof(LaRun) == 12);

// One list of runs per scanned row, left to right (empty for a row without black).
using RunTable = std::vector<std::vector<LaRun>>;

inline constexpr std::int32_t kKeepRuns = 0x1000;
inline constexpr std::int32_t kEdgeProfiles = 0x100;
inline constexpr std::int32_t kPixelCounts = 0x100000;

inline constexpr std::int32_t kBoxStartMin = 0x7FFFFFFF;

struct LaComponent {
    std::int32_t xMin = kBoxStartMin;
    std::int32_t xEnd = 0; // one past the rightmost black column
    std::int32_t yMin = kBoxStartMin;
    std::int32_t yMax = 0; // inclusive
    std::int32_t linkA = -1;
    std::int32_t linkB = -1;
    std::int32_t spare = 0;
};
// A page may have a few hundred thousand components: their records stay small
// and own no storage.
static_assert(sizeof(LaComponent) == 28);

// What kEdgeProfiles and kPixelCounts ask for, of one component, indexed from
// its yMin (rows) or xMin (columns). Only the requested vectors are filled.
struct ComponentProfiles {
    // Edge profiles: each row's first black column and one past its last;
    // each column's first and last black row.
    std::vector<std::int32_t> rowLeft;
    std::vector<std::int32_t> rowRight;
    std::vector<std::int32_t> colTop;
    std::vector<std::int32_t> colBottom;
    // Pixel counts.
    std::vector<std::int32_t> colCount;
    std::vector<std::int32_t> rowCount;
};

// The request: which rows to scan and how. The run table is handed back here
// when options ask for kKeepRuns, and the profiles of every component with
// kEdgeProfiles or kPixelCounts. With kKeepRuns extractComponents writes the
// run table over the one the request holds, reusing the storage of its rows.
struct LaComponentSource {
    std::int32_t rows = 0;
    std::int32_t width = 0;
    std::int32_t stride = 0;
    std::int32_t options = 0;
    std::int32_t blackIsZero = 0;
    const std::uint8_t* firstRow = nullptr;  // row r at firstRow + r * stride
    RunTable runTable;                       // output with kKeepRuns
    std::vector<ComponentProfiles> profiles; // output, one per component
};

// The black runs of a band in one array, row after row, left to right.
struct FlatRunTable {
    std::vector<LaRun> runs;
    std::vector<std::int32_t> rowStart; // row r: runs[rowStart[r], rowStart[r + 1])

    std::int32_t rows() const { return rowStart.empty() ? 0 : std::int32_t(rowStart.size() - 1); }
    std::span<const LaRun> row(std::int32_t r) const {
        return {runs.data() + rowStart[std::size_t(r)],
                std::size_t(rowStart[std::size_t(r) + 1] - rowStart[std::size_t(r)])};
    }
};

// A component's box alone.
struct LaComponentBox {
    std::int32_t xMin = kBoxStartMin;
    std::int32_t xEnd = 0; // one past the rightmost black column
    std::int32_t yMin = kBoxStartMin;
    std::int32_t yMax = 0; // inclusive
};

// Reads the rows of a page's runs as labelling gives them their components'
// numbers, with the components' boxes known, so that a caller walking the
// labelled runs once does it while each row is in the cache.
class NumberedRowReader {
  public:
    virtual ~NumberedRowReader() = default;
    // Called once, before the first row, with every component's box.
    virtual void start(const std::vector<LaComponentBox>& boxes) = 0;
    // Called for every row in order, its runs labelled with their components.
    virtual void read(std::int32_t row, std::span<const LaRun> runs) = 0;
};

// The black runs of every row of the source (which must have rows, columns
// and pixels to read).
void buildRowRuns(const LaComponentSource& source, FlatRunTable& table);

// The working room of appendRowRuns, kept from row to row: one row's runs,
// their labels left 0, and the code that reads the rows: the one using the
// CPU's bit-counting instructions when it has them (fastestCode), else
// portable code.
class RowRunRoom {
  public:
    explicit RowRunRoom(bool fast = fastestCode()) : fast_(fast) {}

    static bool fastestCode();
    bool fast() const { return fast_; }
    // Room for the runs of a row `width` pixels wide and two more.
    LaRun* forWidth(std::int32_t width);

  private:
    std::vector<LaRun> runs_;
    bool fast_;
};

// Appends the black runs of the first `width` pixels of a row to `runs`, read
// 64 pixels at a time.
void appendRowRuns(const std::uint8_t* row, std::int32_t width, bool blackIsZero, RowRunRoom& room,
                   std::vector<LaRun>& runs);

// The number of black pixels among the first `width` pixels of a row.
std::int64_t countBlackPixels(const std::uint8_t* row, std::int32_t width, bool blackIsZero);

// Finds the same components as extractComponents, numbered alike, for the
// callers that need no more than their boxes and runs: every run's label is
// its component's number, and no record or per-row list is made. The
// source's options and run table are not used. Status 0; 2 numbering work
// array not allocatable; 4 no black pixel (also for nothing to scan).
// Throws std::bad_alloc when memory runs out.
std::int32_t labelComponents(const LaComponentSource& source, FlatRunTable& runs,
                             std::vector<LaComponentBox>& boxes);

// The same for runs gathered elsewhere (each row's runs left to right, none
// touching another): labels them and gives the components' boxes. Status 0;
// 2 numbering work array not allocatable; 4 no run at all.
// With a reader, every row is handed to it once its runs carry their
// components' numbers.
std::int32_t labelRuns(FlatRunTable& runs, std::vector<LaComponentBox>& boxes);
std::int32_t labelRuns(RunTable& runs, std::vector<LaComponentBox>& boxes,
                       NumberedRowReader* reader = nullptr);

// A request covering every row of `bitmap` (no rows when it has no pixels).
LaComponentSource componentSourceOf(const LaBitmap& bitmap, std::int32_t options);

// Extracts the components of the source's rows into `components` (which must
// be empty). Status 0; 1 memory exhausted; 2 numbering work array not
// allocatable; 3 null source or list; 4 no black pixel. On failure the list
// is empty and no run table or profile is handed back.
std::int32_t extractComponents(LaComponentSource* source, std::vector<LaComponent>* components);

// The same from runs labelRuns labelled for the source's rows (the source's
// pixels are not read): the records and, with kKeepRuns, the run table
// extractComponents would give, which is `runs` itself, handed over. Status
// 0; 1 memory exhausted; 3 null source or list; 4 no component.
std::int32_t componentsOfLabelledRuns(RunTable&& runs, const std::vector<LaComponentBox>& boxes,
                                      LaComponentSource* source,
                                      std::vector<LaComponent>* components);

// Transition positions of one byte, most significant bit first, 1 bits black:
// the 1-based positions where the colour changes, then 0, then 0xFF when the
// byte ends in black (else 0).
struct ByteTransitions {
    std::uint8_t entries[10];
};
const ByteTransitions& byteTransitions(std::uint8_t value);

// Encodes one row of `width` pixels as 0, the alternating starts and
// (exclusive) ends of its black runs, then `width` repeated so that the list
// ends with at least three copies. `whiteByte` is the byte value of eight
// white pixels (0xFF when a 1 bit is white). `out` is grown to at least
// width + 6 entries. Returns the number of entries; a blank row gives 5.
std::int32_t encodeRow(const std::uint8_t* row, std::int32_t width, std::uint8_t whiteByte,
                       std::vector<std::int32_t>& out);

} // namespace quadrel
