// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The page block LA_Execute reads, built from a caller's packed 1-bit rows.
#pragma once

#include "platform/global_memory.h"

#include <cstddef>
#include <cstdint>

namespace quadrel_python {

// Packed rows as a caller holds them: the top row first, row r at
// pixels + r * stride, the leftmost pixel in the most significant bit.
struct PackedPage {
    const std::uint8_t* pixels = nullptr;
    std::size_t size = 0; // bytes readable at pixels
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t stride = 0;
    std::int32_t blackBit = 1; // the bit value that is ink
    std::int32_t xDpi = 0;     // 0: unknown
    std::int32_t yDpi = 0;
};

// A new block holding the page; throws std::invalid_argument with the reason
// for a size, stride or resolution the block cannot take, std::bad_alloc when
// memory runs out.
platform::GlobalBlockOwner makePageBlock(const PackedPage& page);

} // namespace quadrel_python
