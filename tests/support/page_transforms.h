// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Bigger pages made from a page: repeated in a grid, or at twice the
// resolution. Used to see how analysis time grows with the page.
#pragma once

#include "tests/support/test_page.h"

namespace testsupport {

// `page` repeated `across` times side by side and `down` times one above the other.
TestPage tiled(const TestPage& page, int across, int down);

// Every pixel of `page` as a 2 x 2 block: a 300 dpi page as a 600 dpi one.
TestPage doubled(const TestPage& page);

} // namespace testsupport
