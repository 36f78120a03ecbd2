// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The default, human-readable output: a table of zones per analysed page, a
// one-line summary, and one stderr line per failure.
#pragma once

#include "cli/page_result.h"

#include <ostream>
#include <string>
#include <vector>

namespace quadrel_cli {

// "1.5", "-1.43", "0": hundredths of a degree as a decimal number of degrees.
std::string formatSkew(std::int32_t hundredths);

void printZoneTable(std::ostream& out, const PageResult& result);

// "3 pages: 2 analysed, 1 failed, 57 zones."
void printSummary(std::ostream& out, const std::vector<PageResult>& results);

// "quadrel: FILE, page N: REASON" ("all pages" when the pages could not be
// counted); a grey page's refusal is followed by a line that names --binarize.
std::string failureLine(const PageResult& result);

} // namespace quadrel_cli
