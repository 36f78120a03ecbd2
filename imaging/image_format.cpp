// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "imaging/image_format.h"

#include "imaging/image_stream.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <initializer_list>

namespace imaging {

ImageFormat DetectImageFormat(ImageStream& stream) {
    StreamPositionGuard restore(stream);
    std::array<std::uint8_t, 8> head{};
    const std::size_t n = stream.Read(head.data(), head.size());
    auto startsWith = [&](std::initializer_list<std::uint8_t> signature) {
        return n >= signature.size() &&
               std::equal(signature.begin(), signature.end(), head.begin());
    };
    if (startsWith({'B', 'M'})) return ImageFormat::Bmp;
    if (startsWith({'I', 'I'}) || startsWith({'M', 'M'})) return ImageFormat::Tiff;
    if (startsWith({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A})) return ImageFormat::Png;
    if (n >= 2 && head[0] == 'P' && head[1] >= '1' && head[1] <= '7') return ImageFormat::Pnm;
    if (startsWith({'G', 'I', 'F'})) return ImageFormat::Gif;
    if (startsWith({0xFF, 0xD8, 0xFF})) return ImageFormat::Jpeg;
    return ImageFormat::Unknown;
}

} // namespace imaging
