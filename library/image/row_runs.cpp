// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Reading rows of a 1-bit bitmap as black runs and colour changes.
#include "library/image/components.h"

#include "library/image/bit_instructions.h"
#include "library/image/bit_positions.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

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

// The set bits of a word as columns, lowest bit (first pixel) first; with
// kBitInstructions the count of trailing zeros is an instruction defined for
// a word without bits.
template <bool kBitInstructions> class ColumnsOfBits {
  public:
    ColumnsOfBits(std::uint64_t bits, std::int32_t columnOfBit0)
        : bits_(bits), columnOfBit0_(columnOfBit0) {}

    // The column of the lowest bit left, which is cleared. Once no bit is
    // left it gives a column past the word and changes nothing.
    std::int32_t next() {
        std::int32_t column;
        if constexpr (kBitInstructions)
            column = columnOfBit0_ + std::countr_zero(bits_);
        else
            column = columnOfBit0_ + __builtin_ctzll(bits_ | kLastBit);
        bits_ &= bits_ - 1;
        return column;
    }

  private:
    static constexpr std::uint64_t kLastBit = std::uint64_t(1) << 63;
    std::uint64_t bits_;
    std::int32_t columnOfBit0_;
};

template <bool kBitInstructions> int wordBitCount(std::uint64_t x) {
    if constexpr (kBitInstructions)
        return std::popcount(x);
    else
        return bitCount(x);
}

// Writes the black runs of a row to `runs`, which has room for (width + 1) / 2
// runs and two more, and returns their number. Starts and ends go straight
// to their runs' fields (a run begun in one word may end in a later one);
// labels are not written. A word's starts and ends are written two pairs at
// a time, so that its loop rarely mispredicts: up to two entries past the
// last begun run are overwritten. Words of the colour of the pixel before
// them cost one test. Inlined into each caller, so that it is compiled for
// the caller's instructions.
template <bool kBitInstructions>
[[gnu::always_inline]] inline std::size_t writeRowRuns(const std::uint8_t* row, std::int32_t width,
                                                       bool blackIsZero, LaRun* runs) {
    const std::uint64_t toBlack = blackIsZero ? ~std::uint64_t(0) : 0;
    std::uint64_t before = 0; // all ones when the pixel before the word is black
    std::size_t started = 0;
    std::size_t ended = 0;
    const auto addWord = [&](std::uint64_t black, std::uint64_t inside, std::int32_t x) {
        const std::uint64_t changes = (black ^ ((black << 1) | (before & 1))) & inside;
        ColumnsOfBits<kBitInstructions> starts(changes & black, x);
        ColumnsOfBits<kBitInstructions> ends(changes & ~black, x);
        const std::size_t n = std::size_t(wordBitCount<kBitInstructions>(changes));
        const std::size_t startCount = (n + 1 - (before & 1)) / 2;
        for (std::size_t i = 0; i < (n + 1) / 2; i += 2) {
            runs[started + i].start = starts.next();
            runs[ended + i].end = ends.next();
            runs[started + i + 1].start = starts.next();
            runs[ended + i + 1].end = ends.next();
        }
        started += startCount;
        ended += n - startCount;
        before = 0 - (black >> 63);
    };
    std::int32_t x = 0;
    for (; x + 64 <= width; x += 64) {
        std::uint64_t black;
        std::memcpy(&black, row + x / 8, sizeof black);
        black ^= toBlack;
        if (black != before) addWord(reverseBitsOfBytes(black), ~std::uint64_t(0), x);
    }
    if (x < width) {
        const std::int32_t pixels = width - x;
        const std::uint64_t black = loadPixelsLowFirst(row + x / 8, (pixels + 7) / 8) ^ toBlack;
        addWord(black, ~std::uint64_t(0) >> (64 - pixels), x);
    }
    // A run still open reaches the row's end.
    if (started > ended) runs[started - 1].end = width;
    return started;
}

// Used when the CPU has BMI1's tzcnt and POPCNT.
QUADREL_BIT_INSTRUCTIONS std::size_t writeRowRunsFast(const std::uint8_t* row, std::int32_t width,
                                                      bool blackIsZero, LaRun* runs) {
    return writeRowRuns<true>(row, width, blackIsZero, runs);
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

bool RowRunRoom::fastestCode() {
    return cpuHasBitInstructions();
}

LaRun* RowRunRoom::forWidth(std::int32_t width) {
    const std::size_t room = std::size_t(std::max(width, 0)) / 2 + 4;
    if (runs_.size() < room) runs_.resize(room);
    return runs_.data();
}

void appendRowRuns(const std::uint8_t* row, std::int32_t width, bool blackIsZero, RowRunRoom& room,
                   std::vector<LaRun>& runs) {
    if (width <= 0) return;
    LaRun* const first = room.forWidth(width);
    const std::size_t count = room.fast() ? writeRowRunsFast(row, width, blackIsZero, first)
                                          : writeRowRuns<false>(row, width, blackIsZero, first);
    if (count == 0) return;
    // Runs are trivially copied: one copy, not one per run.
    const std::size_t k = runs.size();
    runs.resize(k + count);
    std::memcpy(runs.data() + k, first, count * sizeof(LaRun));
}

std::int64_t countBlackPixels(const std::uint8_t* row, std::int32_t width, bool blackIsZero) {
    const std::uint64_t toBlackBits = blackIsZero ? ~std::uint64_t(0) : 0;
    std::int64_t black = 0;
    std::int32_t x = 0;
    // The order of the bits does not matter to a count.
    for (; x + 64 <= width; x += 64) {
        std::uint64_t word;
        std::memcpy(&word, row + x / 8, sizeof word);
        black += bitCount(word ^ toBlackBits);
    }
    if (x < width) {
        const std::int32_t pixels = width - x;
        const std::uint64_t inside = ~std::uint64_t(0) >> (64 - pixels);
        black +=
            bitCount((loadPixelsLowFirst(row + x / 8, (pixels + 7) / 8) ^ toBlackBits) & inside);
    }
    return black;
}

void buildRowRuns(const LaComponentSource& source, FlatRunTable& table) {
    const bool blackIsZero = source.blackIsZero > 0;
    table.runs.clear();
    // A guess at the size of a page of text, so that the table is seldom moved.
    table.runs.reserve(std::size_t(std::max(source.rows, 0)) * 8);
    table.rowStart.assign(std::size_t(std::max(source.rows, 0)) + 1, 0);
    RowRunRoom room;
    for (std::int32_t r = 0; r < source.rows; ++r) {
        const std::uint8_t* row = source.firstRow + std::ptrdiff_t(r) * source.stride;
        appendRowRuns(row, source.width, blackIsZero, room, table.runs);
        table.rowStart[std::size_t(r) + 1] = std::int32_t(table.runs.size());
    }
}

} // namespace quadrel
