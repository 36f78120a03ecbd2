// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The run labeller against a flood fill of the pixels (8-connected), on
// random pages: the same components, numbered in the order of their first
// runs, with the same boxes; and extractComponents agreeing with it.
#include "library/image/components.h"
#include "tests/support/test_page.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

using testsupport::TestPage;

quadrel::LaComponentSource sourceOf(const quadrel::LaBitmap& bitmap, std::int32_t options = 0) {
    quadrel::LaComponentSource source;
    source.rows = bitmap.height;
    source.width = bitmap.width;
    source.stride = bitmap.stride;
    source.options = options;
    source.blackIsZero = bitmap.blackIsZero;
    source.firstRow = bitmap.firstRow;
    return source;
}

// Component number of every black pixel by flood fill, numbered in scan order
// (row 0 first, left to right), which is the order of first runs.
std::vector<int> floodLabels(const TestPage& page, int& count) {
    std::vector<int> label(std::size_t(page.width() * page.height()), -1);
    count = 0;
    std::vector<std::pair<int, int>> stack;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) {
            if (!page.black(x, y) || label[std::size_t(y * page.width() + x)] >= 0) continue;
            stack.push_back({x, y});
            label[std::size_t(y * page.width() + x)] = count;
            while (!stack.empty()) {
                const auto [cx, cy] = stack.back();
                stack.pop_back();
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        const int nx = cx + dx, ny = cy + dy;
                        if (nx < 0 || ny < 0 || nx >= page.width() || ny >= page.height()) continue;
                        int& l = label[std::size_t(ny * page.width() + nx)];
                        if (!page.black(nx, ny) || l >= 0) continue;
                        l = count;
                        stack.push_back({nx, ny});
                    }
            }
            ++count;
        }
    return label;
}

TestPage randomPage(std::mt19937& random) {
    TestPage page(1 + int(random() % 150), 1 + int(random() % 120));
    const int density = 1 + int(random() % 60); // percent black
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (int(random() % 100) < density) page.set(x, y);
    for (int k = int(random() % 6); k > 0; --k) // long runs and bars too
        page.fillRect(int(random() % 150), int(random() % 120), int(random() % 80),
                      1 + int(random() % 4));
    return page;
}

TEST(LabelComponentsTest, MatchesAFloodFillOfThePixels) {
    std::mt19937 random(41);
    for (int trial = 0; trial < 300; ++trial) {
        const TestPage page = randomPage(random);
        int expectedCount = 0;
        const std::vector<int> flood = floodLabels(page, expectedCount);
        const quadrel::LaBitmap bitmap = page.toBitmap(int(random() % 2), random() % 2 == 0);
        quadrel::FlatRunTable runs;
        std::vector<quadrel::LaComponentBox> boxes;
        const std::int32_t status = quadrel::labelComponents(sourceOf(bitmap), runs, boxes);
        if (expectedCount == 0) {
            EXPECT_EQ(status, 4);
            continue;
        }
        ASSERT_EQ(status, 0);
        ASSERT_EQ(boxes.size(), std::size_t(expectedCount));
        std::vector<quadrel::LaComponentBox> expectedBoxes(static_cast<std::size_t>(expectedCount));
        for (int y = 0; y < page.height(); ++y)
            for (const quadrel::LaRun& run : runs.row(y))
                for (int x = run.start; x < run.end; ++x) {
                    ASSERT_EQ(flood[std::size_t(y * page.width() + x)], run.label)
                        << "pixel " << x << ", " << y;
                    auto& b = expectedBoxes[std::size_t(run.label)];
                    b.xMin = std::min(b.xMin, x);
                    b.xEnd = std::max(b.xEnd, x + 1);
                    b.yMin = std::min(b.yMin, y);
                    b.yMax = std::max(b.yMax, y);
                }
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            EXPECT_EQ(boxes[i].xMin, expectedBoxes[i].xMin);
            EXPECT_EQ(boxes[i].xEnd, expectedBoxes[i].xEnd);
            EXPECT_EQ(boxes[i].yMin, expectedBoxes[i].yMin);
            EXPECT_EQ(boxes[i].yMax, expectedBoxes[i].yMax);
        }
    }
}

TEST(LabelComponentsTest, ExtractComponentsReportsTheSameComponentsAndRuns) {
    std::mt19937 random(42);
    for (int trial = 0; trial < 100; ++trial) {
        const TestPage page = randomPage(random);
        const quadrel::LaBitmap bitmap = page.toBitmap();
        quadrel::FlatRunTable runs;
        std::vector<quadrel::LaComponentBox> boxes;
        const std::int32_t status = quadrel::labelComponents(sourceOf(bitmap), runs, boxes);
        quadrel::LaComponentSource source = sourceOf(bitmap, quadrel::kKeepRuns);
        std::vector<quadrel::LaComponent> components;
        ASSERT_EQ(quadrel::extractComponents(&source, &components), status);
        if (status != 0) continue;
        ASSERT_EQ(components.size(), boxes.size());
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            EXPECT_EQ(components[i].xMin, boxes[i].xMin);
            EXPECT_EQ(components[i].yMax, boxes[i].yMax);
        }
        ASSERT_EQ(source.runTable.size(), std::size_t(runs.rows()));
        for (int r = 0; r < runs.rows(); ++r) {
            const auto row = runs.row(r);
            ASSERT_EQ(source.runTable[std::size_t(r)].size(), row.size());
            for (std::size_t k = 0; k < row.size(); ++k) {
                EXPECT_EQ(source.runTable[std::size_t(r)][k].start, row[k].start);
                EXPECT_EQ(source.runTable[std::size_t(r)][k].label, row[k].label);
            }
        }
    }
}

} // namespace
