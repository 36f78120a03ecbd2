// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The header-only C++ face (quadrel/quadrel.hpp) over the C interface.
#include <quadrel/quadrel.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <vector>

namespace {

constexpr int kWidth = 400;
constexpr int kHeight = 300;

// One byte per pixel, top row first: a ruled box with a column rule, and a
// line of letter-like marks under it.
std::vector<std::uint8_t> drawnPixels() {
    std::vector<std::uint8_t> pixels(std::size_t(kWidth) * kHeight, 0);
    auto fill = [&](int x, int y, int w, int h) {
        for (int yy = y; yy < y + h; ++yy)
            std::fill_n(pixels.begin() + std::ptrdiff_t(yy) * kWidth + x, w, std::uint8_t(1));
    };
    fill(20, 20, 360, 2);
    fill(20, 180, 360, 2);
    fill(20, 20, 2, 162);
    fill(200, 20, 2, 162);
    fill(378, 20, 2, 162);
    for (int k = 0; k < 15; ++k) fill(30 + k * 22, 220, 14, 18);
    return pixels;
}

// The same page as packed rows with a 64-byte stride.
std::vector<std::uint8_t> packedRows(const std::vector<std::uint8_t>& pixels) {
    std::vector<std::uint8_t> rows(64 * std::size_t(kHeight), 0);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            if (pixels[std::size_t(y) * kWidth + x])
                rows[std::size_t(y) * 64 + x / 8] |= std::uint8_t(0x80u >> (x % 8));
    return rows;
}

bool hasKind(const std::vector<quadrel::Zone>& zones, quadrel::ZoneKind kind) {
    return std::any_of(zones.begin(), zones.end(),
                       [&](const quadrel::Zone& z) { return z.kind == kind; });
}

TEST(CppFace, PagesFromBytesAndFromPackedRowsGiveTheSameZones) {
    const std::vector<std::uint8_t> pixels = drawnPixels();
    const quadrel::Page fromBytes = quadrel::Page::fromPixels(pixels, kWidth, kHeight);
    const quadrel::Page fromRows(packedRows(pixels), kWidth, kHeight, 64);
    quadrel::Context context;
    const std::vector<quadrel::Zone> zones = context.analyse(fromBytes);
    EXPECT_EQ(context.analyse(fromRows), zones);
    EXPECT_EQ(context.zones(), zones);
    EXPECT_TRUE(hasKind(zones, quadrel::ZoneKind::Table));
    EXPECT_TRUE(hasKind(zones, quadrel::ZoneKind::Text));
    for (const quadrel::Zone& z : zones) {
        EXPECT_GE(z.width(), 0);
        EXPECT_GE(z.height(), 1);
    }
    EXPECT_FALSE(context.skew()); // the default pipe measures no skew
}

TEST(CppFace, PipesRunTheirFunctionsAndMoveBetweenContexts) {
    const quadrel::Page page = quadrel::Page::fromPixels(drawnPixels(), kWidth, kHeight);
    quadrel::Context maker;
    quadrel::Context other;
    {
        quadrel::Pipe pipe =
            maker.createPipe({quadrel::Function::Skew, quadrel::Function::LinesAndTables});
        other.use(pipe);
        other.setParameter(LA_PARAM_LINES_MIN_SEED_LENGTH, 80);
        other.setParameter(LA_PARAM_LINES_MAX_THICKNESS, 120);
        other.setParameter(LA_PARAM_LINES_DIRECTIONS, 3);
        const std::vector<quadrel::Zone> zones = other.analyse(page);
        EXPECT_TRUE(hasKind(zones, quadrel::ZoneKind::Table));
        EXPECT_FALSE(hasKind(zones, quadrel::ZoneKind::Text)); // code 32 did not run
        ASSERT_TRUE(other.skew());
        EXPECT_NEAR(*other.skew(), 0.0, 0.25); // a level page, to the step of the measure
    }
    // The pipe is gone: the context runs its default pipe, text included.
    EXPECT_TRUE(hasKind(other.analyse(page), quadrel::ZoneKind::Text));
}

TEST(CppFace, FailuresThrowWithTheirReason) {
    quadrel::Context context;
    quadrel::Pipe pipe = context.createPipe();
    for (int k = 0; k < 20; ++k) pipe.add(quadrel::Function::TextBlocks);
    try {
        pipe.add(quadrel::Function::TextBlocks);
        FAIL() << "a 21st code was accepted";
    } catch (const quadrel::Error& e) {
        EXPECT_EQ(e.status(), LA_STATUS_NOT_AVAILABLE);
        EXPECT_NE(std::string(e.what()).find("LA_AddFunctionToPipe"), std::string::npos);
    }
    EXPECT_THROW(context.parameter(LA_PARAM_SKEW_ANGLE), quadrel::Error);

    const std::vector<std::uint8_t> row(4, 0);
    EXPECT_THROW(quadrel::Page(row, 40, 1, 4), std::invalid_argument); // 40 pixels need 5 bytes
    EXPECT_THROW(quadrel::Page(row, 8, 1, 1, 2), std::invalid_argument);
    EXPECT_THROW(quadrel::Page::fromPixels(row, 2, 3), std::invalid_argument);
}

} // namespace
