// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// page_zones_cpp: the C++ face of the library (quadrel/quadrel.hpp).
//
//   page_zones_cpp [PAGE.pbm]
//
// Analyses a binary PBM file, or without one a page of one byte per pixel
// built here (a ruled table with two columns), with the default pipe and
// prints the zone table as page_zones does: left top right bottom
// content-code content-name.
#include <quadrel/quadrel.hpp>

#include "pbm_reader.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

quadrel::Page readPage(const char* path) {
    PbmImage pbm;
    if (!pbm_read(path, &pbm)) throw std::runtime_error(std::string("cannot read ") + path);
    const std::unique_ptr<unsigned char, decltype(&std::free)> rows(pbm.rows, &std::free);
    const std::span<const std::uint8_t> bytes(rows.get(),
                                              std::size_t(pbm.stride) * std::size_t(pbm.height));
    return quadrel::Page(bytes, pbm.width, pbm.height, pbm.stride);
}

// A 600 x 400 page of bytes (non-zero black): a box split by one column rule.
quadrel::Page drawnPage() {
    constexpr int width = 600, height = 400;
    std::vector<std::uint8_t> pixels(std::size_t(width) * height, 0);
    auto fill = [&](int x, int y, int w, int h) {
        for (int yy = y; yy < y + h; ++yy)
            for (int xx = x; xx < x + w; ++xx) pixels[std::size_t(yy) * width + xx] = 1;
    };
    fill(50, 50, 500, 3);
    fill(50, 347, 500, 3);
    fill(50, 50, 3, 300);
    fill(300, 50, 3, 300);
    fill(547, 50, 3, 300);
    return quadrel::Page::fromPixels(pixels, width, height, {300, 300});
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 2 || (argc == 2 && argv[1][0] == '-')) {
        std::fprintf(stderr, "usage: page_zones_cpp [PAGE.pbm]\n");
        return 2;
    }
    try {
        const quadrel::Page page = argc == 2 ? readPage(argv[1]) : drawnPage();
        quadrel::Context context;
        const std::vector<quadrel::Zone> zones = context.analyse(page);
        std::printf("# %d x %d page, %zu zones\n", page.width(), page.height(), zones.size());
        for (const quadrel::Zone& z : zones)
            std::printf("%d %d %d %d %d %s\n", z.left, z.top, z.right, z.bottom,
                        static_cast<int>(z.kind), quadrel::kindName(z.kind));
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "page_zones_cpp: %s\n", e.what());
        return 1;
    }
}
