// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// A page's zone table as text: the JSON page object of the command line's
// --json report, the XML layout file and the standard layout formats, each
// made by the writer the command line uses.
#pragma once

#include "python/src/page_layout.h"
#include "zones/layout_document.h"

#include <string>

namespace quadrel_python {

// The analysed page as the layout writers take it, as the command line
// builds it for the same page.
zones::LayoutDocument layoutDocument(const std::string& file, int page, const PageLayout& layout);

// The page object of `quadrel --json`, indented by two spaces.
std::string layoutJson(const std::string& file, int page, const PageLayout& layout);

// The XML layout file's text, lines ended by CR LF.
std::string layoutXml(const PageLayout& layout);

} // namespace quadrel_python
