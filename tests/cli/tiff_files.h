// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// TIFF files written straight through libtiff, so that the command line's
// tests do not depend on the image library they exercise.
#pragma once

#include "tests/support/test_page.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace clitest {

// A bilevel Group 4 page per TestPage (one directory each), photometric
// min-is-white. TestPage row 0 is the bottom of the page.
void writeBilevelTiff(const std::string& path, const std::vector<testsupport::TestPage>& pages);

// A bilevel Group 4 page as PIL writes one: photometric black-is-zero, the
// encoded bits 1 for white pixels.
void writeBlackIsZeroGroup4Tiff(const std::string& path, const testsupport::TestPage& page);

// An 8-bit grey page, uncompressed, min-is-black; grey(x, y) with y from the top.
void writeGreyTiff(const std::string& path, int width, int height,
                   const std::function<int(int x, int y)>& grey);

} // namespace clitest
