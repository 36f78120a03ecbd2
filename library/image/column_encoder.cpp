// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "library/image/column_encoder.h"

namespace quadrel {

std::int32_t encodeColumn(const LaBitmap& bitmap, std::int32_t x, std::vector<std::int32_t>& out) {
    const std::int32_t height = bitmap.hasPixels() ? bitmap.height : 0;
    const std::size_t needed = std::size_t(height) + 6;
    if (out.size() < needed) out.resize(needed);
    std::int32_t* p = out.data();
    *p++ = 0;
    if (height > 0) {
        const std::ptrdiff_t byte = x >> 3;
        const int shift = 7 - (x & 7);
        // The bit value of a black pixel: 0 when blackIsZero.
        const unsigned blackBit = bitmap.blackIsZero ? 0u : 1u;
        unsigned current = blackBit ^ 1u; // white
        const std::uint8_t* row = bitmap.firstRow + byte;
        for (std::int32_t r = 0; r < height; ++r, row += bitmap.stride) {
            const unsigned bit = (*row >> shift) & 1u;
            if (bit != current) {
                *p++ = r;
                current = bit;
            }
        }
    }
    for (int i = 0; i < 4; ++i) *p++ = height;
    return std::int32_t(p - out.data());
}

} // namespace quadrel
