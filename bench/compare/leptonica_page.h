// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// A test page as a Leptonica image, for the benchmarks that run Leptonica
// on the same pages as Quadrel.
#pragma once

#include "tests/support/test_page.h"

#include <leptonica/allheaders.h>

#include <memory>

namespace benchpages {

struct PixDeleter {
    void operator()(PIX* pix) const { pixDestroy(&pix); }
};
using PixOwner = std::unique_ptr<PIX, PixDeleter>;

// The page as a Leptonica 1-bit image: 1 is black, row 0 the top.
PixOwner toPix(const testsupport::TestPage& page, int dpi);

} // namespace benchpages
