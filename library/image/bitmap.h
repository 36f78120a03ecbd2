// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The library's 1-bit raster: rows padded to 4 bytes, a signed stride and a
// per-bitmap polarity. Pixel x of a row is bit 7 - (x mod 8) of byte x / 8.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace quadrel {

struct LaBitmap {
    std::uint32_t recordSize = 0;
    std::int32_t height = 0;
    std::int32_t width = 0;
    std::int32_t stride = 0;      // negative when rows are stored bottom-up in memory
    std::int32_t blackIsZero = 0; // 1: a 0 bit is black
    std::int32_t bottomUp = 0;
    std::uint32_t bufferSize = 0;
    std::uint8_t* firstRow = nullptr; // row r starts at firstRow + r * stride
    std::vector<std::uint8_t> buffer; // owned pixel storage

    LaBitmap() = default;
    LaBitmap(const LaBitmap&) = delete;
    LaBitmap& operator=(const LaBitmap&) = delete;
    // Moving keeps the vector's storage, so firstRow stays valid.
    LaBitmap(LaBitmap&&) noexcept = default;
    LaBitmap& operator=(LaBitmap&&) noexcept = default;

    // True when the bitmap has pixels to read (a failed producer leaves none).
    bool hasPixels() const { return firstRow != nullptr && height > 0 && width > 0; }
    std::uint8_t* row(std::int32_t r) const { return firstRow + std::ptrdiff_t(r) * stride; }
    // Byte value of eight white pixels.
    std::uint8_t whiteByte() const { return blackIsZero ? 0xFF : 0x00; }
    // Bytes of one stored row (the absolute stride).
    std::size_t rowBytes() const { return std::size_t(stride < 0 ? -std::int64_t(stride) : stride); }
    bool isBlack(std::int32_t x, std::int32_t y) const {
        const bool bit = (row(y)[x >> 3] >> (7 - (x & 7))) & 1;
        return bit != (blackIsZero != 0);
    }
};

// Row length in bytes for a width: ((width + 31) / 32) * 4.
std::int32_t rowLengthForWidth(std::int32_t width);

// Sets recordSize and clears every other field; frees nothing it did not own.
void bitmapReset(LaBitmap& bitmap);

// Allocates an all-white bitmap. Status 0, or 1 when memory runs out (the
// record keeps its sizes and has no buffer).
std::int32_t bitmapAllocate(LaBitmap& bitmap, std::int32_t height, std::int32_t width,
                            std::int32_t stride, std::int32_t blackIsZero);

// Frees the buffer and zeroes every field. Null does nothing.
void bitmapRelease(LaBitmap* bitmap);

// Allocates `destination` like `source` and copies the buffer byte for byte.
std::int32_t bitmapCopy(const LaBitmap& source, LaBitmap& destination);

// Copies the rectangle (x, y, width, height) of `source` into a new bitmap with
// the source's polarity and row direction. Source bytes or rows outside the
// bitmap read as 0.
std::int32_t bitmapCrop(const LaBitmap& source, LaBitmap& destination, std::int32_t x,
                        std::int32_t y, std::int32_t cropWidth, std::int32_t cropHeight);

// Copies n bits a byte at a time from bit s of the source row to bit d of the
// destination row. Source bytes outside [0, sourceBytes) read as 0; nothing is
// written outside [0, destinationBytes). With d > 0 the bits are ORed in.
void bitRunCopy(const std::uint8_t* sourceRow, std::size_t sourceBytes, std::uint8_t* destinationRow,
                std::size_t destinationBytes, std::int32_t n, std::int32_t s, std::int32_t d);

// Imports a packed 1-bit DIB held in a movable memory block. Returns null when
// the block cannot be locked, is not 1 bit per pixel, is smaller than its
// header says, or memory runs out. The block is left as it was. Row 0 of the
// bitmap is the bottom row of the page whichever way the DIB stores its rows:
// a top-down DIB (negative height) gives the same bitmap as the bottom-up DIB
// of the same page.
std::unique_ptr<LaBitmap> importDib(void* dibHandle);

} // namespace quadrel
