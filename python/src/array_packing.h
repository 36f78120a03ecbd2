// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Packing a 2-D array of pixels into 1-bit rows, ink as 1 bits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quadrel_python {

// A 2-D pixel array as numpy describes it: strides in bytes, any sign.
struct PixelArray {
    const std::uint8_t* data = nullptr;
    std::int64_t height = 0;
    std::int64_t width = 0;
    std::int64_t rowStride = 0;
    std::int64_t columnStride = 0;
};

// How the element type of an array reads as ink.
enum class InkRule {
    Bool,          // an element other than 0 is ink (numpy bool: True)
    ZeroIsBlack8,  // 1-byte integers: 0 is ink, any other value white
    ZeroIsBlack16, // 2-byte integers
    ZeroIsBlack32, // 4-byte integers
    ZeroIsBlack64  // 8-byte integers
};

// The rows packed 8 pixels to a byte, the top row first, (width + 7) / 8
// bytes each, the leftmost pixel in the most significant bit, 1 for ink.
std::vector<std::uint8_t> packInk(const PixelArray& pixels, InkRule rule);

} // namespace quadrel_python
