// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The PNG reader on arbitrary bytes: a page that loads must be a consistent
// image; every failure must surface as imaging::ImageError, and the image
// must then be left as it was. A crash, a sanitizer report, a leak or any
// other exception is a finding.
#include "imaging/dib_image.h"
#include "imaging/image_error.h"
#include "imaging/image_stream.h"
#include "imaging/png_read.h"

#include <cstdint>
#include <vector>

namespace {

// Pages larger than this are skipped: a few bytes of compressed data can
// claim gigapixels, and decoding them only measures the allocator.
constexpr std::uint64_t kMaxPixels = std::uint64_t(1) << 22;

void check(bool condition) {
    if (!condition) __builtin_trap();
}

std::uint32_t bigEndian32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

// The size the IHDR chunk (bytes 16 to 23 of a well-formed file) claims.
bool claimsHugePage(const std::uint8_t* data, std::size_t size) {
    if (size < 24) return false;
    return std::uint64_t(bigEndian32(data + 16)) * bigEndian32(data + 20) > kMaxPixels;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (claimsHugePage(data, size)) return 0;
    imaging::MemoryStream stream(std::vector<std::uint8_t>(data, data + size));
    imaging::TDIB image;
    try {
        imaging::LoadPng(image, stream);
    } catch (const imaging::ImageError&) {
        check(!image.IsValid());
        return 0;
    }
    check(image.IsValid() && image.Width() > 0 && image.Height() > 0);
    check(image.Stride() >= image.RowBytes());
    volatile std::uint8_t sink = 0;
    sink = sink + image.ScanLine(0)[0] + image.ScanLine(image.Height() - 1)[image.RowBytes() - 1];
    return 0;
}
