// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "python/src/page_block.h"

#include <new>
#include <stdexcept>
#include <string>

namespace quadrel_python {
namespace {

// Pixel rows of one page at most, as the image library's own limit; the
// memory library alone would take blocks up to 4 GiB.
constexpr std::int64_t kMaxPixelBytes = std::int64_t(1) << 30;

void checkSize(const PackedPage& page) {
    if (page.width < 1 || page.height < 1)
        throw std::invalid_argument("the page must be at least 1 x 1 pixels");
    const std::int64_t rowLength = (std::int64_t(page.width) + 31) / 32 * 4;
    if (rowLength * page.height > kMaxPixelBytes)
        throw std::invalid_argument("the page is too large (" + std::to_string(page.width) + " x " +
                                    std::to_string(page.height) + " pixels)");
}

} // namespace

// The block as the memory library builds it for every caller of the public
// page API: bottom row first, a 1 bit black.
platform::GlobalBlockOwner makePageBlock(const PackedPage& page) {
    checkSize(page);
    QmHandle block = nullptr;
    const std::int32_t status =
        QM_CreatePage(page.pixels, page.size, page.width, page.height, page.stride, page.blackBit,
                      page.xDpi, page.yDpi, &block);
    if (status == QM_STATUS_OUT_OF_MEMORY) throw std::bad_alloc();
    if (status != QM_STATUS_OK) throw std::invalid_argument(QM_StatusText(status));
    return platform::GlobalBlockOwner(block);
}

} // namespace quadrel_python
