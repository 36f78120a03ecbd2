// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "library/image/components.h"
#include "tests/support/test_page.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using quadrel::LaComponent;
using quadrel::LaComponentSource;
using quadrel::LaRun;
using testsupport::TestPage;

struct Extraction {
    std::int32_t status = 0;
    std::vector<LaComponent> components;
    quadrel::RunTable runs;
    std::vector<quadrel::ComponentProfiles> profiles;
};

Extraction extract(const TestPage& page, std::int32_t options, int blackIsZero = 0,
                   quadrel::RunTable heldTable = {}) {
    quadrel::LaBitmap bitmap = page.toBitmap(blackIsZero);
    LaComponentSource source;
    source.runTable = std::move(heldTable);
    source.rows = bitmap.height;
    source.width = bitmap.width;
    source.stride = bitmap.stride;
    source.options = options;
    source.blackIsZero = bitmap.blackIsZero;
    source.firstRow = bitmap.firstRow;
    Extraction result;
    result.status = quadrel::extractComponents(&source, &result.components);
    result.runs = std::move(source.runTable);
    result.profiles = std::move(source.profiles);
    return result;
}

std::vector<std::int32_t> encode(const TestPage& page, int blackIsZero) {
    quadrel::LaBitmap bitmap = page.toBitmap(blackIsZero);
    std::vector<std::int32_t> out;
    const auto n = quadrel::encodeRow(bitmap.row(0), bitmap.width, bitmap.whiteByte(), out);
    out.resize(std::size_t(n));
    return out;
}

TEST(TransitionTableTest, ListsColourChangesAndTheFinalColour) {
    const auto& t80 = quadrel::byteTransitions(0x80).entries;
    EXPECT_EQ(t80[0], 1);
    EXPECT_EQ(t80[1], 2);
    EXPECT_EQ(t80[2], 0);
    EXPECT_EQ(t80[3], 0);
    const auto& t81 = quadrel::byteTransitions(0x81).entries;
    EXPECT_EQ(t81[2], 8);
    EXPECT_EQ(t81[4], 0xFF);
    const auto& t01 = quadrel::byteTransitions(0x01).entries;
    EXPECT_EQ(t01[0], 8);
    EXPECT_EQ(t01[2], 0xFF);
}

TEST(RowEncoderTest, BlankRowGivesFiveEntriesInBothPolarities) {
    TestPage page(13, 1);
    for (int biz : {0, 1}) EXPECT_EQ(encode(page, biz).size(), 5u) << biz;
    TestPage wide(16, 1);
    for (int biz : {0, 1}) EXPECT_EQ(encode(wide, biz).size(), 5u) << biz;
}

TEST(RowEncoderTest, RunsEndAtWidthWhenTheRowEndsBlack) {
    TestPage page(13, 1);
    page.fillRect(2, 0, 3, 1);
    page.fillRect(9, 0, 4, 1);
    for (int biz : {0, 1}) {
        const auto e = encode(page, biz);
        ASSERT_EQ(e.size(), 8u) << biz;
        EXPECT_EQ(e[1], 2);
        EXPECT_EQ(e[2], 5);
        EXPECT_EQ(e[3], 9);
        EXPECT_EQ(e[4], 13);
    }
}

// Rows of every width around the 64-pixel words, sparse to dense, all black
// and in long runs that pass over whole words, read in both polarities by the
// portable code and by the fastest for the CPU: the runs and the encoder's
// list hold exactly the colour changes a pixel-by-pixel walk finds, also
// across word ends and at the last pixel of a partly filled byte; the black
// pixels are counted alike.
TEST(RowEncoderTest, MatchesAPixelWalkAcrossWordEnds) {
    std::mt19937 random(7);
    for (int width = 1; width <= 300; ++width)
        for (int density : {3, 50, 97, 100, -1}) {
            TestPage page(width, 1);
            // Density -1: runs and gaps of 1 to 150 pixels.
            for (int x = 0, black = 0; density < 0 && x < width; black ^= 1)
                for (int n = 1 + int(random() % 150); n > 0 && x < width; --n, ++x)
                    if (black) page.set(x, 0);
            for (int x = 0; density >= 0 && x < width; ++x)
                if (int(random() % 100) < density) page.set(x, 0);
            std::vector<LaRun> expected;
            for (int x = 0; x < width; ++x) {
                if (!page.black(x, 0)) continue;
                if (x == 0 || !page.black(x - 1, 0)) expected.push_back(LaRun{x, x + 1, 0});
                expected.back().end = x + 1;
            }
            for (int biz : {0, 1})
                for (bool fast : {false, quadrel::RowRunRoom::fastestCode()}) {
                    const quadrel::LaBitmap bitmap = page.toBitmap(biz);
                    quadrel::RowRunRoom room(fast);
                    std::vector<LaRun> runs{LaRun{-5, -4, 9}}; // runs are appended
                    quadrel::appendRowRuns(bitmap.row(0), width, biz != 0, room, runs);
                    std::int64_t black = 0;
                    for (const LaRun& run : expected) black += run.end - run.start;
                    EXPECT_EQ(quadrel::countBlackPixels(bitmap.row(0), width, biz != 0), black);
                    ASSERT_EQ(runs.size(), expected.size() + 1) << width << " " << biz;
                    std::vector<std::int32_t> list{0};
                    for (std::size_t i = 0; i < expected.size(); ++i) {
                        EXPECT_EQ(runs[i + 1].start, expected[i].start) << width << " " << i;
                        EXPECT_EQ(runs[i + 1].end, expected[i].end) << width << " " << i;
                        EXPECT_EQ(runs[i + 1].label, 0);
                        list.push_back(expected[i].start);
                        list.push_back(expected[i].end);
                    }
                    if (list.back() != width) list.push_back(width);
                    list.insert(list.end(), 3, width);
                    EXPECT_EQ(encode(page, biz), list) << width << " " << biz;
                }
        }
}

TEST(ComponentsTest, BlankBandHasNoComponents) {
    TestPage page(20, 4);
    EXPECT_EQ(extract(page, 0).status, 4);
}

TEST(ComponentsTest, CornerTouchingPixelsAreOneComponent) {
    auto together = TestPage::fromArt({"...#..", "....#."});
    EXPECT_EQ(extract(together, 0).components.size(), 1u);
    auto apart = TestPage::fromArt({"...#..", ".....#"});
    EXPECT_EQ(extract(apart, 0).components.size(), 2u);
}

TEST(ComponentsTest, UShapeJoinedLaterIsOneComponentWithOneIndex) {
    auto page = TestPage::fromArt({
        "#...#...#...#",
        "#...#...#...#",
        "#####...#####",
        "......#......",
    });
    const auto r = extract(page, quadrel::kKeepRuns);
    ASSERT_EQ(r.status, 0);
    ASSERT_EQ(r.components.size(), 3u);
    for (const auto& run : r.runs[0]) EXPECT_EQ(run.label, run.start < 6 ? 0 : 1);
    EXPECT_EQ(r.components[2].yMin, 3);
}

// A table the request already holds only lends its storage: the runs handed
// back are those of the page, whatever the table held; without kKeepRuns, or
// when the page has no black, nothing is handed back.
TEST(ComponentsTest, HeldRunTableIsWrittenOverOrCleared) {
    auto page = TestPage::fromArt({
        "##..#",
        ".....",
        "#.###",
    });
    const quadrel::RunTable stale(5, std::vector<LaRun>(4, LaRun{1, 2, 7}));
    const auto fresh = extract(page, quadrel::kKeepRuns);
    const auto over = extract(page, quadrel::kKeepRuns, 0, stale);
    ASSERT_EQ(over.runs.size(), 3u);
    ASSERT_EQ(over.runs.size(), fresh.runs.size());
    for (std::size_t r = 0; r < over.runs.size(); ++r) {
        ASSERT_EQ(over.runs[r].size(), fresh.runs[r].size());
        for (std::size_t k = 0; k < over.runs[r].size(); ++k) {
            EXPECT_EQ(over.runs[r][k].start, fresh.runs[r][k].start);
            EXPECT_EQ(over.runs[r][k].end, fresh.runs[r][k].end);
            EXPECT_EQ(over.runs[r][k].label, fresh.runs[r][k].label);
        }
    }
    EXPECT_TRUE(extract(page, 0, 0, stale).runs.empty());
    EXPECT_TRUE(extract(TestPage(8, 3), quadrel::kKeepRuns, 0, stale).runs.empty());
}

TEST(ComponentsTest, ChainOfJoinsKeepsComponentsWhole) {
    // Arms that join at different rows, in an order that re-points old roots.
    auto page = TestPage::fromArt({
        "#.#.#.#.#",
        "#.#.#.#.#",
        "#.###.#.#",
        "#..#..###",
        "#########",
    });
    const auto r = extract(page, quadrel::kKeepRuns);
    ASSERT_EQ(r.components.size(), 1u);
    for (const auto& row : r.runs)
        for (const auto& run : row) EXPECT_EQ(run.label, 0);
}

TEST(ComponentsTest, NumberingFollowsFirstRunsAndPolarityDoesNotMatter) {
    auto page = TestPage::fromArt({
        "......##",
        "##......",
        "...#....",
    });
    for (int biz : {0, 1}) {
        const auto r = extract(page, 0, biz);
        ASSERT_EQ(r.components.size(), 3u);
        EXPECT_EQ(r.components[0].xMin, 6);
        EXPECT_EQ(r.components[0].xEnd, 8);
        EXPECT_EQ(r.components[1].xMin, 0);
        EXPECT_EQ(r.components[2].yMin, 2);
    }
}

TEST(ComponentsTest, EdgeProfilesAndCountsOfAnLShape) {
    TestPage page(8, 10);
    page.fillRect(0, 0, 1, 10);
    page.fillRect(0, 0, 5, 1);
    const auto r = extract(page, quadrel::kEdgeProfiles | quadrel::kPixelCounts);
    ASSERT_EQ(r.components.size(), 1u);
    ASSERT_EQ(r.profiles.size(), 1u);
    const auto& c = r.profiles[0];
    EXPECT_EQ(c.rowRight[0], 5);
    for (int i = 1; i < 10; ++i) EXPECT_EQ(c.rowRight[std::size_t(i)], 1);
    for (int j = 1; j < 5; ++j) EXPECT_EQ(c.colTop[std::size_t(j)], 0);
    EXPECT_EQ(c.colBottom[0], 9);
    EXPECT_EQ(c.colCount[0], 10);
    EXPECT_EQ(c.rowCount[0], 5);
    EXPECT_TRUE(r.runs.empty());
}

} // namespace
