// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Whole pages drawn in code, the same on every machine and every run: a
// fixed linear congruential generator decides every glyph. They stand in for
// kinds of scans the CCITT fax pages do not have (a 300 dpi A4 page with a
// ruled table, a white-on-black banner, a tall picture, a tilted page).
#pragma once

#include "tests/support/test_page.h"

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

// 2480 x 3508 (A4 at 300 dpi): a heading, two columns of paragraphs and a
// ruled table of 6 by 8 cells with text in most cells.
TestPage generatedTextTablePage();

// 1700 x 2200: a black banner with three lines of white text standing on a
// wider rule, paragraphs under it and a horizontal rule between them.
TestPage generatedBannerPage();

// 1700 x 2200: a hatched drawing 1000 rows tall on the left, text beside and
// under it.
TestPage generatedPicturePage();

// 1700 x 2200: paragraphs whose lines climb 1.5 degrees from left to right,
// as on a page fed into the scanner askew.
TestPage generatedTiltedPage();

// 2480 x 3508 (A4 at 300 dpi): a dense ruled form of 12 by 70 cells, a word
// or two in most cells; close to a thousand zones.
TestPage generatedRuledGridPage();

// 2480 x 3508: a smooth grey picture of 2000 x 2200 pixels diffused to black
// and white (Floyd-Steinberg) between paragraphs: many tiny components.
TestPage generatedDitheredPage();

// 2480 x 3508: two clustered-dot halftone pictures, a black band with white
// text, a solid black block and paragraphs.
TestPage generatedHalftonePage();

struct NamedPage {
    std::string name;
    TestPage (*make)();
};

// Every generated page with a short file-name-safe name.
const std::vector<NamedPage>& generatedPages();

} // namespace testsupport
