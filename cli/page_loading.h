// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Reading the pages of an input for analysis, with failure reasons a user
// can act on. "-" is standard input, read whole once and kept, so that its
// pages can be counted and then loaded (in worker processes too).
#pragma once

#include "imaging/dib_image.h"
#include "imaging/tiff_io.h"

#include <string>

namespace quadrel_cli {

// Pages of a TIFF, PNG or netpbm input. Throws std::runtime_error with the
// reason ("no such file", "is a folder", "Unknown image format", the
// format reader's complaint) when they cannot be counted.
int countPages(const std::string& file);

// Page `page` (from 0) of an input; throws std::runtime_error with the
// reason, "the file has 1 page" for a page beyond the last included.
imaging::TDIB loadPage(const std::string& file, int page, imaging::CcittPhotometric ccitt);

} // namespace quadrel_cli
