// Reading one page of a TIFF file for analysis, with failure reasons a user
// can act on.
#pragma once

#include "imaging/dib_image.h"

#include <string>

namespace quadrel_cli {

// Pages of a TIFF file. Throws std::runtime_error with the reason ("no such
// file", "not a TIFF file", libtiff's complaint) when they cannot be counted.
int countTiffPages(const std::string& file);

// Page `page` (from 0) of a TIFF file; throws std::runtime_error with the
// reason, "the file has 1 page" for a page beyond the last included.
imaging::TDIB loadTiffPage(const std::string& file, int page);

} // namespace quadrel_cli
