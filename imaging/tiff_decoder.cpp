// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "imaging/tiff_decoder.h"

#include "imaging/image_stream.h"

#include <cstring>
#include <string>
#include <unordered_set>

namespace imaging {

namespace {

constexpr std::uint16_t kLittleEndian = 0x4949; // "II"
constexpr std::uint16_t kBigEndian = 0x4D4D;    // "MM"
constexpr std::size_t kEntrySize = 12;

std::uint16_t loadHost16(const std::uint8_t* p) {
    std::uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}

std::uint32_t loadHost32(const std::uint8_t* p) {
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

} // namespace

TTiffDecoder::TTiffDecoder(ImageStream& stream) : stream_(stream), origin_(stream.Position()) {
    std::uint8_t header[8] = {};
    if (!stream_.ReadExact(header, sizeof header)) return;
    byteOrder_ = loadHost16(header);
    bigEndian_ = byteOrder_ == kBigEndian;
    firstDirectory_ = Swap32(loadHost32(header + 4));
}

bool TTiffDecoder::HasTiffHeader() const {
    return byteOrder_ == kLittleEndian || byteOrder_ == kBigEndian;
}

std::uint16_t TTiffDecoder::Swap16(std::uint16_t v) const {
    return bigEndian_ ? std::uint16_t(v >> 8 | v << 8) : v;
}

std::uint32_t TTiffDecoder::Swap32(std::uint32_t v) const {
    return bigEndian_ ? __builtin_bswap32(v) : v;
}

bool TTiffDecoder::ReadAt(std::int64_t offset, void* buffer, std::size_t count) {
    return stream_.Seek(origin_ + offset, SeekOrigin::Begin) == origin_ + offset &&
           stream_.ReadExact(buffer, count);
}

void TTiffDecoder::SelectPage(int n) {
    entries_.clear();
    std::uint32_t offset = firstDirectory_;
    // The chain is walked at most once round: a directory seen before ends it.
    std::unordered_set<std::uint32_t> visited;
    for (int index = 0; HasTiffHeader() && offset != 0 && n >= 0; ++index) {
        if (!visited.insert(offset).second) break;
        std::uint16_t rawCount = 0;
        if (!ReadAt(offset, &rawCount, 2)) break;
        const std::uint16_t count = Swap16(rawCount);
        const std::int64_t entriesAt = std::int64_t(offset) + 2;
        if (index == n) {
            std::vector<std::uint8_t> raw(std::size_t(count) * kEntrySize);
            if (!ReadAt(entriesAt, raw.data(), raw.size())) break;
            entries_.resize(count);
            for (std::size_t i = 0; i < count; ++i) {
                const std::uint8_t* p = raw.data() + i * kEntrySize;
                entries_[i] = {Swap16(loadHost16(p)), Swap16(loadHost16(p + 2)),
                               Swap32(loadHost32(p + 4)), Swap32(loadHost32(p + 8))};
            }
            return;
        }
        std::uint32_t next = 0;
        if (!ReadAt(entriesAt + std::int64_t(count) * std::int64_t(kEntrySize), &next, 4)) break;
        offset = Swap32(next);
    }
    throw ImageError("Invalid TIFF Page Number");
}

const TTiffDecoder::Entry* TTiffDecoder::Find(std::uint16_t tag) const {
    for (const Entry& e : entries_)
        if (e.tag == tag) return &e;
    return nullptr;
}

std::uint32_t TTiffDecoder::TagSize(std::uint16_t tag) const {
    const Entry* e = Find(tag);
    return e ? e->count : 0;
}

std::uint32_t TTiffDecoder::ReadTag(std::uint16_t tag, std::vector<std::uint8_t>* data) {
    const Entry* e = Find(tag);
    if (!e) throw ImageError("TIFF Tag Not Found: " + std::to_string(tag));
    if (data) {
        // Check the extent against the stream before allocating for it.
        const std::int64_t end = origin_ + std::int64_t(e->valueOrOffset) + std::int64_t(e->count);
        if (end > stream_.Size()) throw ImageError("Invalid TIFF Data");
        data->assign(e->count, 0);
        if (!ReadAt(e->valueOrOffset, data->data(), data->size()))
            throw ImageError("Invalid TIFF Data");
    }
    return e->count;
}

} // namespace imaging
