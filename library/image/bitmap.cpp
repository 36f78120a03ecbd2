// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "library/image/bitmap.h"

#include "library/la_api.h"
#include "platform/global_memory.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

namespace quadrel {

namespace {

constexpr std::size_t kDibHeaderBytes = 40;
constexpr std::size_t kDibPixelOffset = 48; // header plus a two-entry colour table

std::int32_t readInt32(const std::uint8_t* p) {
    std::uint32_t v = std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
                      std::uint32_t(p[3]) << 24;
    return std::int32_t(v);
}

std::uint16_t readUint16(const std::uint8_t* p) {
    return std::uint16_t(p[0] | p[1] << 8);
}

// Unlocks the DIB block on every path out of the import.
struct BlockLock {
    platform::GlobalHandle handle;
    const std::uint8_t* data;
    explicit BlockLock(platform::GlobalHandle h)
        : handle(h), data(static_cast<const std::uint8_t*>(platform::globalLock(h))) {}
    ~BlockLock() {
        if (data) platform::globalUnlock(handle);
    }
    BlockLock(const BlockLock&) = delete;
    BlockLock& operator=(const BlockLock&) = delete;
};

// Fills the bitmap's rows, row 0 being the bottom of the page as in an
// ordinary bottom-up DIB; the rows of a top-down DIB are taken in reverse.
void copyRowsBottomFirst(LaBitmap& bitmap, const std::uint8_t* pixels, bool topDown) {
    const std::size_t rowLength = std::size_t(bitmap.stride);
    if (!topDown) {
        std::memcpy(bitmap.buffer.data(), pixels, rowLength * std::size_t(bitmap.height));
        return;
    }
    for (std::int32_t r = 0; r < bitmap.height; ++r)
        std::memcpy(bitmap.buffer.data() + std::size_t(r) * rowLength,
                    pixels + std::size_t(bitmap.height - 1 - r) * rowLength, rowLength);
}

// bitRunCopy to bit 0 of the destination: byte i of the destination gets
// source bits [s + 8i, s + 8i + 8). The bytes whose two source bytes both lie
// inside the row are copied in a plain loop; the few at the edges take the
// checked path.
void copyBitsToRowStart(const std::uint8_t* sourceRow, std::size_t sourceBytes,
                        std::uint8_t* destinationRow, std::size_t destinationBytes, std::int32_t n,
                        std::int32_t s) {
    if (n <= 0) return;
    const std::int64_t count =
        std::min<std::int64_t>((std::int64_t(n) + 7) / 8, std::int64_t(destinationBytes));
    if (!sourceRow) {
        if (count > 0) std::memset(destinationRow, 0, std::size_t(count));
        return;
    }
    const std::int64_t first = s >= 0 ? s / 8 : -((-std::int64_t(s) + 7) / 8);
    const int a = int(std::int64_t(s) - first * 8);
    auto at = [&](std::int64_t k) -> std::uint32_t {
        return k >= 0 && std::uint64_t(k) < sourceBytes ? sourceRow[k] : 0u;
    };
    auto checked = [&](std::int64_t i) {
        const std::int64_t k = first + i;
        destinationRow[i] =
            a == 0 ? std::uint8_t(at(k)) : std::uint8_t((at(k) << a) | (at(k + 1) >> (8 - a)));
    };
    const std::int64_t fastBegin = std::clamp<std::int64_t>(-first, 0, count);
    const std::int64_t fastEnd =
        std::clamp<std::int64_t>(std::int64_t(sourceBytes) - 1 - first, fastBegin, count);
    for (std::int64_t i = 0; i < fastBegin; ++i) checked(i);
    const std::uint8_t* from = sourceRow + (first + fastBegin);
    std::uint8_t* to = destinationRow + fastBegin;
    const std::int64_t fast = fastEnd - fastBegin;
    if (a == 0) {
        if (fast > 0) std::memcpy(to, from, std::size_t(fast));
    } else {
        for (std::int64_t i = 0; i < fast; ++i)
            to[i] = std::uint8_t((from[i] << a) | (from[i + 1] >> (8 - a)));
    }
    for (std::int64_t i = fastEnd; i < count; ++i) checked(i);
}

} // namespace

std::int32_t rowLengthForWidth(std::int32_t width) {
    return std::int32_t((std::int64_t(width) + 31) / 32 * 4);
}

void bitmapReset(LaBitmap& bitmap) {
    bitmap = LaBitmap{};
    bitmap.recordSize = sizeof(LaBitmap);
}

std::int32_t bitmapAllocate(LaBitmap& bitmap, std::int32_t height, std::int32_t width,
                            std::int32_t stride, std::int32_t blackIsZero) {
    bitmap.recordSize = sizeof(LaBitmap);
    bitmap.height = height;
    bitmap.width = width;
    bitmap.stride = stride;
    bitmap.blackIsZero = blackIsZero;
    bitmap.bottomUp = stride < 0 ? 1 : 0;
    bitmap.firstRow = nullptr;
    bitmap.buffer.clear();
    bitmap.buffer.shrink_to_fit();
    const std::int64_t absStride = stride < 0 ? -std::int64_t(stride) : stride;
    const std::int64_t size = height > 0 ? absStride * height : 0;
    if (size > std::numeric_limits<std::uint32_t>::max()) {
        bitmap.bufferSize = 0;
        return LA_STATUS_OUT_OF_MEMORY;
    }
    bitmap.bufferSize = std::uint32_t(size);
    try {
        bitmap.buffer.assign(std::size_t(size), blackIsZero == 1 ? 0xFF : 0x00);
    } catch (const std::bad_alloc&) {
        return LA_STATUS_OUT_OF_MEMORY;
    } catch (const std::length_error&) {
        return LA_STATUS_OUT_OF_MEMORY;
    }
    std::uint8_t* start = bitmap.buffer.empty() ? nullptr : bitmap.buffer.data();
    if (start && stride < 0) start += std::size_t(height - 1) * std::size_t(absStride);
    bitmap.firstRow = start;
    return LA_STATUS_OK;
}

void bitmapRelease(LaBitmap* bitmap) {
    if (!bitmap) return;
    *bitmap = LaBitmap{};
}

std::int32_t bitmapCopy(const LaBitmap& source, LaBitmap& destination) {
    const std::int32_t status =
        bitmapAllocate(destination, source.height, source.width, source.stride, source.blackIsZero);
    if (status != LA_STATUS_OK) return status;
    const std::size_t n = std::min<std::size_t>(source.buffer.size(), destination.buffer.size());
    if (n) std::memcpy(destination.buffer.data(), source.buffer.data(), n);
    return LA_STATUS_OK;
}

void bitRunCopy(const std::uint8_t* sourceRow, std::size_t sourceBytes,
                std::uint8_t* destinationRow, std::size_t destinationBytes, std::int32_t n,
                std::int32_t s, std::int32_t d) {
    if (n <= 0) return;
    // Byte offsets may be negative for a crop that starts left of the row.
    const std::int64_t sourceByte0 = s >= 0 ? s / 8 : -((-std::int64_t(s) + 7) / 8);
    const int a = int(std::int64_t(s) - sourceByte0 * 8);
    const std::int64_t destinationByte0 = d / 8;
    const int b = d % 8;
    const std::int64_t m = (std::int64_t(n) + 7) / 8;
    auto sourceAt = [&](std::int64_t i) -> std::uint32_t {
        const std::int64_t k = sourceByte0 + i;
        return (sourceRow && k >= 0 && std::uint64_t(k) < sourceBytes) ? sourceRow[k] : 0u;
    };
    auto store = [&](std::int64_t k, std::uint8_t value, bool orIn) {
        if (k < 0 || std::uint64_t(k) >= destinationBytes) return;
        destinationRow[k] = orIn ? std::uint8_t(destinationRow[k] | value) : value;
    };
    for (std::int64_t i = 0; i < m; ++i) {
        std::uint8_t v = a == 0 ? std::uint8_t(sourceAt(i))
                                : std::uint8_t((sourceAt(i) << a) | (sourceAt(i + 1) >> (8 - a)));
        if (b == 0) {
            store(destinationByte0 + i, v, false);
        } else {
            store(destinationByte0 + i, std::uint8_t(v >> b), true);
            store(destinationByte0 + i + 1, std::uint8_t(v << (8 - b)), true);
        }
    }
}

std::int32_t bitmapCrop(const LaBitmap& source, LaBitmap& destination, std::int32_t x,
                        std::int32_t y, std::int32_t cropWidth, std::int32_t cropHeight) {
    std::int32_t stride = rowLengthForWidth(cropWidth);
    if (source.bottomUp == 1) stride = -stride;
    const std::int32_t status =
        bitmapAllocate(destination, cropHeight, cropWidth, stride, source.blackIsZero);
    if (status != LA_STATUS_OK) return status;
    const std::size_t sourceBytes = source.rowBytes();
    const std::size_t destinationBytes = destination.rowBytes();
    for (std::int32_t r = 0; r < cropHeight; ++r) {
        const std::int64_t sourceRowIndex = std::int64_t(y) + r;
        const bool inside =
            source.firstRow && sourceRowIndex >= 0 && sourceRowIndex < source.height;
        const std::uint8_t* sourceRow = inside ? source.row(std::int32_t(sourceRowIndex)) : nullptr;
        copyBitsToRowStart(sourceRow, sourceBytes, destination.row(r), destinationBytes, cropWidth,
                           x);
    }
    return LA_STATUS_OK;
}

std::unique_ptr<LaBitmap> importDib(void* dibHandle) {
    auto handle = static_cast<platform::GlobalHandle>(dibHandle);
    BlockLock lock(handle);
    if (!lock.data) return nullptr;
    const std::size_t blockSize = platform::globalSize(handle);
    if (blockSize < kDibPixelOffset) return nullptr;
    const std::uint8_t* dib = lock.data;
    const std::int32_t rawWidth = readInt32(dib + 4);
    const std::int32_t rawHeight = readInt32(dib + 8);
    if (readUint16(dib + 14) != 1) return nullptr;
    if (rawWidth == std::numeric_limits<std::int32_t>::min() ||
        rawHeight == std::numeric_limits<std::int32_t>::min())
        return nullptr;
    const std::int32_t width = std::abs(rawWidth);
    const std::int32_t height = std::abs(rawHeight);
    if (width == 0 || height == 0) return nullptr;
    const std::int64_t rowLength = (std::int64_t(width) + 31) / 32 * 4;
    const std::int64_t pixelBytes = rowLength * height;
    // A header that claims more rows than the block holds is refused, never over-read.
    if (pixelBytes > std::int64_t(blockSize - kDibPixelOffset)) return nullptr;
    try {
        auto bitmap = std::make_unique<LaBitmap>();
        const std::int32_t blackIsZero =
            (dib[kDibHeaderBytes] == 0 && dib[kDibHeaderBytes + 1] == 0 &&
             dib[kDibHeaderBytes + 2] == 0)
                ? 1
                : 0;
        if (bitmapAllocate(*bitmap, height, width, std::int32_t(rowLength), blackIsZero) !=
            LA_STATUS_OK)
            return nullptr;
        copyRowsBottomFirst(*bitmap, dib + kDibPixelOffset, rawHeight < 0);
        return bitmap;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

} // namespace quadrel
