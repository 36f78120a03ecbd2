#include "library/image/components.h"

#include "library/status.h"

#include <algorithm>
#include <array>
#include <cstring>
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

std::int32_t newLabel(std::vector<std::int32_t>& parent, std::int32_t& lastLabel) {
    ++lastLabel;
    parent[std::size_t(lastLabel)] = lastLabel;
    return lastLabel;
}

// Builds the run table of every scanned row; returns the total number of runs.
std::int64_t buildRunTable(const LaComponentSource& source, std::uint8_t whiteByte,
                           RunTable& table) {
    table.assign(std::size_t(source.rows), {});
    std::vector<std::int32_t> entries;
    std::int64_t total = 0;
    for (std::int32_t r = 0; r < source.rows; ++r) {
        const std::uint8_t* row = source.firstRow + std::ptrdiff_t(r) * source.stride;
        const std::int32_t n = encodeRow(row, source.width, whiteByte, entries);
        if (n <= 5) continue;
        const std::int32_t runs = (n - 4) / 2;
        auto& list = table[std::size_t(r)];
        list.resize(std::size_t(runs));
        for (std::int32_t k = 0; k < runs; ++k) {
            list[std::size_t(k)].start = entries[std::size_t(1 + 2 * k)];
            list[std::size_t(k)].end = entries[std::size_t(2 + 2 * k)];
        }
        total += runs;
    }
    return total;
}

// Joins the runs of the previous row that run c touches, starting at p.
// Returns the index of the last walked run.
std::size_t joinTouchingRuns(std::vector<LaRun>& previous, std::size_t p, LaRun& c,
                             std::vector<std::int32_t>& parent) {
    std::size_t q = p;
    std::int32_t root = 0x7FFFFFFF;
    for (; q < previous.size() && previous[q].start <= c.end; ++q)
        root = std::min(root, findRoot(parent, previous[q].label));
    // Join roots, not labels, so that no old root is orphaned.
    for (std::size_t k = p; k < q; ++k) {
        parent[std::size_t(findRoot(parent, previous[k].label))] = root;
        previous[k].label = root;
    }
    c.label = root;
    return q - 1;
}

// Labels the runs 8-connectedly; returns the last label given.
std::int32_t labelRuns(RunTable& table, std::vector<std::int32_t>& parent) {
    std::int32_t lastLabel = 0;
    for (std::size_t r = 0; r < table.size(); ++r) {
        auto& runs = table[r];
        if (r == 0 || table[r - 1].empty()) {
            for (LaRun& c : runs) c.label = newLabel(parent, lastLabel);
            continue;
        }
        auto& previous = table[r - 1];
        std::size_t p = 0;
        for (LaRun& c : runs) {
            while (p < previous.size() && previous[p].end < c.start) ++p;
            if (p < previous.size() && previous[p].start <= c.end)
                p = joinTouchingRuns(previous, p, c, parent);
            else
                c.label = newLabel(parent, lastLabel);
        }
        for (LaRun& c : runs) c.label = findRoot(parent, c.label);
    }
    return lastLabel;
}

void allocateProfiles(LaComponent& c, std::int32_t options) {
    const std::size_t rows = std::size_t(c.yMax - c.yMin + 1);
    const std::size_t cols = std::size_t(c.xEnd - c.xMin);
    if (options & kEdgeProfiles) {
        c.rowLeft.assign(rows, kBoxStartMin);
        c.rowRight.assign(rows, 0);
        c.colTop.assign(cols, kBoxStartMin);
        c.colBottom.assign(cols, 0);
    }
    if (options & kPixelCounts) {
        c.colCount.assign(cols, 0);
        c.rowCount.assign(rows, 0);
    }
}

void addRunToProfiles(LaComponent& c, const LaRun& run, std::int32_t r, std::int32_t options) {
    const std::size_t i = std::size_t(r - c.yMin);
    if (options & kEdgeProfiles) {
        c.rowLeft[i] = std::min(c.rowLeft[i], run.start);
        c.rowRight[i] = std::max(c.rowRight[i], run.end);
        for (std::int32_t x = run.start; x < run.end; ++x) {
            const std::size_t j = std::size_t(x - c.xMin);
            c.colBottom[j] = r;
            c.colTop[j] = std::min(c.colTop[j], r);
        }
    }
    if (options & kPixelCounts) {
        c.rowCount[i] += run.end - run.start;
        for (std::int32_t x = run.start; x < run.end; ++x) c.colCount[std::size_t(x - c.xMin)] += 1;
    }
}

std::int32_t extract(LaComponentSource& source, std::vector<LaComponent>& components) {
    const std::uint8_t whiteByte = source.blackIsZero > 0 ? 0xFF : 0x00;
    RunTable table;
    if (source.rows <= 0 || source.width <= 0 || !source.firstRow) return kNoBlackPixel;
    const std::int64_t totalRuns = buildRunTable(source, whiteByte, table);
    if (totalRuns == 0) return kNoBlackPixel;

    std::vector<std::int32_t> parent(std::size_t(totalRuns + 1), 0);
    const std::int32_t lastLabel = labelRuns(table, parent);

    // Flatten, then number the roots in label order: a root is the smallest
    // label of its set, so components follow the order of their first runs.
    std::vector<std::int32_t> index;
    try {
        index.assign(std::size_t(lastLabel + 1), -1);
    } catch (const std::bad_alloc&) {
        return kNotImportable; // a failed numbering reports 2, unlike the other allocations
    }
    std::int32_t count = 0;
    for (std::int32_t label = 1; label <= lastLabel; ++label) {
        const std::int32_t root = findRootCompress(parent, label);
        if (root == label) index[std::size_t(label)] = count++;
        index[std::size_t(label)] = index[std::size_t(root)];
    }
    if (count == 0) return kNullArgument;

    components.assign(std::size_t(count), LaComponent{});
    for (std::size_t r = 0; r < table.size(); ++r) {
        for (LaRun& run : table[r]) {
            run.label = index[std::size_t(run.label)];
            LaComponent& c = components[std::size_t(run.label)];
            c.xMin = std::min(c.xMin, run.start);
            c.xEnd = std::max(c.xEnd, run.end);
            c.yMin = std::min(c.yMin, std::int32_t(r));
            c.yMax = std::max(c.yMax, std::int32_t(r));
        }
    }
    if (source.options & (kEdgeProfiles | kPixelCounts)) {
        for (LaComponent& c : components) allocateProfiles(c, source.options);
        for (std::size_t r = 0; r < table.size(); ++r)
            for (const LaRun& run : table[r])
                addRunToProfiles(components[std::size_t(run.label)], run, std::int32_t(r),
                                 source.options);
    }
    if (source.options & kKeepRuns) source.runTable = std::move(table);
    return kOk;
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

// Writes base + i for every bit i (counted from bit 63) set in `changes`.
inline std::int32_t* appendChangeColumns(std::uint64_t changes, std::int32_t base,
                                         std::int32_t* out) {
    while (changes) {
        const int i = __builtin_clzll(changes);
        *out++ = base + i;
        changes &= ~(std::uint64_t(1) << (63 - i));
    }
    return out;
}

// Every column in [0, width) where the colour differs from the column before
// (white before column 0), read 64 pixels at a time; white words cost one test.
std::int32_t* appendRowTransitions(const std::uint8_t* row, std::int32_t width, bool blackIsZero,
                                   std::int32_t* out) {
    const std::uint64_t toBlackBits = blackIsZero ? ~std::uint64_t(0) : 0;
    std::uint64_t before = 0; // black bit of the last pixel read, in bit 63
    std::int32_t x = 0;
    for (; x + 64 <= width; x += 64) {
        const std::uint64_t black = loadPixels(row + x / 8) ^ toBlackBits;
        const std::uint64_t changes = black ^ ((black >> 1) | before);
        before = black << 63;
        if (changes) out = appendChangeColumns(changes, x, out);
    }
    if (x < width) {
        const std::int32_t pixels = width - x;
        const std::uint64_t black = loadPixels(row + x / 8, (pixels + 7) / 8) ^ toBlackBits;
        const std::uint64_t inside = ~std::uint64_t(0) << (64 - pixels);
        out = appendChangeColumns((black ^ ((black >> 1) | before)) & inside, x, out);
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

std::int32_t extractComponents(LaComponentSource* source, std::vector<LaComponent>* components) {
    if (!source || !components) return kNullArgument;
    components->clear();
    source->runTable.clear();
    try {
        const std::int32_t status = extract(*source, *components);
        if (status != kOk) components->clear();
        return status;
    } catch (const std::bad_alloc&) {
        components->clear();
        source->runTable.clear();
        return kOutOfMemory;
    }
}

void fillInts(std::span<std::int32_t> values, std::int32_t value) {
    std::fill(values.begin(), values.end(), value);
}

void incrementInts(std::span<std::int32_t> values) {
    for (auto& v : values) ++v;
}

void clampIntsAbove(std::span<std::int32_t> values, std::int32_t limit) {
    for (auto& v : values) v = std::min(v, limit);
}

std::int32_t findRoot(std::span<const std::int32_t> parent, std::int32_t label) {
    while (parent[std::size_t(label)] != label) label = parent[std::size_t(label)];
    return label;
}

std::int32_t findRootCompress(std::span<std::int32_t> parent, std::int32_t label) {
    std::int32_t root = findRoot(parent, label);
    while (parent[std::size_t(label)] != root) {
        const std::int32_t next = parent[std::size_t(label)];
        parent[std::size_t(label)] = root;
        label = next;
    }
    return root;
}

} // namespace quadrel
