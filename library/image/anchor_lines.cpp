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

// True when some byte of the word is all black.
bool hasBlackByte(std::uint64_t black) {
    const std::uint64_t white = ~black; // a black byte is a zero byte here
    return ((white - 0x0101010101010101ull) & ~white & 0x8080808080808080ull) != 0;
}

// Rows: blocks of whole bytes, so a block is all black when its bytes are.
// A row without a single black byte is passed over at once.
std::vector<std::uint8_t> rowsWithLongRuns(const LaBitmap& bitmap, std::int32_t minLength) {
    const std::int32_t blockBytes = (minLength + 1) / 2 / 8;
    const std::int32_t blocks = bitmap.width / (8 * blockBytes);
    const std::size_t rowBytes = (std::size_t(bitmap.width) + 7) / 8;
    const std::uint64_t toBlack = bitmap.blackIsZero ? ~std::uint64_t(0) : 0;
    const std::uint8_t black = bitmap.blackIsZero ? 0x00 : 0xFF;
    std::vector<std::uint8_t> may(std::size_t(bitmap.height), 0);
    for (std::int32_t r = 0; r < bitmap.height; ++r) {
        const std::uint8_t* row = bitmap.row(r);
        bool any = false;
        for (std::size_t k = 0; k < rowBytes && !any; k += 8)
            any = hasBlackByte(blackBytes(row + k, rowBytes - k, toBlack));
        for (std::int32_t b = 0; any && b < blocks && !may[std::size_t(r)]; ++b) {
            const std::uint8_t* first = row + std::ptrdiff_t(b) * blockBytes;
            may[std::size_t(r)] =
                std::all_of(first, first + blockBytes, [&](std::uint8_t v) { return v == black; });
        }
    }
    return may;
}

} // namespace

std::vector<std::uint8_t> linesWithLongRuns(const LaBitmap& bitmap, bool vertical,
                                            std::int32_t minLength) {
    if (minLength < kShortestFiltered || !bitmap.hasPixels()) return {};
    return vertical ? BlackColumnBlocks(bitmap, minLength).columnFlags()
                    : rowsWithLongRuns(bitmap, minLength);
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
