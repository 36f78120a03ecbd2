// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// PNG and netpbm files of a test page, written by hand or straight through
// libpng, so that the command line's tests do not depend on the readers they
// exercise. TestPage row 0 is the bottom of the page; files start at the top.
#pragma once

#include "tests/support/test_page.h"

#include <string>

namespace clitest {

// 1-bit greyscale PNG (0 = black), with a pHYs chunk of 200 dpi.
void writePng(const std::string& path, const testsupport::TestPage& page);

// Raw PBM (P4, 1 = black).
void writePbm(const std::string& path, const testsupport::TestPage& page);

// Raw 8-bit PGM (P5): black pixels 0, white ones 255.
void writePgm(const std::string& path, const testsupport::TestPage& page);

} // namespace clitest
