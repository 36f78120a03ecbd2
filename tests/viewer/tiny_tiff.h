// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Small uncompressed 1-bit TIFF files written byte by byte, so that a test
// controls every tag, including the private annotation tag 32932 that the
// image library does not write.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

struct TinyTiffPage {
    int width = 8;
    int height = 8;
    std::vector<std::uint8_t> annotation; // written as tag 32932 when not empty
};

// A little-endian TIFF with one directory per page; every page white
// (photometric 0, all bits clear) except its top-left pixel, which is black.
std::vector<std::uint8_t> TinyTiff(const std::vector<TinyTiffPage>& pages);

// Writes the bytes to `path`; false when the file cannot be written.
bool WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

} // namespace testsupport
