// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The pages the module accepts, each made into something LA_Execute reads:
// packed rows (a PIL image of mode "1", a packed numpy array), grey or colour
// pixels thresholded by Otsu's method, and a page of an image file.
#pragma once

#include "imaging/dib_image.h"

#include <cerrno>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace quadrel_python {

// A file that cannot be read; becomes OSError (FileNotFoundError for ENOENT).
class PageFileError : public std::runtime_error {
  public:
    PageFileError(std::string file, const std::string& reason, int error = 0)
        : std::runtime_error(reason), file_(std::move(file)), error_(error) {}
    const std::string& file() const { return file_; }
    int error() const { return error_; }

  private:
    std::string file_;
    int error_;
};

// Resolution to use where the page carries none (0: none given).
struct FallbackDpi {
    int x = 0;
    int y = 0;
};

// Pages of an image file; throws PageFileError.
int filePageCount(const std::string& file);

// Page `page` of an image file as a 1-bit page. Throws PageFileError when the
// file cannot be read, std::out_of_range for a page it does not have and
// std::invalid_argument for a grey or colour page unless `binarize`.
imaging::TDIB loadFilePage(const std::string& file, int page, bool binarize, FallbackDpi dpi);

// Grey (channels 1) or RGB (channels 3) 8-bit pixels, the top row first,
// thresholded as the command line's --binarize does.
struct GreyPixels {
    const std::uint8_t* data = nullptr;
    std::int64_t height = 0;
    std::int64_t width = 0;
    std::int64_t rowStride = 0; // bytes; pixels of a row are contiguous
    int channels = 1;
};
imaging::TDIB binarizedPage(const GreyPixels& pixels, FallbackDpi dpi);

} // namespace quadrel_python
