// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The run labeller against a flood fill of the pixels (8-connected), on
// random pages: the same components, numbered in the order of their first
// runs, with the same boxes; and extractComponents agreeing with it.
#include "library/image/components.h"
#include "library/image/line_extraction.h"
#include "library/image/run_table_memo.h"
#include "tests/support/test_page.h"

#include <gtest/gtest.h>

#include <random>
#include <span>
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

// Components and their boxes both name their sides xMin, xEnd, yMin, yMax.
template <class A, class B> void expectSameBox(const A& a, const B& b) {
    EXPECT_EQ(a.xMin, b.xMin);
    EXPECT_EQ(a.xEnd, b.xEnd);
    EXPECT_EQ(a.yMin, b.yMin);
    EXPECT_EQ(a.yMax, b.yMax);
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

// Prongs that meet only further down, in every order: labels made apart and
// joined late, under a smaller label or a larger one.
TestPage combsPage() {
    TestPage page(120, 60);
    for (int x = 2; x < 60; x += 4) page.fillRect(x, 2, 2, 20 + (x * 7) % 13); // prongs
    page.fillRect(2, 34, 58, 2);                                               // their back
    page.fillRect(100, 2, 2, 40);                          // a right prong reaching the back last
    page.fillRect(62, 40, 40, 2);                          // back joining it to a stair
    for (int k = 0; k < 12; ++k) page.set(62 - k, 41 + k); // diagonal stair down-left
    page.fillRect(70, 10, 20, 2);                          // an island above, with a hole
    page.fillRect(70, 20, 20, 2);
    page.fillRect(70, 10, 2, 12);
    page.fillRect(88, 10, 2, 12);
    page.set(79, 15); // alone in the hole
    return page;
}

TEST(LabelComponentsTest, MatchesAFloodFillOfThePixels) {
    std::mt19937 random(41);
    for (int trial = 0; trial < 301; ++trial) {
        const TestPage page = trial == 300 ? combsPage() : randomPage(random);
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
        for (std::size_t i = 0; i < boxes.size(); ++i) expectSameBox(boxes[i], expectedBoxes[i]);
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

// Keeps what a reader is handed while runs are labelled.
struct RecordingReader final : quadrel::NumberedRowReader {
    std::vector<quadrel::LaComponentBox> boxes;
    std::vector<std::int32_t> rowOrder;
    quadrel::RunTable rows;
    void start(const std::vector<quadrel::LaComponentBox>& b) override { boxes = b; }
    void read(std::int32_t row, std::span<const quadrel::LaRun> runs) override {
        rowOrder.push_back(row);
        rows.emplace_back(runs.begin(), runs.end());
    }
};

// The reader saw the boxes and every row of `runs`, in order, as they end up.
void expectReadAsLabelled(const RecordingReader& reader, const quadrel::FlatRunTable& runs,
                          const std::vector<quadrel::LaComponentBox>& boxes) {
    ASSERT_EQ(reader.boxes.size(), boxes.size());
    for (std::size_t i = 0; i < boxes.size(); ++i) expectSameBox(reader.boxes[i], boxes[i]);
    ASSERT_EQ(reader.rowOrder.size(), std::size_t(runs.rows()));
    for (int r = 0; r < runs.rows(); ++r) {
        EXPECT_EQ(reader.rowOrder[std::size_t(r)], r);
        const auto expected = runs.row(r);
        ASSERT_EQ(reader.rows[std::size_t(r)].size(), expected.size());
        for (std::size_t k = 0; k < expected.size(); ++k) {
            EXPECT_EQ(reader.rows[std::size_t(r)][k].start, expected[k].start);
            EXPECT_EQ(reader.rows[std::size_t(r)][k].label, expected[k].label);
        }
    }
}

// A reader is handed the final boxes, then every row in order once its runs
// carry their components' numbers: when the rows are labelled, and when the
// page's labels were kept and are handed over as they are.
TEST(LabelComponentsTest, ReaderSeesTheFinalBoxesAndEveryNumberedRow) {
    std::mt19937 random(44);
    for (int trial = 0; trial < 60; ++trial) {
        const TestPage page = trial == 0 ? combsPage() : randomPage(random);
        const quadrel::LaBitmap bitmap = page.toBitmap(trial % 2);
        quadrel::FlatRunTable runs;
        std::vector<quadrel::LaComponentBox> boxes;
        const std::int32_t status = quadrel::labelComponents(sourceOf(bitmap), runs, boxes);
        quadrel::RunTable rows = quadrel::buildRowRunTable(bitmap);
        for (auto& row : rows)
            for (quadrel::LaRun& run : row) run.label = -7;
        std::vector<quadrel::LaComponentBox> rowBoxes;
        RecordingReader reader;
        ASSERT_EQ(quadrel::labelRuns(rows, rowBoxes, &reader), status);
        if (status != 0) {
            EXPECT_TRUE(reader.rowOrder.empty());
            continue;
        }
        expectReadAsLabelled(reader, runs, boxes);
        const quadrel::RunTableMemo memo;
        quadrel::RunTableMemo::keepLabels(bitmap, {std::move(rows), std::move(rowBoxes)});
        quadrel::LabelledRuns kept;
        RecordingReader keptReader;
        ASSERT_EQ(quadrel::labelPageComponents(bitmap, kept, &keptReader), 0);
        EXPECT_FALSE(quadrel::RunTableMemo::findLabels(bitmap)) << "handed over";
        expectReadAsLabelled(keptReader, runs, boxes);
    }
}

void expectSameComponents(const std::vector<quadrel::LaComponent>& a,
                          const std::vector<quadrel::ComponentProfiles>& aProfiles,
                          const std::vector<quadrel::LaComponent>& b,
                          const std::vector<quadrel::ComponentProfiles>& bProfiles) {
    ASSERT_EQ(a.size(), b.size());
    ASSERT_EQ(aProfiles.size(), a.size());
    ASSERT_EQ(bProfiles.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        expectSameBox(a[i], b[i]);
        EXPECT_EQ(aProfiles[i].colTop, bProfiles[i].colTop);
        EXPECT_EQ(aProfiles[i].rowRight, bProfiles[i].rowRight);
        EXPECT_EQ(aProfiles[i].colCount, bProfiles[i].colCount);
    }
}

// Components recorded from runs labelled earlier are those extracted from
// the pixels, profiles and kept runs included.
TEST(LabelComponentsTest, LabelledRunsGiveWhatExtractionGives) {
    std::mt19937 random(43);
    const std::int32_t options =
        quadrel::kKeepRuns | quadrel::kEdgeProfiles | quadrel::kPixelCounts;
    for (int trial = 0; trial < 60; ++trial) {
        const TestPage page = trial == 0 ? combsPage() : randomPage(random);
        const quadrel::LaBitmap bitmap = page.toBitmap();
        quadrel::FlatRunTable runs;
        std::vector<quadrel::LaComponentBox> boxes;
        const std::int32_t status = quadrel::labelComponents(sourceOf(bitmap), runs, boxes);
        quadrel::LaComponentSource extracted = sourceOf(bitmap, options);
        quadrel::LaComponentSource recorded = sourceOf(bitmap, options);
        std::vector<quadrel::LaComponent> fromPixels, fromRuns;
        ASSERT_EQ(quadrel::extractComponents(&extracted, &fromPixels), status);
        // The same runs as a table of rows, labelled in place alike.
        quadrel::RunTable rows = quadrel::buildRowRunTable(bitmap);
        std::vector<quadrel::LaComponentBox> rowBoxes;
        ASSERT_EQ(quadrel::labelRuns(rows, rowBoxes), status);
        ASSERT_EQ(rowBoxes.size(), boxes.size());
        for (std::size_t i = 0; i < boxes.size(); ++i) expectSameBox(rowBoxes[i], boxes[i]);
        ASSERT_EQ(rows.size(), std::size_t(runs.rows()));
        for (int r = 0; r < runs.rows(); ++r) {
            ASSERT_EQ(rows[std::size_t(r)].size(), runs.row(r).size());
            for (std::size_t k = 0; k < runs.row(r).size(); ++k)
                EXPECT_EQ(rows[std::size_t(r)][k].label, runs.row(r)[k].label);
        }
        ASSERT_EQ(
            quadrel::componentsOfLabelledRuns(std::move(rows), rowBoxes, &recorded, &fromRuns),
            status);
        expectSameComponents(fromPixels, extracted.profiles, fromRuns, recorded.profiles);
        ASSERT_EQ(extracted.runTable.size(), recorded.runTable.size());
        for (std::size_t r = 0; r < extracted.runTable.size(); ++r) {
            ASSERT_EQ(extracted.runTable[r].size(), recorded.runTable[r].size());
            for (std::size_t k = 0; k < extracted.runTable[r].size(); ++k)
                EXPECT_EQ(extracted.runTable[r][k].label, recorded.runTable[r][k].label);
        }
    }
    quadrel::LaComponentSource none = sourceOf(TestPage(8, 8).toBitmap());
    std::vector<quadrel::LaComponent> components;
    EXPECT_EQ(quadrel::componentsOfLabelledRuns({}, {}, nullptr, &components), 3);
    EXPECT_EQ(quadrel::componentsOfLabelledRuns({}, {}, &none, &components), 4);
}

} // namespace
