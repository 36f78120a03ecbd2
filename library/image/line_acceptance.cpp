// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "library/image/line_acceptance.h"

#include "library/image/components.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace quadrel {

namespace {

// A ruling line is more than ten times as long as it is thick.
constexpr std::int64_t kMinRatioPercent = 1000;
// The frame is drawn this many pixels outside the line's box.
constexpr std::int32_t kFrameMargin = 2;

bool ratioHolds(const LaRegionRecord& line, RatioMode mode) {
    const std::int64_t numerator = (std::int64_t(line.length) + 1) * 100;
    const std::int64_t denominator = std::int64_t(line.thickness) + 1;
    if (denominator <= 0) return false;
    // Comparing the products keeps the exact mode free of rounding.
    if (mode == RatioMode::kExact) return numerator > kMinRatioPercent * denominator;
    return numerator / denominator > kMinRatioPercent;
}

bool inside(const LaBitmap& bitmap, std::int32_t x, std::int32_t y) {
    return x >= 0 && y >= 0 && x < bitmap.width && y < bitmap.height;
}

// The black pixels of columns [first, end) of row y, read by the byte.
std::int64_t blackInRow(const LaBitmap& bitmap, std::int32_t y, std::int32_t first,
                        std::int32_t end) {
    const std::uint8_t* bytes = bitmap.row(y) + first / 8;
    const bool blackIsZero = bitmap.blackIsZero != 0;
    return countBlackPixels(bytes, end - first + first % 8, blackIsZero) -
           countBlackPixels(bytes, first % 8, blackIsZero);
}

// The black pixels of rows [first, end) of column x: its set bits are
// counted down the column's byte, then turned into black ones.
std::int64_t blackInColumn(const LaBitmap& bitmap, std::int32_t x, std::int32_t first,
                           std::int32_t end) {
    if (first >= end) return 0;
    const std::uint8_t bit = std::uint8_t(0x80 >> (x & 7));
    const std::uint8_t* byte = bitmap.row(first) + (x >> 3);
    std::int64_t set = 0;
    for (std::int32_t y = first; y < end; ++y, byte += bitmap.stride) set += (*byte & bit) != 0;
    return bitmap.blackIsZero != 0 ? (end - first) - set : set;
}

// The black pixels the walk from (x0, y0) to (x1, y1) visits (see
// walkSegment). A side of the frame is a row or a column inside the bitmap,
// whose pixels are counted directly.
std::int64_t blackOnSide(const LaBitmap& bitmap, std::int32_t x0, std::int32_t y0, std::int32_t x1,
                         std::int32_t y1, std::vector<std::int32_t>& buffer) {
    // The far end is not visited: the pixels lie in [x0, x1) or (x1, x0].
    const auto visited = [](std::int32_t from, std::int32_t to) {
        return from <= to ? std::pair{from, to} : std::pair{to + 1, from + 1};
    };
    if (y0 == y1 && inside(bitmap, x0, y0) && inside(bitmap, x1, y1)) {
        const auto [first, end] = visited(x0, x1);
        return blackInRow(bitmap, y0, first, end);
    }
    if (x0 == x1 && inside(bitmap, x0, y0) && inside(bitmap, x1, y1)) {
        const auto [first, end] = visited(y0, y1);
        return blackInColumn(bitmap, x0, first, end);
    }
    const std::int32_t n = walkSegment(bitmap, x0, y0, x1, y1, buffer);
    return blackCountOfWalk(std::span<const std::int32_t>(buffer.data(), std::size_t(n)));
}

} // namespace

bool acceptLine(const LaRegionRecord& line, std::int32_t maxThickness, RatioMode mode,
                const LaBitmap& bitmap) {
    return line.density > 0 && line.thickness < maxThickness && ratioHolds(line, mode) &&
           lineIsIsolated(line, bitmap);
}

bool lineIsIsolated(const LaRegionRecord& line, const LaBitmap& bitmap) {
    if (!bitmap.hasPixels()) return false;
    const std::int32_t xl = std::max(line.xMin - kFrameMargin, 0);
    const std::int32_t xr = std::min(line.xMax + kFrameMargin, bitmap.width - 1);
    const std::int32_t yb = std::max(line.yMin - kFrameMargin, 0);
    const std::int32_t yt = std::min(line.yMax + kFrameMargin, bitmap.height - 1);

    // Each side stops short of its far corner: (xl, yb) is counted twice,
    // (xl, yt) and (xr, yb) once, (xr, yt) not at all.
    std::vector<std::int32_t> buffer;
    const std::int64_t count =
        blackOnSide(bitmap, xl, yb, xr, yb, buffer) + blackOnSide(bitmap, xl, yt, xr, yt, buffer) +
        blackOnSide(bitmap, xl, yb, xl, yt, buffer) + blackOnSide(bitmap, xr, yb, xr, yt, buffer);

    const std::int64_t across = std::int64_t(line.xMax) - line.xMin;
    // Only rows decide whether the frame is cut by the bitmap's edge.
    if (yb > 0 && yt < bitmap.height - 1)
        return count < (std::int64_t(line.yMax) - line.yMin + across) / 2;
    return count < 3 * across / 2;
}

std::int32_t walkSegment(const LaBitmap& bitmap, std::int32_t x0, std::int32_t y0, std::int32_t x1,
                         std::int32_t y1, std::vector<std::int32_t>& out) {
    const std::int64_t dx = std::int64_t(x1) - x0;
    const std::int64_t dy = std::int64_t(y1) - y0;
    const std::int64_t major = std::max(std::llabs(dx), std::llabs(dy));
    const std::int64_t minor = std::min(std::llabs(dx), std::llabs(dy));
    if (major == 0) return 0;
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    const std::int32_t sx = dx < 0 ? -1 : 1;
    const std::int32_t sy = dy < 0 ? -1 : 1;

    const std::size_t needed = std::size_t(major) + 5;
    if (out.size() < needed) out.resize(needed);
    std::size_t n = 0;
    out[n++] = 0;
    bool black = false;
    std::int64_t error = 2 * minor - major;
    std::int32_t x = x0;
    std::int32_t y = y0;
    std::int32_t steps = 0;
    for (; steps < major; ++steps) {
        if (!inside(bitmap, x, y)) break;
        if (bitmap.isBlack(x, y) != black) {
            out[n++] = steps;
            black = !black;
        }
        if (error >= 0) {
            if (xMajor)
                y += sy;
            else
                x += sx;
            error += 2 * minor - 2 * major;
        } else {
            error += 2 * minor;
        }
        if (xMajor)
            x += sx;
        else
            y += sy;
    }
    for (int i = 0; i < 4; ++i) out[n++] = steps;
    return std::int32_t(n);
}

std::int64_t blackCountOfWalk(std::span<const std::int32_t> entries) {
    std::int64_t count = 0;
    for (std::size_t k = 1; k + 1 < entries.size(); k += 2) {
        if (entries[k] == entries[k + 1]) break;
        count += entries[k + 1] - entries[k];
    }
    return count;
}

} // namespace quadrel
