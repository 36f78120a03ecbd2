#include "library/image/column_transitions.h"

#include <cstring>

namespace quadrel {

namespace {

// Up to eight bytes as one word in memory order (the missing ones read as 0).
std::uint64_t loadWord(const std::uint8_t* bytes, std::size_t count) {
    std::uint64_t word = 0;
    std::memcpy(&word, bytes, count);
    return word;
}

// Calls visit(x, r) for every pixel that differs from the one below it in
// the previous row, row by row upwards and, within a row, in no set order.
template <class Visit> void forEachChange(const LaBitmap& bitmap, Visit&& visit) {
    const std::size_t bytes = (std::size_t(bitmap.width) + 7) / 8;
    const std::vector<std::uint8_t> white(bytes, bitmap.whiteByte());
    // Bits past the last column are never looked at.
    const int rest = bitmap.width % 8;
    const std::uint8_t lastByteMask = rest ? std::uint8_t(0xFF << (8 - rest)) : 0xFF;
    std::vector<std::uint8_t> mask(bytes, 0xFF);
    mask[bytes - 1] = lastByteMask;
    const std::uint8_t* below = white.data();
    for (std::int32_t r = 0; r < bitmap.height; ++r) {
        const std::uint8_t* row = bitmap.row(r);
        for (std::size_t k = 0; k < bytes; k += 8) {
            const std::size_t n = bytes - k < 8 ? bytes - k : 8;
            std::uint64_t changes =
                (loadWord(row + k, n) ^ loadWord(below + k, n)) & loadWord(mask.data() + k, n);
            while (changes) {
                // Bit b of the word is bit 7 - b % 8 of byte k + b / 8.
                const int b = __builtin_ctzll(changes);
                visit(std::int32_t(8 * (k + std::size_t(b / 8)) + std::size_t(7 - b % 8)), r);
                changes &= changes - 1;
            }
        }
        below = row;
    }
}

} // namespace

ColumnTransitions findColumnTransitions(const LaBitmap& bitmap) {
    ColumnTransitions t;
    t.height = bitmap.hasPixels() ? bitmap.height : 0;
    if (!bitmap.hasPixels()) return t;
    // Count first, so that every list gets its exact place in one array.
    t.start.assign(std::size_t(bitmap.width) + 1, 0);
    forEachChange(bitmap, [&](std::int32_t x, std::int32_t) { ++t.start[std::size_t(x) + 1]; });
    for (std::size_t x = 1; x < t.start.size(); ++x) t.start[x] += t.start[x - 1];
    t.rows.resize(t.start.back());
    std::vector<std::size_t> next(t.start.begin(), t.start.end() - 1);
    forEachChange(bitmap,
                  [&](std::int32_t x, std::int32_t r) { t.rows[next[std::size_t(x)]++] = r; });
    return t;
}

} // namespace quadrel
