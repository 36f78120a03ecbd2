// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Page rotation against a model that samples the input one pixel at a time
// along each output row's walk (the rotation itself copies whole runs).
#include "library/functions/page_rotation.h"
#include "library/la_api.h"
#include "tests/support/test_page.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {

using quadrel::LaBitmap;
using testsupport::TestPage;

struct Point {
    std::int64_t x, y;
};

// Output point (x, y) mapped into the input, centres on centres.
struct Mapping {
    double c, s;
    std::int64_t ox = 0, oy = 0;
    Point map(std::int64_t x, std::int64_t y) const {
        return {std::int64_t(double(x) * c + double(y) * s + double(ox)),
                std::int64_t(double(y) * c - double(x) * s + double(oy))};
    }
};

// The points of a Bresenham walk from a to b (x major on a tie).
std::vector<Point> walk(Point a, Point b) {
    const std::int64_t dx = std::llabs(b.x - a.x), dy = std::llabs(b.y - a.y);
    const std::int64_t sx = b.x < a.x ? -1 : 1, sy = b.y < a.y ? -1 : 1;
    const bool xMajor = dx >= dy;
    const std::int64_t major = xMajor ? dx : dy, minor = xMajor ? dy : dx;
    std::vector<Point> points{a};
    for (std::int64_t e = 2 * minor - major, n = 0; n < major; ++n) {
        Point p = points.back();
        (xMajor ? p.x : p.y) += xMajor ? sx : sy;
        if (e >= 0) (xMajor ? p.y : p.x) += xMajor ? sy : sx;
        e += e >= 0 ? 2 * minor - 2 * major : 2 * minor;
        points.push_back(p);
    }
    return points;
}

// Each output row sampled along its walk from the first point inside the
// input to the point before the one where the walk back first enters it.
TestPage modelRotation(const TestPage& in, int width, int height, double degrees) {
    const double t = degrees * quadrel::kDegreesToRadians;
    Mapping m{std::cos(t), std::sin(t)};
    const Point centre = m.map(width / 2, height / 2);
    m.ox = in.width() / 2 - centre.x;
    m.oy = in.height() / 2 - centre.y;
    const auto inside = [&](Point p) {
        return p.x >= 0 && p.x < in.width() && p.y >= 0 && p.y < in.height();
    };
    TestPage out(width, height);
    for (int r = 0; r < height; ++r) {
        const std::vector<Point> forward = walk(m.map(0, r), m.map(width - 1, r));
        const std::vector<Point> backward = walk(m.map(width - 1, r), m.map(0, r));
        std::int64_t first = 0, back = 0;
        const std::int64_t major = std::int64_t(forward.size()) - 1;
        while (first <= major && !inside(forward[std::size_t(first)])) ++first;
        while (back <= major && !inside(backward[std::size_t(back)])) ++back;
        for (std::int64_t n = first; n < major - back && n < width; ++n) {
            const Point p = forward[std::size_t(n)];
            if (inside(p) && in.black(int(p.x), int(p.y))) out.set(int(n), r);
        }
    }
    return out;
}

// Blobs, long runs and runs crossing the page edges, at random.
TestPage noisyPage(int width, int height, unsigned state) {
    TestPage page(width, height);
    for (int k = 0; k < 400; ++k) {
        state = state * 1103515245u + 12345u;
        const int x = int((state >> 8) % unsigned(width + 40)) - 20;
        state = state * 1103515245u + 12345u;
        const int y = int((state >> 8) % unsigned(height));
        page.fillRect(x, y, 1 + int(state % 150), 1 + int((state >> 3) % 4));
    }
    return page;
}

TEST(PageRotationTest, RunsMatchPixelByPixelSamplingAtEveryAngle) {
    for (const double degrees : {0.0, 0.2, -0.2, 0.6, -1.4, 3.0, -7.5, 20.0, -44.0, 60.0, 170.0})
        for (const int blackIsZero : {0, 1}) {
            const TestPage in = noisyPage(517, 311, unsigned(degrees * 100 + 1000));
            const int width = 530 + int(std::fabs(degrees)), height = 320;
            const LaBitmap input = in.toBitmap(blackIsZero);
            LaBitmap output;
            ASSERT_EQ(quadrel::bitmapAllocate(output, height, width,
                                              quadrel::rowLengthForWidth(width), blackIsZero),
                      LA_STATUS_OK);
            quadrel::rotatePageInto(input, output, degrees);
            const TestPage got = TestPage::fromBitmap(output);
            quadrel::bitmapRelease(&output);
            const TestPage want = modelRotation(in, width, height, degrees);
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    ASSERT_EQ(got.black(x, y), want.black(x, y))
                        << degrees << " degrees, polarity " << blackIsZero << " at " << x << ","
                        << y;
        }
}

} // namespace
