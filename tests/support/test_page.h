// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Pages drawn in code for tests, and the CCITT fax pages from Debian's
// jbigkit-testdata. Rows are numbered as stored: row 0 is the first stored
// row of the DIB, which for an ordinary bottom-up page is the bottom of the page.
#pragma once

#include "library/image/bitmap.h"
#include "platform/global_memory.h"

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

class TestPage {
  public:
    TestPage(int width, int height);

    // From rows of text, '#' black and anything else white; the first string is row 0.
    static TestPage fromArt(std::initializer_list<const char*> rows);

    int width() const { return width_; }
    int height() const { return height_; }
    bool black(int x, int y) const { return pixels_[index(x, y)] != 0; }
    void set(int x, int y, bool black = true) { pixels_[index(x, y)] = black ? 1 : 0; }
    // Paints the rectangle [x, x + w) x [y, y + h) black (or white), clipped to the page.
    void fillRect(int x, int y, int w, int h, bool black = true);
    // Inverts every pixel.
    void invert();
    std::int64_t blackCount() const;

    // The page as a library bitmap with the given polarity and row direction.
    quadrel::LaBitmap toBitmap(int blackIsZero = 0, bool negativeStride = false) const;
    // The page as a packed 1-bit DIB in a movable block: 40-byte header, two
    // palette entries (black first when blackIsZero, else white first), rows in
    // this page's row order.
    platform::GlobalBlockOwner toDib(bool blackIsZero = false, int xDpi = 200,
                                     int yDpi = 200) const;

    // Reads a page back from a bitmap (any polarity and row direction).
    static TestPage fromBitmap(const quadrel::LaBitmap& bitmap);

  private:
    std::size_t index(int x, int y) const {
        return std::size_t(y) * std::size_t(width_) + std::size_t(x);
    }
    int width_;
    int height_;
    std::vector<std::uint8_t> pixels_; // 1 = black
};

// Nearest-neighbour rotation about the centre: content turns by `degrees`
// counter-clockwise with rows growing upwards, so level lines then rise with x.
TestPage rotated(const TestPage& page, double degrees);

// Reads a binary PBM (P4) file. The PBM's first row (the top of the page)
// becomes the last row, as in a bottom-up DIB.
std::optional<TestPage> loadPbm(const std::string& path);

// CCITT fax test page n (1 to 8), 1728 x 2376, bottom row first; nullopt when
// the test data or jbgtopbm are not installed.
std::optional<TestPage> loadCcittPage(int n);

// Path of CCITT page n converted to a Group 4 TIFF (made once per run under
// the temporary directory); empty when the tools are missing.
std::string ccittTiffPath(int n);

} // namespace testsupport
