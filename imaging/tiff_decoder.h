// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// TTiffDecoder: a raw reader of one TIFF directory's tag entries.
//
// The viewer uses it to fetch private data that libtiff does not interpret,
// such as the annotation blob of tag 32932, handed on unread. It walks the
// directory chain itself, so it works on any classic (32-bit offset) TIFF,
// either byte order. Offsets are counted from the stream position at
// construction.
#pragma once

#include "imaging/image_error.h"

#include <cstdint>
#include <vector>

namespace imaging {

class ImageStream;

// The private tag that carries a page's annotations.
constexpr std::uint16_t kAnnotationTag = 32932;

class TTiffDecoder {
  public:
    struct Entry {
        std::uint16_t tag = 0;
        std::uint16_t type = 0;
        std::uint32_t count = 0;
        std::uint32_t valueOrOffset = 0;
    };

    // Reads the 8-byte header at the stream's position. The stream must
    // outlive the decoder.
    explicit TTiffDecoder(ImageStream& stream);

    // The header starts with "II" or "MM".
    bool HasTiffHeader() const;
    bool IsBigEndian() const { return bigEndian_; }

    // Selects directory n (from 0), discarding any earlier selection. Raises
    // "Invalid TIFF Page Number" when the chain has no such directory (also
    // when it is truncated or loops back on itself).
    void SelectPage(int n);

    // The entries of the selected directory.
    const std::vector<Entry>& Entries() const { return entries_; }

    // The entry's count, 0 when the tag is absent.
    std::uint32_t TagSize(std::uint16_t tag) const;

    // Raises "TIFF Tag Not Found: <tag>" when the tag is absent; else returns
    // its count and, when `data` is given, reads that many bytes from the
    // entry's offset into it. Raises "Invalid TIFF Data" when they lie past
    // the end of the stream.
    std::uint32_t ReadTag(std::uint16_t tag, std::vector<std::uint8_t>* data = nullptr);

  private:
    const Entry* Find(std::uint16_t tag) const;
    bool ReadAt(std::int64_t offset, void* buffer, std::size_t count);
    std::uint16_t Swap16(std::uint16_t v) const;
    std::uint32_t Swap32(std::uint32_t v) const;

    ImageStream& stream_;
    std::int64_t origin_ = 0;
    std::uint16_t byteOrder_ = 0;
    std::uint32_t firstDirectory_ = 0;
    bool bigEndian_ = false;
    std::vector<Entry> entries_;
};

} // namespace imaging
