// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "library/image/components.h"

#include "library/image/bit_positions.h"
#include "library/image/component_profiles.h"
#include "library/la_api.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <new>

namespace quadrel {

namespace {

std::array<ByteTransitions, 256> buildTransitionTable() {
    std::array<ByteTransitions, 256> table{};
    for (int value = 0; value < 256; ++value) {
        ByteTransitions& t = table[std::size_t(value)];
        int n = 0;
        bool black = false; // the byte is read as if white came before it
        for (int bit = 0; bit < 8; ++bit) {
            const bool pixel = (value >> (7 - bit)) & 1;
            if (pixel != black) {
                t.entries[n++] = std::uint8_t(bit + 1);
                black = pixel;
            }
        }
        t.entries[n++] = 0;
        t.entries[n] = black ? 0xFF : 0x00;
    }
    return table;
}

// Writes the transitions of one (possibly complemented) byte at base column 8k.
inline void appendByteTransitions(std::uint8_t value, std::int32_t base, std::int32_t*& out,
                                  bool& invert) {
    const std::uint8_t* e = byteTransitions(value).entries;
    int i = 0;
    for (; e[i] != 0; ++i) *out++ = base + e[i] - 1;
    if (e[i + 1] == 0xFF) invert = !invert;
}

// Provisional labels of the runs: a run that touches no run of the row
// before starts a label of its own, the others take the label of the first
// run above they touch, and labels that meet are joined under the smaller.
// Labels are made in scan order, so the smallest label of a component is that
// of its first run and numbering the roots in label order numbers the
// components by their first runs. Each label keeps the box of its own runs.
class ProvisionalLabels {
  public:
    explicit ProvisionalLabels(std::size_t runCount) {
        parent_.reserve(runCount / 8 + 16);
        boxes_.reserve(runCount / 8 + 16);
    }

    // A label of its own for the first run of a set.
    std::int32_t add(const LaRun& run, std::int32_t row) {
        const auto label = std::int32_t(parent_.size());
        parent_.push_back(label);
        boxes_.push_back(LaComponentBox{run.start, run.end, row, row});
        return label;
    }

    std::int32_t root(std::int32_t label) {
        std::int32_t* const parent = parent_.data();
        while (parent[label] != label) {
            const std::int32_t up = parent[parent[label]];
            parent[label] = up;
            label = up;
        }
        return label;
    }

    // Joins the set of `label` with the set rooted at `root`; returns the new root.
    // A label that is the root already (as labels of one large component
    // mostly are) is not looked up.
    std::int32_t join(std::int32_t root, std::int32_t label) {
        if (label == root) return root;
        const std::int32_t other = this->root(label);
        return other == root ? root : link(root, other);
    }

    // Rows come in order: a label's box starts on the row the label was
    // made and ends on the last row that reached it.
    void widen(std::int32_t label, const LaRun& run, std::int32_t row) {
        LaComponentBox& b = boxes_[std::size_t(label)];
        b.xMin = std::min(b.xMin, run.start);
        b.xEnd = std::max(b.xEnd, run.end);
        b.yMax = row;
    }

    // Replaces every label's parent by its component's number and hands over
    // the components' boxes; the labels' own boxes are used up. A parent is
    // always a smaller label, so one pass in label order finds each parent
    // numbered already, and a component's number is never above its first
    // label: its box is gathered in place, over boxes of labels already read.
    void number(std::vector<LaComponentBox>& boxes) {
        std::int32_t* const parent = parent_.data();
        LaComponentBox* const box = boxes_.data();
        std::int32_t count = 0;
        for (std::size_t l = 0; l < parent_.size(); ++l) {
            if (parent[l] == std::int32_t(l)) {
                parent[l] = count;
                box[count++] = box[l];
                continue;
            }
            // The set's first label was numbered before and made on its top row.
            const std::int32_t c = parent[parent[l]];
            parent[l] = c;
            box[c].xMin = std::min(box[c].xMin, box[l].xMin);
            box[c].xEnd = std::max(box[c].xEnd, box[l].xEnd);
            box[c].yMax = std::max(box[c].yMax, box[l].yMax);
        }
        boxes_.resize(std::size_t(count));
        boxes = std::move(boxes_);
    }

    // The component of a label, once numbered.
    const std::int32_t* components() const { return parent_.data(); }

  private:
    // Puts two different roots under the smaller; returns it.
    std::int32_t link(std::int32_t a, std::int32_t b) {
        const auto [low, high] = std::minmax(a, b);
        parent_[std::size_t(high)] = low;
        return low;
    }

    std::vector<std::int32_t> parent_;
    std::vector<LaComponentBox> boxes_;
};

// Labels a band row by row. The runs of each row touch the runs of the row
// before it that they overlap, diagonally included: [s1, e1) and [s2, e2)
// touch when s1 <= e2 and e1 >= s2. The row before is kept as a copy closed
// by a run that nothing reaches, so that the walk along it needs no bound.
// The last run above that a run touches may touch the next run as well: the
// walk goes on from it, and its label in the copy is replaced by the root
// found, so that the next run finds that root at once.
class RowLabeller {
  public:
    explicit RowLabeller(std::size_t runCount) : labels(runCount) { above_.push_back(kClosing); }

    void label(std::span<LaRun> current, std::int32_t row) {
        LaRun* above = above_.data();
        for (LaRun& run : current) {
            while (above->end < run.start) ++above;
            if (above->start > run.end) {
                run.label = labels.add(run, row);
                continue;
            }
            std::int32_t label = labels.root(above->label);
            while (above[1].start <= run.end) label = labels.join(label, (++above)->label);
            above->label = label;
            run.label = label;
            labels.widen(label, run, row);
        }
        above_.assign(current.begin(), current.end());
        above_.push_back(kClosing);
    }

    ProvisionalLabels labels;

  private:
    static constexpr LaRun kClosing{std::numeric_limits<std::int32_t>::max(),
                                    std::numeric_limits<std::int32_t>::max(), 0};
    std::vector<LaRun> above_;
};

std::span<LaRun> rowOf(FlatRunTable& runs, std::int32_t r) {
    return {runs.runs.data() + runs.rowStart[std::size_t(r)],
            runs.runs.data() + runs.rowStart[std::size_t(r) + 1]};
}

std::span<LaRun> rowOf(RunTable& runs, std::int32_t r) {
    return runs[std::size_t(r)];
}

// Numbers the components of the labelled rows of `runs` and hands over their
// boxes; every run then carries its component's number, and the reader (when
// there is one) is handed each row so numbered.
template <class Table>
void numberComponents(Table& runs, std::int32_t rows, ProvisionalLabels& labels,
                      std::vector<LaComponentBox>& boxes, NumberedRowReader* reader) {
    labels.number(boxes);
    const std::int32_t* const componentOf = labels.components();
    if (reader) reader->start(boxes);
    for (std::int32_t r = 0; r < rows; ++r) {
        const std::span<LaRun> row = rowOf(runs, r);
        for (LaRun& run : row) run.label = componentOf[run.label];
        if (reader) reader->read(r, row);
    }
}

// labelRuns over either kind of table, with `count` runs in `rows` rows.
template <class Table>
std::int32_t labelTable(Table& runs, std::size_t count, std::int32_t rows,
                        std::vector<LaComponentBox>& boxes, NumberedRowReader* reader) {
    boxes.clear();
    if (count == 0) return LA_STATUS_NO_BLACK_PIXEL;
    {
        RowLabeller labeller(count);
        for (std::int32_t r = 0; r < rows; ++r) labeller.label(rowOf(runs, r), r);
        numberComponents(runs, rows, labeller.labels, boxes, reader);
    }
    // The boxes were reserved for a guess at the number of labels and are
    // held as long as the runs: cut to size once the labels are gone, so
    // that the copy is made below the peak of labelling.
    boxes.shrink_to_fit();
    return LA_STATUS_OK;
}

void recordComponents(RunTable&& runs, const std::vector<LaComponentBox>& boxes,
                      LaComponentSource& source, std::vector<LaComponent>& components) {
    // Each record is written once, box included: on a page of dots the
    // records outgrow the cache, and a second pass would read them back.
    components.reserve(boxes.size());
    for (const LaComponentBox& box : boxes)
        components.push_back(LaComponent{box.xMin, box.xEnd, box.yMin, box.yMax});
    if (source.options & (kEdgeProfiles | kPixelCounts))
        recordProfiles(runs, components, source.options, source.profiles);
    if (source.options & kKeepRuns) source.runTable = std::move(runs);
}

std::int32_t extract(LaComponentSource& source, std::vector<LaComponent>& components) {
    FlatRunTable runs;
    std::vector<LaComponentBox> boxes;
    const std::int32_t status = labelComponents(source, runs, boxes);
    if (status != LA_STATUS_OK) return status;
    if (boxes.empty()) return LA_STATUS_NULL_ARGUMENT;
    // Rows of the table the source holds keep their storage when they have room.
    RunTable rows = std::move(source.runTable);
    if (source.options & (kKeepRuns | kEdgeProfiles | kPixelCounts)) {
        rows.resize(std::size_t(runs.rows()));
        for (std::int32_t r = 0; r < runs.rows(); ++r) {
            const auto row = runs.row(r);
            rows[std::size_t(r)].assign(row.begin(), row.end());
        }
    }
    runs = FlatRunTable{};
    recordComponents(std::move(rows), boxes, source, components);
    return LA_STATUS_OK;
}

// Runs the extraction step, leaving nothing behind when it fails.
template <typename Step>
std::int32_t extractOrClear(LaComponentSource* source, std::vector<LaComponent>* components,
                            Step step) {
    if (!source || !components) return LA_STATUS_NULL_ARGUMENT;
    components->clear();
    if (!(source->options & kKeepRuns)) source->runTable.clear();
    source->profiles.clear();
    try {
        const std::int32_t status = step(*source, *components);
        if (status != LA_STATUS_OK) {
            components->clear();
            source->runTable.clear();
        }
        return status;
    } catch (const std::bad_alloc&) {
        components->clear();
        source->runTable.clear();
        source->profiles.clear();
        return LA_STATUS_OUT_OF_MEMORY;
    }
}

// Eight bytes of a row as one word, pixel 0 of the first byte in bit 63.
inline std::uint64_t loadPixels(const std::uint8_t* bytes) {
    std::uint64_t word;
    std::memcpy(&word, bytes, sizeof word);
    return __builtin_bswap64(word);
}

// Up to eight bytes, the missing ones read as 0.
inline std::uint64_t loadPixels(const std::uint8_t* bytes, std::int32_t count) {
    std::uint64_t word = 0;
    for (std::int32_t i = 0; i < count; ++i) word |= std::uint64_t(bytes[i]) << (56 - 8 * i);
    return word;
}

// Eight row bytes read as a little-endian word, with the bits of each byte
// reversed: pixel i in bit i. The positions of its set bits then come out
// lowest first, each for one count of trailing zeros and one clearing of the
// lowest bit.
inline std::uint64_t reverseBitsOfBytes(std::uint64_t x) {
    x = ((x >> 1) & 0x5555555555555555ull) | ((x & 0x5555555555555555ull) << 1);
    x = ((x >> 2) & 0x3333333333333333ull) | ((x & 0x3333333333333333ull) << 2);
    return ((x >> 4) & 0x0F0F0F0F0F0F0F0Full) | ((x & 0x0F0F0F0F0F0F0F0Full) << 4);
}

// Up to eight bytes so, the missing ones read as 0.
inline std::uint64_t loadPixelsLowFirst(const std::uint8_t* bytes, std::int32_t count) {
    std::uint64_t word = 0;
    std::memcpy(&word, bytes, std::size_t(count)); // little-endian: byte i in bits 8i..8i+7
    return reverseBitsOfBytes(word);
}

// Writes base + i for every bit i set in `bits`, lowest first, four at a
// time (a word's loop then rarely mispredicts); up to three entries past the
// end are overwritten.
inline std::int32_t* writeLowBitPositions(std::uint64_t bits, std::int32_t base,
                                          std::int32_t* out) {
    std::int32_t* const end = out + bitCount(bits);
    for (; out < end; out += 4) {
        for (int k = 0; k < 4; ++k) {
            // Once no bit is left this writes base + 63 past the end.
            out[k] = base + __builtin_ctzll(bits | (std::uint64_t(1) << 63));
            bits &= bits - 1;
        }
    }
    return end;
}

// Every column in [0, width) where the colour differs from the column before
// (white before column 0), read 64 pixels at a time; white words cost one
// test. May write three entries past its end (the list's closing entries go
// there).
std::int32_t* appendRowTransitions(const std::uint8_t* row, std::int32_t width, bool blackIsZero,
                                   std::int32_t* out) {
    const std::uint64_t toBlackBits = blackIsZero ? ~std::uint64_t(0) : 0;
    std::uint64_t before = 0; // black bit of the last pixel read, in bit 0
    std::int32_t x = 0;
    for (; x + 64 <= width; x += 64) {
        std::uint64_t black;
        std::memcpy(&black, row + x / 8, sizeof black);
        black ^= toBlackBits;
        if ((black | before) == 0) continue;
        black = reverseBitsOfBytes(black);
        const std::uint64_t changes = black ^ ((black << 1) | before);
        before = black >> 63;
        out = writeLowBitPositions(changes, x, out);
    }
    if (x < width) {
        const std::int32_t pixels = width - x;
        const std::uint64_t black = loadPixelsLowFirst(row + x / 8, (pixels + 7) / 8) ^ toBlackBits;
        const std::uint64_t inside = ~std::uint64_t(0) >> (64 - pixels);
        out = writeLowBitPositions((black ^ ((black << 1) | before)) & inside, x, out);
    }
    return out;
}

// The byte-table encoding of a row without pixels, whose list has its own
// length: four entries when a 1 bit is black, five when a 0 bit is.
std::int32_t encodeEmptyRow(std::int32_t width, std::uint8_t whiteByte,
                            std::vector<std::int32_t>& out) {
    std::int32_t* p = out.data();
    *p++ = 0;
    bool invert = whiteByte == 0xFF;
    const std::uint8_t last = invert ? 0xFF : 0x00;
    appendByteTransitions(last, 8 * (width / 8), p, invert);
    const int closing = p[-1] == width ? 3 : 4;
    for (int i = 0; i < closing; ++i) *p++ = width;
    return std::int32_t(p - out.data());
}

} // namespace

const ByteTransitions& byteTransitions(std::uint8_t value) {
    static const std::array<ByteTransitions, 256> table = buildTransitionTable();
    return table[value];
}

std::int32_t encodeRow(const std::uint8_t* row, std::int32_t width, std::uint8_t whiteByte,
                       std::vector<std::int32_t>& out) {
    const std::size_t needed = std::size_t(std::max(width, 0)) + 6;
    if (out.size() < needed) out.resize(needed);
    if (width <= 0) return encodeEmptyRow(width, whiteByte, out);
    std::int32_t* p = out.data();
    *p++ = 0;
    p = appendRowTransitions(row, width, whiteByte == 0xFF, p);
    // Past the last pixel the list always closes with four copies of the width.
    for (int i = 0; i < 4; ++i) *p++ = width;
    return std::int32_t(p - out.data());
}

void appendRowRuns(const std::uint8_t* row, std::int32_t width, bool blackIsZero,
                   std::vector<std::int32_t>& changes, std::vector<LaRun>& runs) {
    if (width <= 0) return;
    // Room for every change of the row and the three entries written past them.
    if (changes.size() < std::size_t(width) + 4) changes.resize(std::size_t(width) + 4);
    const std::int32_t* const first = changes.data();
    const std::int32_t* const last = appendRowTransitions(row, width, blackIsZero, changes.data());
    const std::size_t count = std::size_t(last - first);
    if (count == 0) return;
    const std::size_t k = runs.size();
    runs.resize(k + (count + 1) / 2);
    LaRun* out = runs.data() + k;
    for (std::size_t i = 0; i + 1 < count; i += 2) *out++ = LaRun{first[i], first[i + 1], 0};
    // An unpaired last change is a run that reaches the row's end.
    if (count % 2 != 0) *out = LaRun{last[-1], width, 0};
}

std::int64_t countBlackPixels(const std::uint8_t* row, std::int32_t width, bool blackIsZero) {
    const std::uint64_t toBlackBits = blackIsZero ? ~std::uint64_t(0) : 0;
    std::int64_t black = 0;
    std::int32_t x = 0;
    for (; x + 64 <= width; x += 64) black += bitCount(loadPixels(row + x / 8) ^ toBlackBits);
    if (x < width) {
        const std::int32_t pixels = width - x;
        const std::uint64_t inside = ~std::uint64_t(0) << (64 - pixels);
        black += bitCount((loadPixels(row + x / 8, (pixels + 7) / 8) ^ toBlackBits) & inside);
    }
    return black;
}

void buildRowRuns(const LaComponentSource& source, FlatRunTable& table) {
    const bool blackIsZero = source.blackIsZero > 0;
    table.runs.clear();
    // A guess at the size of a page of text, so that the table is seldom moved.
    table.runs.reserve(std::size_t(std::max(source.rows, 0)) * 8);
    table.rowStart.assign(std::size_t(std::max(source.rows, 0)) + 1, 0);
    std::vector<std::int32_t> changes;
    for (std::int32_t r = 0; r < source.rows; ++r) {
        const std::uint8_t* row = source.firstRow + std::ptrdiff_t(r) * source.stride;
        appendRowRuns(row, source.width, blackIsZero, changes, table.runs);
        table.rowStart[std::size_t(r) + 1] = std::int32_t(table.runs.size());
    }
}

std::int32_t labelComponents(const LaComponentSource& source, FlatRunTable& runs,
                             std::vector<LaComponentBox>& boxes) {
    runs = FlatRunTable{};
    boxes.clear();
    if (source.rows <= 0 || source.width <= 0 || !source.firstRow) return LA_STATUS_NO_BLACK_PIXEL;
    buildRowRuns(source, runs);
    return labelRuns(runs, boxes);
}

std::int32_t labelRuns(FlatRunTable& runs, std::vector<LaComponentBox>& boxes) {
    return labelTable(runs, runs.runs.size(), runs.rows(), boxes, nullptr);
}

std::int32_t labelRuns(RunTable& runs, std::vector<LaComponentBox>& boxes,
                       NumberedRowReader* reader) {
    std::size_t count = 0;
    for (const std::vector<LaRun>& row : runs) count += row.size();
    return labelTable(runs, count, std::int32_t(runs.size()), boxes, reader);
}

std::int32_t extractComponents(LaComponentSource* source, std::vector<LaComponent>* components) {
    return extractOrClear(source, components, extract);
}

std::int32_t componentsOfLabelledRuns(RunTable&& runs, const std::vector<LaComponentBox>& boxes,
                                      LaComponentSource* source,
                                      std::vector<LaComponent>* components) {
    return extractOrClear(source, components,
                          [&](LaComponentSource& s, std::vector<LaComponent>& c) {
                              if (boxes.empty()) return LA_STATUS_NO_BLACK_PIXEL;
                              recordComponents(std::move(runs), boxes, s, c);
                              return LA_STATUS_OK;
                          });
}

LaComponentSource componentSourceOf(const LaBitmap& bitmap, std::int32_t options) {
    LaComponentSource source;
    source.rows = bitmap.hasPixels() ? bitmap.height : 0;
    source.width = bitmap.width;
    source.stride = bitmap.stride;
    source.options = options;
    source.blackIsZero = bitmap.blackIsZero;
    source.firstRow = bitmap.firstRow;
    return source;
}

} // namespace quadrel
