// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "bench/compare/leptonica_page.h"

#include <cstring>

namespace benchpages {

PixOwner toPix(const testsupport::TestPage& page, int dpi) {
    const quadrel::LaBitmap bitmap = page.toBitmap(0);
    PixOwner pix(pixCreate(page.width(), page.height(), 1));
    const int wordsPerLine = pixGetWpl(pix.get());
    l_uint32* data = pixGetData(pix.get());
    for (int y = 0; y < page.height(); ++y)
        std::memcpy(data + std::size_t(y) * std::size_t(wordsPerLine),
                    bitmap.row(page.height() - 1 - y), std::size_t(wordsPerLine) * 4);
    pixEndianByteSwap(pix.get()); // bytes in page order, words in host order
    pixSetResolution(pix.get(), dpi, dpi);
    return pix;
}

} // namespace benchpages
