// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "library/functions/block_column_changes.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

namespace quadrel {

namespace {

// Words hold a row's bytes in memory order, byte 8k in the low byte.
static_assert(std::endian::native == std::endian::little);

// Bytes [8k, 8k + 8) of a row's black bits, byte 8k in the low byte; bytes
// past the row read white.
std::uint64_t blackWord(const std::uint8_t* row, std::size_t k, std::size_t bytes,
                        std::uint64_t white) {
    std::uint64_t word = 0;
    if (8 * k + 8 <= bytes)
        std::memcpy(&word, row + 8 * k, 8);
    else
        std::memcpy(&word, row + 8 * k, bytes - 8 * k);
    return word ^ white;
}

// Calls visit(x, y) for every pixel (x, y) that differs from the one above
// it (white above the first row), row after row.
template <class Visit> void forEachColumnChange(const LaBitmap& image, Visit&& visit) {
    const std::size_t bytes = (std::size_t(image.width) + 7) / 8;
    const std::size_t words = (bytes + 7) / 8;
    // Pixel x is bit 7 - x % 8 of byte x / 8; the bits past the width are left out.
    std::vector<std::uint8_t> insideBytes(8 * words, 0);
    std::fill_n(insideBytes.begin(), bytes, std::uint8_t(0xFF));
    insideBytes[bytes - 1] = std::uint8_t(0xFF << (8 * bytes - std::size_t(image.width)));
    std::vector<std::uint64_t> inside(words);
    std::memcpy(inside.data(), insideBytes.data(), 8 * words);
    const std::uint64_t white = image.whiteByte() ? ~std::uint64_t(0) : 0;
    std::vector<std::uint64_t> above(words, 0); // white above the first row
    for (std::int32_t y = 0; y < image.height; ++y) {
        const std::uint8_t* row = image.row(y);
        for (std::size_t k = 0; k < words; ++k) {
            const std::uint64_t black = blackWord(row, k, bytes, white) & inside[k];
            std::uint64_t changed = black ^ above[k];
            above[k] = black;
            for (; changed != 0; changed &= changed - 1) {
                const int bit = std::countr_zero(changed);
                visit(8 * (8 * k + std::size_t(bit / 8)) + std::size_t(7 - bit % 8), y);
            }
        }
    }
}

} // namespace

std::vector<LineChanges> columnChangesOf(const LaBitmap& image) {
    const std::int32_t width = image.hasPixels() ? image.width : 0;
    std::vector<LineChanges> columns(std::size_t(std::max(width, 0)));
    if (columns.empty() || image.height <= 0) return columns;
    forEachColumnChange(image, [&](std::size_t x, std::int32_t) { ++columns[x].changes; });
    // A column starts black when its first pixel changes from the white above.
    const std::uint8_t* first = image.row(0);
    for (std::size_t x = 0; x < columns.size(); ++x)
        columns[x].startsBlack = ((first[x / 8] ^ image.whiteByte()) & (0x80 >> (x % 8))) != 0;
    return columns;
}

TransitionLists columnListsOf(const LaBitmap& image, std::span<const LineChanges> columns) {
    TransitionLists lists;
    lists.start.assign(columns.size() + 1, 0);
    for (std::size_t x = 0; x < columns.size(); ++x)
        lists.start[x + 1] = lists.start[x] + std::size_t(columns[x].changes) + 5;
    lists.entries.assign(lists.start.back(), image.height);
    if (columns.empty() || image.height <= 0) return lists;
    // Each list: 0, its change rows in order, then the height four times.
    std::vector<std::size_t> next(columns.size());
    for (std::size_t x = 0; x < columns.size(); ++x) {
        lists.entries[lists.start[x]] = 0;
        next[x] = lists.start[x] + 1;
    }
    forEachColumnChange(image,
                        [&](std::size_t x, std::int32_t y) { lists.entries[next[x]++] = y; });
    return lists;
}

} // namespace quadrel
