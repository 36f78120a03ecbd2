// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "tiny_tiff.h"

#include <fstream>

namespace testsupport {

namespace {

constexpr std::uint16_t kShort = 3;
constexpr std::uint16_t kLong = 4;
constexpr std::uint16_t kUndefined = 7;

struct Entry {
    std::uint16_t tag, type;
    std::uint32_t count, value;
};

void Put16(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
    out[at] = std::uint8_t(v);
    out[at + 1] = std::uint8_t(v >> 8);
}

void Put32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
    Put16(out, at, v & 0xFFFF);
    Put16(out, at + 2, v >> 16);
}

// Appends `bytes` at an even offset and returns that offset.
std::uint32_t Append(std::vector<std::uint8_t>& out, const std::vector<std::uint8_t>& bytes) {
    if (out.size() % 2 != 0) out.push_back(0);
    const auto at = std::uint32_t(out.size());
    out.insert(out.end(), bytes.begin(), bytes.end());
    return at;
}

} // namespace

std::vector<std::uint8_t> TinyTiff(const std::vector<TinyTiffPage>& pages) {
    std::vector<std::uint8_t> out{'I', 'I', 42, 0, 0, 0, 0, 0};
    std::size_t previousLink = 4; // where the offset of the next directory goes
    for (const TinyTiffPage& page : pages) {
        const int rowBytes = (page.width + 7) / 8;
        std::vector<std::uint8_t> pixels(std::size_t(rowBytes) * std::size_t(page.height), 0);
        pixels[0] = 0x80; // photometric 0: a set bit is black
        const std::uint32_t pixelOffset = Append(out, pixels);
        std::uint32_t annotationOffset = 0;
        if (!page.annotation.empty()) annotationOffset = Append(out, page.annotation);

        std::vector<Entry> entries{
            {256, kLong, 1, std::uint32_t(page.width)},
            {257, kLong, 1, std::uint32_t(page.height)},
            {258, kShort, 1, 1},
            {259, kShort, 1, 1},
            {262, kShort, 1, 0},
            {273, kLong, 1, pixelOffset},
            {277, kShort, 1, 1},
            {278, kLong, 1, std::uint32_t(page.height)},
            {279, kLong, 1, std::uint32_t(pixels.size())},
        };
        if (!page.annotation.empty())
            entries.push_back(
                {32932, kUndefined, std::uint32_t(page.annotation.size()), annotationOffset});

        const std::uint32_t directory =
            Append(out, std::vector<std::uint8_t>(2 + entries.size() * 12 + 4, 0));
        Put32(out, previousLink, directory);
        Put16(out, directory, std::uint32_t(entries.size()));
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const std::size_t at = directory + 2 + i * 12;
            Put16(out, at, entries[i].tag);
            Put16(out, at + 2, entries[i].type);
            Put32(out, at + 4, entries[i].count);
            if (entries[i].type == kShort)
                Put16(out, at + 8, entries[i].value);
            else
                Put32(out, at + 8, entries[i].value);
        }
        previousLink = directory + 2 + entries.size() * 12;
    }
    return out;
}

bool WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return bool(file);
}

} // namespace testsupport
