// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// File > Save Layout As: the zone table of the shown page in the standard
// layout formats (PAGE XML, ALTO, hOCR), through the writers the command line
// uses, so that both programs write the same files for the same page.
#pragma once

#include "zones/layout_document.h"
#include "zones/zone_source.h"

#include <QString>

#include <string>

namespace evalia {

// One standard format as the Save Layout As menu offers it.
struct LayoutFormat {
    const char* caption; // menu item
    const char* filter;  // file dialog filter
    const char* suffix;  // default suffix
    std::string (*write)(const zones::LayoutDocument&);
};

// PAGE XML, ALTO and hOCR, in menu order.
const LayoutFormat* LayoutFormats(int& count);

// The layout document of an analysed page: its file name and page index, its
// size and resolution, and the zones. Evalia runs the default pipe, which
// measures no skew, so the zones lie on the page as it was opened.
zones::LayoutDocument LayoutDocumentOf(const QString& fileName, int pageIndex, int width,
                                       int height, int xDpi, int yDpi,
                                       const zones::ZoneSource& zones);

} // namespace evalia
