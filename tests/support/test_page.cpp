// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "tests/support/test_page.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <numbers>
#include <sstream>
#include <unistd.h>

namespace testsupport {

namespace {

void put32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = std::uint8_t(v >> (8 * i));
}

void put16(std::uint8_t* p, std::uint16_t v) {
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
}

std::filesystem::path scratchDir() {
    auto dir =
        std::filesystem::temp_directory_path() / ("quadrel-tests-" + std::to_string(::getuid()));
    std::filesystem::create_directories(dir);
    return dir;
}

bool run(const std::string& command) {
    return std::system(command.c_str()) == 0;
}

std::string convertCcitt(int n, const char* extension) {
    const std::string jbg = "/usr/share/jbigkit-testdata/ccitt" + std::to_string(n) + ".jbg";
    if (!std::filesystem::exists(jbg)) return {};
    const auto dir = scratchDir();
    const auto pbm = dir / ("ccitt" + std::to_string(n) + ".pbm");
    const auto pid = std::to_string(::getpid());
    if (!std::filesystem::exists(pbm)) {
        const auto tmp = dir / ("ccitt" + std::to_string(n) + ".pbm." + pid);
        if (!run("jbgtopbm '" + jbg + "' '" + tmp.string() + "' >/dev/null 2>&1")) return {};
        std::filesystem::rename(tmp, pbm);
    }
    if (std::strcmp(extension, "pbm") == 0) return pbm.string();
    const auto tif = dir / ("ccitt" + std::to_string(n) + ".tif");
    if (!std::filesystem::exists(tif)) {
        const auto tmp = dir / ("ccitt" + std::to_string(n) + ".tif." + pid);
        if (!run("ppm2tiff -c g4 -R 200 '" + pbm.string() + "' '" + tmp.string() +
                 "' >/dev/null 2>&1"))
            return {};
        std::filesystem::rename(tmp, tif);
    }
    return tif.string();
}

} // namespace

TestPage::TestPage(int width, int height)
    : width_(width), height_(height), pixels_(std::size_t(width) * std::size_t(height), 0) {}

TestPage TestPage::fromArt(std::initializer_list<const char*> rows) {
    int width = 0;
    for (const char* r : rows) width = std::max(width, int(std::strlen(r)));
    TestPage page(width, int(rows.size()));
    int y = 0;
    for (const char* r : rows) {
        for (int x = 0; r[x]; ++x) page.set(x, y, r[x] == '#');
        ++y;
    }
    return page;
}

void TestPage::fillRect(int x, int y, int w, int h, bool black) {
    for (int yy = std::max(y, 0); yy < std::min(y + h, height_); ++yy)
        for (int xx = std::max(x, 0); xx < std::min(x + w, width_); ++xx) set(xx, yy, black);
}

void TestPage::invert() {
    for (auto& p : pixels_) p = p ? 0 : 1;
}

std::int64_t TestPage::blackCount() const {
    std::int64_t n = 0;
    for (auto p : pixels_) n += p;
    return n;
}

quadrel::LaBitmap TestPage::toBitmap(int blackIsZero, bool negativeStride) const {
    quadrel::LaBitmap bitmap;
    const int rowLength = quadrel::rowLengthForWidth(width_);
    quadrel::bitmapAllocate(bitmap, height_, width_, negativeStride ? -rowLength : rowLength,
                            blackIsZero);
    for (int y = 0; y < height_; ++y) {
        std::uint8_t* row = bitmap.row(y);
        for (int x = 0; x < width_; ++x) {
            const bool bit = black(x, y) != (blackIsZero != 0);
            const std::uint8_t mask = std::uint8_t(0x80 >> (x & 7));
            row[x >> 3] =
                bit ? std::uint8_t(row[x >> 3] | mask) : std::uint8_t(row[x >> 3] & ~mask);
        }
    }
    return bitmap;
}

platform::GlobalBlockOwner TestPage::toDib(bool blackIsZero, int xDpi, int yDpi) const {
    const int rowLength = quadrel::rowLengthForWidth(width_);
    const std::size_t size = 48 + std::size_t(rowLength) * std::size_t(height_);
    platform::GlobalBlockOwner block(platform::globalAlloc(size));
    auto* dib = static_cast<std::uint8_t*>(platform::globalLock(block.get()));
    put32(dib, 40);
    put32(dib + 4, std::uint32_t(width_));
    put32(dib + 8, std::uint32_t(height_));
    put16(dib + 12, 1);
    put16(dib + 14, 1);
    put32(dib + 20, std::uint32_t(rowLength * height_));
    put32(dib + 24, std::uint32_t(xDpi * 3937 / 100));
    put32(dib + 28, std::uint32_t(yDpi * 3937 / 100));
    put32(dib + 32, 2);
    put32(dib + 36, 2);
    const std::uint8_t first = blackIsZero ? 0 : 255;
    std::memset(dib + 40, first, 3);
    std::memset(dib + 44, 255 - first, 3);
    for (int y = 0; y < height_; ++y) {
        std::uint8_t* row = dib + 48 + std::size_t(y) * std::size_t(rowLength);
        for (int x = 0; x < width_; ++x)
            if (black(x, y) != blackIsZero) row[x >> 3] |= std::uint8_t(0x80 >> (x & 7));
    }
    platform::globalUnlock(block.get());
    return block;
}

TestPage TestPage::fromBitmap(const quadrel::LaBitmap& bitmap) {
    TestPage page(bitmap.width, bitmap.height);
    for (int y = 0; y < bitmap.height; ++y)
        for (int x = 0; x < bitmap.width; ++x) page.set(x, y, bitmap.isBlack(x, y));
    return page;
}

TestPage rotated(const TestPage& page, double degrees) {
    TestPage out(page.width(), page.height());
    const double c = std::cos(degrees * std::numbers::pi / 180.0);
    const double s = std::sin(degrees * std::numbers::pi / 180.0);
    const double cx = page.width() / 2.0;
    const double cy = page.height() / 2.0;
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x) {
            const int sx = int(std::lround(cx + (x - cx) * c + (y - cy) * s));
            const int sy = int(std::lround(cy - (x - cx) * s + (y - cy) * c));
            if (sx >= 0 && sx < page.width() && sy >= 0 && sy < page.height() && page.black(sx, sy))
                out.set(x, y);
        }
    return out;
}

std::optional<TestPage> loadPbm(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string magic;
    in >> magic;
    if (magic != "P4") return std::nullopt;
    auto readNumber = [&in]() {
        int value = 0;
        while (in) {
            in >> std::ws;
            if (in.peek() == '#') {
                std::string comment;
                std::getline(in, comment);
                continue;
            }
            in >> value;
            break;
        }
        return value;
    };
    const int width = readNumber();
    const int height = readNumber();
    in.get();
    if (width <= 0 || height <= 0) return std::nullopt;
    const std::size_t rowBytes = std::size_t((width + 7) / 8);
    std::vector<char> row(rowBytes);
    TestPage page(width, height);
    for (int y = 0; y < height; ++y) {
        if (!in.read(row.data(), std::streamsize(rowBytes))) return std::nullopt;
        for (int x = 0; x < width; ++x)
            if ((std::uint8_t(row[std::size_t(x >> 3)]) >> (7 - (x & 7))) & 1)
                page.set(x, height - 1 - y);
    }
    return page;
}

std::optional<TestPage> loadCcittPage(int n) {
    static std::mutex mutex;
    static std::map<int, std::optional<TestPage>> cache;
    std::lock_guard<std::mutex> lock(mutex);
    auto it = cache.find(n);
    if (it != cache.end()) return it->second;
    const std::string pbm = convertCcitt(n, "pbm");
    std::optional<TestPage> page = pbm.empty() ? std::nullopt : loadPbm(pbm);
    cache.emplace(n, page);
    return page;
}

std::string ccittTiffPath(int n) {
    return convertCcitt(n, "tif");
}

} // namespace testsupport
