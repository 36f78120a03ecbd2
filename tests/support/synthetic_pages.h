// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Pages made up in code for stress tests and benchmarks: text-like pages at a
// given resolution, noise, checkerboards. Every page is the same on every run
// (the random generators start from fixed values).
#pragma once

#include "tests/support/test_page.h"

#include <cstdint>

namespace testsupport {

// A printed-looking page: margins of one inch, lines of words made of
// letter-sized rings (some with ascenders), paragraphs, a ruling line, a small
// ruled table and a solid picture block. Sizes follow `dpi`.
TestPage textLikePage(int width, int height, int dpi, std::uint32_t variant = 1);

// Every pixel black with probability permille / 1000.
TestPage noisePage(int width, int height, int permille, std::uint32_t variant = 1);

// Squares of `cell` pixels, black where (x / cell + y / cell) is even.
TestPage checkerboardPage(int width, int height, int cell);

} // namespace testsupport
