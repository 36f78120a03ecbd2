// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "tests/cli/page_files.h"

#include <png.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <vector>

namespace clitest {
namespace {

// Row y from the top, packed 8 pixels a byte from the most significant bit;
// a bit is set for black pixels when `setBlack`, else for white ones.
std::vector<unsigned char> packedRow(const testsupport::TestPage& page, int y, bool setBlack) {
    std::vector<unsigned char> row(std::size_t((page.width() + 7) / 8));
    const int stored = page.height() - 1 - y;
    for (int x = 0; x < page.width(); ++x)
        if (page.black(x, stored) == setBlack) row[std::size_t(x / 8)] |= 0x80 >> (x % 8);
    return row;
}

std::ofstream openBinary(const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    if (!out) throw std::runtime_error("cannot create " + path);
    return out;
}

} // namespace

void writePng(const std::string& path, const testsupport::TestPage& page) {
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "wb"),
                                                               std::fclose);
    if (!file) throw std::runtime_error("cannot create " + path);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, file.get());
    png_set_IHDR(png, info, png_uint_32(page.width()), png_uint_32(page.height()), 1,
                 PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_pHYs(png, info, 7874, 7874, PNG_RESOLUTION_METER); // 200 dpi
    png_write_info(png, info);
    for (int y = 0; y < page.height(); ++y) {
        std::vector<unsigned char> row = packedRow(page, y, false);
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
}

void writePbm(const std::string& path, const testsupport::TestPage& page) {
    std::ofstream out = openBinary(path);
    out << "P4\n" << page.width() << " " << page.height() << "\n";
    for (int y = 0; y < page.height(); ++y) {
        const std::vector<unsigned char> row = packedRow(page, y, true);
        out.write(reinterpret_cast<const char*>(row.data()), std::streamsize(row.size()));
    }
}

void writePgm(const std::string& path, const testsupport::TestPage& page) {
    std::ofstream out = openBinary(path);
    out << "P5\n" << page.width() << " " << page.height() << "\n255\n";
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            out.put(page.black(x, page.height() - 1 - y) ? char(0) : char(255));
}

} // namespace clitest
