// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "library/image/anchor_lines.h"

#include <algorithm>
#include <cstring>

namespace quadrel {

namespace {

// Below this a block would be too short to pass over many lines.
constexpr std::int32_t kShortestFiltered = 16;

// Eight bytes of a row as they lie in memory, black bits set; the bytes
// past `count` read as white. And and or treat every bit alike, so the byte
// order does not matter until a column is looked up (columnBit).
std::uint64_t blackBytes(const std::uint8_t* bytes, std::size_t count, std::uint64_t toBlack) {
    std::uint64_t word = 0;
    if (count >= 8) {
        std::memcpy(&word, bytes, 8);
        return word ^ toBlack;
    }
    std::uint64_t inside = 0;
    std::memcpy(&word, bytes, count);
    std::memset(&inside, 0xFF, count);
    return (word ^ toBlack) & inside;
}

// The bit of column x within its word of blackBytes.
bool columnBit(const std::uint64_t* words, std::int32_t x) {
    std::uint8_t bytes[8];
    std::memcpy(bytes, &words[std::size_t(x) / 64], 8);
    return (bytes[(x / 8) % 8] >> (7 - x % 8)) & 1;
}

// The flags of every row.
std::vector<std::uint8_t> rowsWithLongRuns(const LaBitmap& bitmap, std::int32_t minLength) {
    const LongRunRows rows(bitmap, minLength);
    std::vector<std::uint8_t> may(std::size_t(bitmap.height), 0);
    for (std::int32_t r = 0; r < bitmap.height; ++r) may[std::size_t(r)] = rows.may(bitmap.row(r));
    return may;
}

} // namespace

std::vector<std::uint8_t> linesWithLongRuns(const LaBitmap& bitmap, bool vertical,
                                            std::int32_t minLength) {
    if (minLength < kShortestFiltered || !bitmap.hasPixels()) return {};
    return vertical ? BlackColumnBlocks(bitmap, minLength).columnFlags()
                    : rowsWithLongRuns(bitmap, minLength);
}

LongRunRows::LongRunRows(const LaBitmap& bitmap, std::int32_t minLength) {
    if (minLength < kShortestFiltered || !bitmap.hasPixels()) return;
    blockBytes_ = (minLength + 1) / 2 / 8;
    blocks_ = bitmap.width / (8 * blockBytes_);
    rowBytes_ = (std::size_t(bitmap.width) + 7) / 8;
    toBlack_ = bitmap.blackIsZero ? ~std::uint64_t(0) : 0;
    black_ = bitmap.blackIsZero ? 0x00 : 0xFF;
    // A run of minLength pixels covers (minLength + 1) / 8 - 1 whole bytes
    // or more, and so a whole aligned group of up to half as many.
    const std::int32_t covered = (minLength + 1) / 8 - 1;
    std::int32_t groupBytes = 1;
    while (groupBytes < 8 && 4 * groupBytes - 1 <= covered) groupBytes *= 2;
    // The lowest and the highest bit of every group.
    groupLow_ = groupHigh_ = 0;
    for (std::int32_t k = 0; k < 8; k += groupBytes) {
        groupLow_ |= std::uint64_t(1) << (8 * k);
        groupHigh_ |= std::uint64_t(1) << (8 * (k + groupBytes) - 1);
    }
}

// A first look without a way out, which the compiler can widen: is some
// aligned group of bytes all black? Such a group is a zero group of the
// white bits, found by the zero-byte test widened to groups.
bool LongRunRows::hasBlackGroup(const std::uint8_t* row) const {
    const std::uint64_t toWhite = ~toBlack_;
    std::uint64_t any = 0;
    const std::size_t words = rowBytes_ / 8;
    for (std::size_t w = 0; w < words; ++w) {
        std::uint64_t white;
        std::memcpy(&white, row + 8 * w, sizeof white);
        white ^= toWhite;
        any |= (white - groupLow_) & ~white & groupHigh_;
    }
    // The bytes past the row read as white.
    const std::uint64_t white = ~blackBytes(row + 8 * words, rowBytes_ % 8, toBlack_);
    return (any | ((white - groupLow_) & ~white & groupHigh_)) != 0;
}

// Blocks of whole bytes, so a block is all black when its bytes are.
bool LongRunRows::may(const std::uint8_t* row) const {
    if (!filters()) return true;
    const bool group = hasBlackGroup(row);
    for (std::int32_t b = 0; group && b < blocks_; ++b) {
        const std::uint8_t* first = row + std::ptrdiff_t(b) * blockBytes_;
        if (std::all_of(first, first + blockBytes_, [&](std::uint8_t v) { return v == black_; }))
            return true;
    }
    return false;
}

// The pixels of each aligned block of rows are and-ed together, 64 columns
// at a time.
BlackColumnBlocks::BlackColumnBlocks(const LaBitmap& bitmap, std::int32_t minLength) {
    if (minLength < kShortestFiltered || !bitmap.hasPixels()) return;
    rows_ = (minLength + 1) / 2;
    columns_ = bitmap.width;
    const std::size_t rowBytes = (std::size_t(bitmap.width) + 7) / 8;
    words_ = (rowBytes + 7) / 8;
    const std::uint64_t toBlack = bitmap.blackIsZero ? ~std::uint64_t(0) : 0;
    blocks_ = std::size_t(bitmap.height / rows_);
    all_.assign(blocks_ * words_, ~std::uint64_t(0));
    for (std::size_t k = 0; k < blocks_; ++k) {
        std::uint64_t* all = all_.data() + k * words_;
        // Most blocks have no all-black column after a few rows: the rest of
        // such a block is not read.
        std::uint64_t live = 1;
        for (std::int32_t r = std::int32_t(k) * rows_; r < std::int32_t(k + 1) * rows_ && live;
             ++r) {
            const std::uint8_t* row = bitmap.row(r);
            live = 0;
            for (std::size_t w = 0; w < words_; ++w)
                live |= all[w] &= blackBytes(row + 8 * w, rowBytes - 8 * w, toBlack);
        }
    }
}

std::vector<std::uint8_t> BlackColumnBlocks::columnFlags() const {
    if (empty()) return {};
    std::vector<std::uint64_t> any(words_, 0);
    for (std::size_t k = 0; k < blocks_; ++k)
        for (std::size_t w = 0; w < words_; ++w) any[w] |= all_[k * words_ + w];
    std::vector<std::uint8_t> may(std::size_t(columns_), 0);
    for (std::int32_t x = 0; x < columns_; ++x) may[std::size_t(x)] = columnBit(any.data(), x);
    return may;
}

} // namespace quadrel
