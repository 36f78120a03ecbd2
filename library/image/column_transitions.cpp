// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "library/image/column_transitions.h"

#include "library/image/bit_positions.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace quadrel {

namespace {

constexpr std::int32_t kBlock = 64; // pixels per word, rows and columns per tile

// Up to eight bytes of a row as one word, pixel 0 of the first byte in bit
// 63; the missing bytes read as 0.
std::uint64_t loadPixels(const std::uint8_t* bytes, std::size_t count) {
    std::uint64_t word = 0;
    if (count >= 8) {
        std::memcpy(&word, bytes, 8);
        return __builtin_bswap64(word);
    }
    for (std::size_t i = 0; i < count; ++i) word |= std::uint64_t(bytes[i]) << (56 - 8 * i);
    return word;
}

// One round of the transpose: the blocks of `width` bits of rows k and
// k + width (k % (2 * width) < width) that `mask` marks in row k are
// exchanged across the diagonal. A constant width lets the compiler unroll
// the round and pair its words in vector registers.
template <int width> [[gnu::always_inline]] inline void swapBlocks(Tile& a, std::uint64_t mask) {
    for (int base = 0; base < kBlock; base += 2 * width)
        for (int i = 0; i < width; ++i) {
            const std::size_t k = std::size_t(base + i);
            const std::uint64_t t = (a[k] ^ (a[k + width] >> width)) & mask;
            a[k] ^= t;
            a[k + width] ^= t << width;
        }
}

// Transposes a 64 x 64 bit matrix in place: bit 63 - c of word r becomes
// bit 63 - r of word c. Blocks of 32, 16, ... 1 bits are swapped across the
// diagonal in turn.
void transpose(Tile& a) {
    swapBlocks<32>(a, 0x00000000FFFFFFFFull);
    swapBlocks<16>(a, 0x0000FFFF0000FFFFull);
    swapBlocks<8>(a, 0x00FF00FF00FF00FFull);
    swapBlocks<4>(a, 0x0F0F0F0F0F0F0F0Full);
    swapBlocks<2>(a, 0x3333333333333333ull);
    swapBlocks<1>(a, 0x5555555555555555ull);
}

// Whether the group of 64 columns from c0 on holds a wanted column (every
// group does without flags).
bool groupWanted(std::span<const std::uint8_t> wanted, std::int32_t c0) {
    if (wanted.empty()) return true;
    const std::size_t end = std::min(wanted.size(), std::size_t(c0) + kBlock);
    return std::any_of(wanted.begin() + c0, wanted.begin() + std::ptrdiff_t(end),
                       [](std::uint8_t flag) { return flag != 0; });
}

// A column's words, the last one's rows past the height masked off.
struct ColumnWords {
    const std::uint64_t* bits;
    std::size_t count; // one at least
    std::uint64_t lastWordRows;
};

// The rows of a word where the colour changes, as bits; `before` holds the
// colour of the row above the word in bit 63.
inline std::uint64_t changesOf(std::uint64_t black, std::uint64_t before) {
    return black ^ ((black >> 1) | before);
}

// Calls `add(changes, j)` for each word j of the column. Inlined into each
// reader, so that it is compiled for the reader's instructions.
template <typename Add>
[[gnu::always_inline]] inline void forEachWordsChanges(const ColumnWords& column, Add add) {
    std::uint64_t before = 0;
    const std::size_t last = column.count - 1;
    for (std::size_t j = 0; j < last; ++j) {
        add(changesOf(column.bits[j], before), j);
        before = column.bits[j] << 63;
    }
    // The rows past the last one are white: a change there is no change.
    add(changesOf(column.bits[last], before) & column.lastWordRows, last);
}

[[gnu::always_inline]] inline std::size_t countChanges(const ColumnWords& column) {
    std::size_t n = 0;
    forEachWordsChanges(
        column, [&](std::uint64_t changes, std::size_t) { n += std::size_t(bitCount(changes)); });
    return n;
}

[[gnu::always_inline]] inline std::int32_t* writeChanges(const ColumnWords& column,
                                                         std::int32_t* out) {
    forEachWordsChanges(column, [&](std::uint64_t changes, std::size_t j) {
        if (changes) out = writeBitPositions(changes, std::int32_t(j) * kBlock, out);
    });
    return out;
}

QUADREL_BIT_INSTRUCTIONS std::size_t countChangesFast(const ColumnWords& column) {
    return countChanges(column);
}

QUADREL_BIT_INSTRUCTIONS std::int32_t* writeChangesFast(const ColumnWords& column,
                                                        std::int32_t* out) {
    return writeChanges(column, out);
}

} // namespace

bool turnTile(const LaBitmap& bitmap, std::int32_t r0, std::int32_t c0, Tile& tile) {
    const std::size_t rowBytes = (std::size_t(bitmap.width) + 7) / 8;
    const std::uint64_t toBlack = bitmap.blackIsZero ? ~std::uint64_t(0) : 0;
    const std::int32_t rows = std::min(kBlock, bitmap.height - r0);
    const std::size_t byte = std::size_t(c0 / 8);
    std::uint64_t any = 0;
    for (std::int32_t i = 0; i < rows; ++i) {
        tile[std::size_t(i)] = loadPixels(bitmap.row(r0 + i) + byte, rowBytes - byte) ^ toBlack;
        any |= tile[std::size_t(i)];
    }
    if (any == 0) return false;
    std::fill(tile.begin() + rows, tile.end(), 0);
    transpose(tile);
    return true;
}

ColumnChanges::ColumnChanges(const LaBitmap& bitmap, std::span<const std::uint8_t> wanted,
                             bool bitInstructions)
    : bitInstructions_(bitInstructions) {
    if (!bitmap.hasPixels()) return;
    columns_ = bitmap.width;
    height_ = bitmap.height;
    wordsPerColumn_ = (std::size_t(height_) + kBlock - 1) / kBlock;
    const std::int32_t lastRows = height_ - std::int32_t(wordsPerColumn_ - 1) * kBlock;
    lastWordRows_ = lastRows == kBlock ? ~std::uint64_t(0) : ~(~std::uint64_t(0) >> lastRows);
    words_.assign(wordsPerColumn_ * std::size_t(columns_), 0);
    std::vector<std::int32_t> groups;
    for (std::int32_t c0 = 0; c0 < columns_; c0 += kBlock)
        if (groupWanted(wanted, c0)) groups.push_back(c0);
    Tile tile;
    for (std::int32_t r0 = 0; r0 < height_; r0 += kBlock) {
        for (const std::int32_t c0 : groups) {
            if (!turnTile(bitmap, r0, c0, tile)) continue; // a white tile stays zero
            const std::int32_t n = std::min(kBlock, columns_ - c0);
            for (std::int32_t k = 0; k < n; ++k)
                words_[std::size_t(c0 + k) * wordsPerColumn_ + std::size_t(r0 / kBlock)] =
                    tile[std::size_t(k)];
        }
    }
}

std::size_t ColumnChanges::count(std::int32_t x) const {
    const ColumnWords words{column(x), wordsPerColumn_, lastWordRows_};
    return bitInstructions_ ? countChangesFast(words) : countChanges(words);
}

bool ColumnChanges::hasBlackBlock(std::int32_t x, std::int32_t block) const {
    // Bit i of `all` is set when bits i ... i + block - 1 are; an aligned
    // block starts at a bit that is a multiple of the block (rows 64j + k sit
    // at bit 63 - k, and the block divides 64).
    std::uint64_t starts = 0;
    for (std::int32_t b = 0; b < kBlock; b += block) starts |= std::uint64_t(1) << b;
    const std::uint64_t* bits = column(x);
    for (std::size_t j = 0; j < wordsPerColumn_; ++j) {
        std::uint64_t all = bits[j];
        for (std::int32_t shift = 1; shift < block && all; shift *= 2) all &= all >> shift;
        if (all & starts) return true;
    }
    return false;
}

std::int32_t* ColumnChanges::write(std::int32_t x, std::int32_t* out) const {
    const ColumnWords words{column(x), wordsPerColumn_, lastWordRows_};
    return bitInstructions_ ? writeChangesFast(words, out) : writeChanges(words, out);
}

ColumnTransitions findColumnTransitions(const LaBitmap& bitmap) {
    ColumnTransitions t;
    t.height = bitmap.hasPixels() ? bitmap.height : 0;
    if (!bitmap.hasPixels()) return t;
    const ColumnChanges changes(bitmap);
    // Counted first, so that every list gets its exact place in one array.
    t.start.resize(std::size_t(changes.columns()) + 1, 0);
    for (std::int32_t x = 0; x < changes.columns(); ++x)
        t.start[std::size_t(x) + 1] = t.start[std::size_t(x)] + changes.count(x);
    // Room for the three entries a column's writing may run past its end.
    t.rows.resize(t.start.back() + 3);
    for (std::int32_t x = 0; x < changes.columns(); ++x)
        changes.write(x, t.rows.data() + t.start[std::size_t(x)]);
    t.rows.resize(t.start.back());
    return t;
}

} // namespace quadrel
