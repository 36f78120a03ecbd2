// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "python/src/array_packing.h"

#include <bit>
#include <cstring>

namespace quadrel_python {
namespace {

template <class T> T elementAt(const std::uint8_t* at) {
    T value;
    std::memcpy(&value, at, sizeof value); // numpy does not promise aligned elements
    return value;
}

// One row: a byte per 8 pixels, built without branches so that the loop
// stays cheap next to the analysis itself.
template <class T, bool ZeroIsInk>
void packRow(const std::uint8_t* row, std::int64_t width, std::int64_t step, std::uint8_t* out) {
    for (std::int64_t x0 = 0; x0 < width; x0 += 8) {
        std::uint8_t byte = 0;
        const std::int64_t end = x0 + 8 < width ? x0 + 8 : width;
        for (std::int64_t x = x0; x < end; ++x) {
            const bool zero = elementAt<T>(row + x * step) == T(0);
            byte = std::uint8_t(byte | (std::uint8_t(zero == ZeroIsInk) << (7 - (x - x0))));
        }
        out[x0 / 8] = byte;
    }
}

// Contiguous rows of 1-byte elements, eight pixels per 64-bit word: each byte
// becomes one bit (0x01 where the byte is 0), and a multiplication gathers the
// eight bits into the top byte, the first pixel in the highest bit.
template <bool ZeroIsInk>
void packByteRow(const std::uint8_t* row, std::int64_t width, std::uint8_t* out) {
    constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
    constexpr std::uint64_t kGather = 0x8040201008040201ULL;
    const std::int64_t whole = width / 8;
    for (std::int64_t i = 0; i < whole; ++i) {
        std::uint64_t word;
        std::memcpy(&word, row + 8 * i, sizeof word);
        std::uint64_t zero = ~(((word & kLow7) + kLow7) | word | kLow7) >> 7;
        if (!ZeroIsInk) zero ^= kOnes;
        out[i] = std::uint8_t((zero * kGather) >> 56);
    }
    if (whole * 8 < width)
        packRow<std::uint8_t, ZeroIsInk>(row + whole * 8, width - whole * 8, 1, out + whole);
}

template <class T, bool ZeroIsInk> std::vector<std::uint8_t> packAll(const PixelArray& p) {
    const std::size_t rowBytes = std::size_t((p.width + 7) / 8);
    std::vector<std::uint8_t> packed(rowBytes * std::size_t(p.height));
    for (std::int64_t y = 0; y < p.height; ++y) {
        const std::uint8_t* row = p.data + y * p.rowStride;
        std::uint8_t* out = packed.data() + std::size_t(y) * rowBytes;
        if constexpr (sizeof(T) == 1 && std::endian::native == std::endian::little) {
            if (p.columnStride == 1) {
                packByteRow<ZeroIsInk>(row, p.width, out);
                continue;
            }
        }
        packRow<T, ZeroIsInk>(row, p.width, p.columnStride, out);
    }
    return packed;
}

} // namespace

std::vector<std::uint8_t> packInk(const PixelArray& pixels, InkRule rule) {
    switch (rule) {
    case InkRule::Bool:
        return packAll<std::uint8_t, false>(pixels);
    case InkRule::ZeroIsBlack8:
        return packAll<std::uint8_t, true>(pixels);
    case InkRule::ZeroIsBlack16:
        return packAll<std::uint16_t, true>(pixels);
    case InkRule::ZeroIsBlack32:
        return packAll<std::uint32_t, true>(pixels);
    case InkRule::ZeroIsBlack64:
        return packAll<std::uint64_t, true>(pixels);
    }
    return {};
}

} // namespace quadrel_python
