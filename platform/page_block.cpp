// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// QM_CreatePage: the page block LA_Execute reads, built from a caller's
// packed rows. The block always has one form (bottom row first, a 1 bit
// black, padding bits white) whatever the caller's polarity, so a page gives
// the same zones however its pixels were handed over.
#include "platform/quadrel_memory.h"

#include <cstdint>
#include <cstring>
#include <limits>

namespace {

constexpr std::size_t kHeaderBytes = 40;
constexpr std::size_t kPixelOffset = 48; // header plus a two-entry colour table
// Pixels per metre in one dot per inch, in hundredths: 39.37.
constexpr std::int64_t kPelsPerMetrePerDpiTimes100 = 3937;

void put32(unsigned char* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

void put16(unsigned char* p, std::uint16_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}

// dpi x 39.37 rounded half to even, as the image library converts it.
std::int32_t pelsPerMetre(std::int32_t dpi) {
    const std::int64_t scaled = std::int64_t(dpi) * kPelsPerMetrePerDpiTimes100;
    std::int64_t q = scaled / 100;
    const std::int64_t r = scaled % 100;
    if (r > 50 || (r == 50 && q % 2 == 1)) ++q;
    return std::int32_t(q);
}

struct PageShape {
    std::int64_t rowBytes = 0;  // packed bytes that hold one row's pixels
    std::int64_t rowLength = 0; // the same padded to 4 bytes
    std::int64_t blockSize = 0;
};

std::int32_t checkArguments(const void* pixels, std::size_t pixelsSize, std::int32_t width,
                            std::int32_t height, std::int32_t stride, std::int32_t blackBit,
                            std::int32_t xDpi, std::int32_t yDpi, const QmHandle* page,
                            PageShape& shape) {
    if (!pixels || !page) return QM_STATUS_NULL_ARGUMENT;
    if (width < 1 || height < 1) return QM_STATUS_BAD_SIZE;
    shape.rowBytes = (std::int64_t(width) + 7) / 8;
    shape.rowLength = (std::int64_t(width) + 31) / 32 * 4;
    shape.blockSize = std::int64_t(kPixelOffset) + shape.rowLength * height;
    // The header records the pixel bytes in 32 bits.
    if (shape.blockSize > std::numeric_limits<std::uint32_t>::max()) return QM_STATUS_BAD_SIZE;
    if (stride < shape.rowBytes) return QM_STATUS_BAD_STRIDE;
    const std::int64_t needed = std::int64_t(height - 1) * stride + shape.rowBytes;
    if (std::uint64_t(needed) > pixelsSize) return QM_STATUS_SHORT_BUFFER;
    if (blackBit != 0 && blackBit != 1) return QM_STATUS_BAD_POLARITY;
    if (xDpi < 0 || yDpi < 0 || xDpi > QM_MAX_DPI || yDpi > QM_MAX_DPI)
        return QM_STATUS_BAD_RESOLUTION;
    return QM_STATUS_OK;
}

void writeHeader(unsigned char* dib, std::int32_t width, std::int32_t height,
                 const PageShape& shape, std::int32_t xDpi, std::int32_t yDpi) {
    put32(dib, kHeaderBytes);
    put32(dib + 4, std::uint32_t(width));
    put32(dib + 8, std::uint32_t(height));
    put16(dib + 12, 1);
    put16(dib + 14, 1);
    put32(dib + 20, std::uint32_t(shape.blockSize - std::int64_t(kPixelOffset)));
    put32(dib + 24, std::uint32_t(pelsPerMetre(xDpi)));
    put32(dib + 28, std::uint32_t(pelsPerMetre(yDpi)));
    put32(dib + 32, 2);
    put32(dib + 36, 2);
    std::memset(dib + kHeaderBytes, 255, 3); // entry 0 white, entry 1 stays black
}

// Copies the caller's rows (top first) into the block's rows (bottom first),
// inverting them when 0 is black and clearing the bits after the last pixel.
void copyRows(const unsigned char* pixels, std::int32_t width, std::int32_t height,
              std::int32_t stride, std::int32_t blackBit, const PageShape& shape,
              unsigned char* rows) {
    const unsigned char flip = blackBit == 0 ? 0xFF : 0x00;
    const int usedBits = width % 8 == 0 ? 8 : width % 8;
    const auto lastMask = static_cast<unsigned char>(0xFF << (8 - usedBits));
    for (std::int32_t r = 0; r < height; ++r) {
        const unsigned char* from = pixels + std::int64_t(r) * stride;
        unsigned char* to = rows + std::int64_t(height - 1 - r) * shape.rowLength;
        for (std::int64_t i = 0; i < shape.rowBytes; ++i)
            to[i] = static_cast<unsigned char>(from[i] ^ flip);
        to[shape.rowBytes - 1] &= lastMask;
    }
}

} // namespace

extern "C" {

std::int32_t QM_CreatePage(const void* pixels, std::size_t pixelsSize, std::int32_t width,
                           std::int32_t height, std::int32_t stride, std::int32_t blackBit,
                           std::int32_t xDpi, std::int32_t yDpi, QmHandle* page) {
    PageShape shape;
    const std::int32_t status = checkArguments(pixels, pixelsSize, width, height, stride, blackBit,
                                               xDpi, yDpi, page, shape);
    if (status != QM_STATUS_OK) return status;
    QmHandle block = QM_Alloc(std::size_t(shape.blockSize));
    auto* dib = static_cast<unsigned char*>(QM_Lock(block));
    if (!dib) return QM_STATUS_OUT_OF_MEMORY;
    writeHeader(dib, width, height, shape, xDpi, yDpi);
    copyRows(static_cast<const unsigned char*>(pixels), width, height, stride, blackBit, shape,
             dib + kPixelOffset);
    QM_Unlock(block);
    *page = block;
    return QM_STATUS_OK;
}

const char* QM_StatusText(std::int32_t status) {
    switch (status) {
    case QM_STATUS_OK:
        return "success";
    case QM_STATUS_OUT_OF_MEMORY:
        return "out of memory";
    case QM_STATUS_NULL_ARGUMENT:
        return "no pixel buffer, or no place for the page handle";
    case QM_STATUS_BAD_SIZE:
        return "width and height must be at least 1 and the page must fit in 4 GiB";
    case QM_STATUS_BAD_STRIDE:
        return "the stride is shorter than a row of packed pixels";
    case QM_STATUS_SHORT_BUFFER:
        return "the pixel buffer ends before the last row";
    case QM_STATUS_BAD_POLARITY:
        return "the black bit value must be 0 or 1";
    case QM_STATUS_BAD_RESOLUTION:
        return "the resolution must lie between 0 and QM_MAX_DPI dots per inch";
    default:
        return "unknown status";
    }
}

} // extern "C"
