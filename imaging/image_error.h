// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The error raised by every operation of the image library.
//
// what() is the short message a user sees ("TIFFOpen", "Invalid TIFF Page
// Number", "Bit depht not allowed", ...); detail() optionally carries the
// underlying library's own last message, for logs and advanced dialogs.
#pragma once

#include <stdexcept>
#include <string>

namespace imaging {

class ImageError : public std::runtime_error {
  public:
    explicit ImageError(const std::string& message, std::string detail = {})
        : std::runtime_error(message), detail_(std::move(detail)) {}

    const std::string& detail() const noexcept { return detail_; }

  private:
    std::string detail_;
};

} // namespace imaging
