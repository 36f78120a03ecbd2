// A page's zone table as text: the JSON page object of the command line's
// --json report and the XML layout file.
#pragma once

#include "python/src/page_layout.h"

#include <string>

namespace quadrel_python {

// The page object of `quadrel --json`, indented by two spaces.
std::string layoutJson(const std::string& file, int page, const PageLayout& layout);

// The XML layout file's text, lines ended by CR LF.
std::string layoutXml(const PageLayout& layout);

} // namespace quadrel_python
