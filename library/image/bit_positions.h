// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Positions of the set bits of a word, written as numbers.
#pragma once

#include <cstdint>

namespace quadrel {

// Number of set bits. The portable instruction sequence: the baseline x86-64
// target has no population-count instruction, and the library call that
// std::popcount becomes there costs more than this.
inline int bitCount(std::uint64_t x) {
    x = x - ((x >> 1) & 0x5555555555555555ull);
    x = (x & 0x3333333333333333ull) + ((x >> 2) & 0x3333333333333333ull);
    x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0Full;
    return int((x * 0x0101010101010101ull) >> 56);
}

// Writes base + i for every bit i set in `bits` (i counted from bit 63), in
// increasing i, and returns the end of what it wrote. Positions are written
// four at a time, so that a word's loop rarely mispredicts: up to three
// entries past the end are overwritten, and the caller must leave room.
inline std::int32_t* writeBitPositions(std::uint64_t bits, std::int32_t base, std::int32_t* out) {
    std::int32_t* const end = out + bitCount(bits);
    const std::int32_t last = base + 63;
    while (out < end) {
        for (int k = 0; k < 4; ++k) {
            // The highest bit left, counted from bit 0. Once no bit is left
            // this writes base + 63 past the end and flips bit 0 only.
            const int j = 63 - __builtin_clzll(bits | 1);
            out[k] = last - j;
            bits ^= std::uint64_t(1) << j;
        }
        out += 4;
    }
    return end;
}

} // namespace quadrel
