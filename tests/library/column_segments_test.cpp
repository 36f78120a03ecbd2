// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Column segments read straight from a column's bits equal those of the
// column's run list; columns turned only where flagged read white
// elsewhere; and column or row segments found ahead for a later search serve
// only that search of the same pixels, once.
#include "library/image/column_segments.h"
#include "library/image/column_transitions.h"
#include "library/image/line_extraction.h"
#include "library/image/run_table_memo.h"
#include "library/la_api.h"
#include "tests/support/generated_pages.h"
#include "tests/support/test_page.h"

#include <gtest/gtest.h>

#include <random>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using quadrel::ColumnChanges;
using quadrel::FoundLines;
using quadrel::LaSegment;
using quadrel::LineOrientation;
using quadrel::RunTableMemo;
using testsupport::TestPage;

auto key(const LaSegment& s) {
    return std::tuple(s.start, s.end, s.firstRun, s.runEnd, s.inkCount, s.span, s.density);
}

// Random pixels in vertical strokes: black with probability `ink` per mille,
// and each column's rows often repeat the colour above, so that long runs,
// short ones and gaps of every width occur.
TestPage strokePage(int width, int height, int ink, unsigned number) {
    TestPage page(width, height);
    std::mt19937 random(number);
    for (int x = 0; x < width; ++x) {
        bool black = false;
        for (int y = 0; y < height; ++y) {
            if (random() % 4 != 0) black = int(random() % 1000) < ink;
            if (black) page.set(x, y);
        }
    }
    return page;
}

void expectBitsGiveListSegments(const quadrel::LaBitmap& bitmap) {
    const ColumnChanges changes(bitmap);
    const quadrel::RunTable columns = quadrel::buildColumnRunTable(bitmap);
    for (const std::int32_t minLength : {0, 1, 3, 16, 40, 63, 80})
        for (const std::int32_t gap : {1, 3, 7}) {
            for (std::int32_t x = 0; x < changes.columns(); ++x) {
                std::vector<LaSegment> fromList;
                std::vector<LaSegment> fromBits;
                quadrel::buildSegments(columns[std::size_t(x)], minLength, gap, fromList);
                quadrel::appendColumnSegments(changes, x, minLength, gap, fromBits);
                ASSERT_EQ(fromBits.size(), fromList.size())
                    << "column " << x << " min " << minLength << " gap " << gap;
                for (std::size_t k = 0; k < fromList.size(); ++k)
                    EXPECT_EQ(key(fromBits[k]), key(fromList[k])) << "column " << x;
            }
        }
}

TEST(ColumnSegmentsTest, SegmentsFromBitsEqualSegmentsFromTheRunList) {
    // Heights around whole words of 64 rows; dense pages give long chains of
    // runs to grow over, sparse ones few anchors.
    unsigned number = 1;
    for (const int height : {1, 63, 64, 65, 128, 300})
        for (const int ink : {300, 700, 950}) {
            const TestPage page = strokePage(70, height, ink, number++);
            expectBitsGiveListSegments(page.toBitmap());
            expectBitsGiveListSegments(page.toBitmap(1));
        }
}

// Columns read group by group, tiles turned as reached, anchors found from
// the rows' all-black blocks (made for the search's minimum or a shorter one).
TEST(ColumnSegmentsTest, SegmentsFromColumnGroupsEqualSegmentsFromTheRunList) {
    unsigned number = 100;
    for (const int height : {63, 64, 130, 300})
        for (const int ink : {500, 950}) {
            const TestPage page = strokePage(150, height, ink, number++);
            const quadrel::LaBitmap bitmap = page.toBitmap(int(number % 2));
            const quadrel::RunTable columns = quadrel::buildColumnRunTable(bitmap);
            for (const auto& [minLength, blockLength] : {std::pair{16, 16}, {40, 33}, {80, 80}})
                for (const std::int32_t gap : {1, 3, 7}) {
                    const quadrel::BlackColumnBlocks blocks(bitmap, blockLength);
                    quadrel::ColumnGroups groups(bitmap);
                    for (std::int32_t x = 0; x < 150; ++x) {
                        std::vector<LaSegment> fromList;
                        std::vector<LaSegment> fromGroups;
                        quadrel::buildSegments(columns[std::size_t(x)], minLength, gap, fromList);
                        groups.appendSegments(blocks, x, minLength, gap, fromGroups);
                        ASSERT_EQ(fromGroups.size(), fromList.size())
                            << "column " << x << " min " << minLength << " gap " << gap;
                        for (std::size_t k = 0; k < fromList.size(); ++k)
                            EXPECT_EQ(key(fromGroups[k]), key(fromList[k])) << "column " << x;
                    }
                }
        }
}

TEST(ColumnSegmentsTest, RunsTouchingTheFirstAndLastRowsAreWhole) {
    for (const int height : {128, 150}) {
        TestPage page(3, height);
        for (int y = 0; y < height; ++y) page.set(0, y);           // one run, all rows
        for (int y = 0; y < 90; ++y) page.set(1, y);               // from the first row
        for (int y = height - 90; y < height; ++y) page.set(2, y); // to the last
        const ColumnChanges changes(page.toBitmap());
        for (std::int32_t x = 0; x < 3; ++x) {
            std::vector<LaSegment> found;
            quadrel::appendColumnSegments(changes, x, 80, 3, found);
            ASSERT_EQ(found.size(), 1u) << "column " << x;
            EXPECT_EQ(found[0].end - found[0].start, x == 0 ? height : 90);
            EXPECT_EQ(found[0].start, x == 2 ? height - 90 : 0);
        }
    }
}

TEST(ColumnSegmentsTest, ColumnsOutsideTheWantedGroupsReadWhite) {
    const TestPage page = strokePage(200, 100, 600, 7);
    const quadrel::LaBitmap bitmap = page.toBitmap();
    std::vector<std::uint8_t> wanted(200, 0);
    wanted[70] = 1; // turns columns 64 ... 127 only
    const ColumnChanges all(bitmap);
    const ColumnChanges some(bitmap, wanted);
    std::vector<std::int32_t> a(110);
    std::vector<std::int32_t> b(110);
    for (std::int32_t x = 0; x < 200; ++x) {
        const bool turned = x >= 64 && x < 128;
        ASSERT_GT(all.count(x), 0u);
        EXPECT_EQ(some.count(x), turned ? all.count(x) : 0u) << "column " << x;
        if (!turned) continue;
        std::int32_t* endA = all.write(x, a.data());
        std::int32_t* endB = some.write(x, b.data());
        EXPECT_EQ(std::vector<std::int32_t>(b.data(), endB),
                  std::vector<std::int32_t>(a.data(), endA));
    }
}

void expectSameLines(const FoundLines& a, const FoundLines& b) {
    const auto box = [](const quadrel::LaRegionRecord& l) {
        return std::tuple(l.xMin, l.yMin, l.xMax, l.yMax, l.length, l.thickness, l.density);
    };
    ASSERT_EQ(a.lines.size(), b.lines.size());
    for (std::size_t i = 0; i < a.lines.size(); ++i) EXPECT_EQ(box(a.lines[i]), box(b.lines[i]));
    ASSERT_EQ(a.segments.size(), b.segments.size());
    for (std::size_t c = 0; c < a.segments.size(); ++c) {
        ASSERT_EQ(a.segments[c].size(), b.segments[c].size()) << "line " << c;
        for (std::size_t k = 0; k < a.segments[c].size(); ++k) {
            EXPECT_EQ(key(a.segments[c][k]), key(b.segments[c][k]));
            EXPECT_EQ(a.segments[c][k].lineId, b.segments[c][k].lineId);
        }
    }
}

constexpr LineOrientation kBoth[] = {LineOrientation::kVertical, LineOrientation::kHorizontal};

quadrel::RunAxis axisOf(LineOrientation orientation) {
    return orientation == LineOrientation::kVertical ? quadrel::RunAxis::kColumns
                                                     : quadrel::RunAxis::kRows;
}

FoundLines search(const quadrel::LaBitmap& page, LineOrientation orientation, std::int32_t gap,
                  std::int32_t laterGap = 0) {
    FoundLines found;
    EXPECT_EQ(quadrel::findLines(page, orientation, 80, gap, found, laterGap), LA_STATUS_OK);
    return found;
}

TEST(KeptSegmentsTest, ALaterSearchTakesTheSegmentsFoundAhead) {
    const TestPage grid = testsupport::generatedRuledGridPage();
    const TestPage dithered = testsupport::generatedDitheredPage();
    for (const TestPage* source : {&grid, &dithered})
        for (LineOrientation along : kBoth) {
            const quadrel::LaBitmap page = source->toBitmap();
            const FoundLines fresh3 = search(page, along, 3);
            const FoundLines fresh7 = search(page, along, 7);
            if (source == &grid) {
                EXPECT_FALSE(fresh7.lines.empty()) << "the grid's rules";
            }
            const RunTableMemo memo;
            expectSameLines(search(page, along, 3, 7), fresh3);
            if (along == LineOrientation::kVertical) {
                EXPECT_FALSE(RunTableMemo::findPacked(page))
                    << "segments are kept in place of runs";
            }
            expectSameLines(search(page, along, 7), fresh7); // the kept segments
            EXPECT_FALSE(RunTableMemo::takeSegments(page, axisOf(along), 80, 7))
                << "handed over once";
            expectSameLines(search(page, along, 7), fresh7); // the pixels (or kept runs) again
        }
}

TEST(KeptSegmentsTest, OnlyTheSameSearchOfTheSamePixelsTakesThem) {
    TestPage source = testsupport::generatedRuledGridPage();
    const quadrel::LaBitmap page = source.toBitmap();
    TestPage changed = source;
    changed.set(source.width() / 2, source.height() / 2, true);
    changed.set(source.width() / 2 + 1, source.height() / 2, false);
    for (LineOrientation along : kBoth) {
        const quadrel::RunAxis axis = axisOf(along);
        const quadrel::RunAxis other = along == LineOrientation::kVertical
                                           ? quadrel::RunAxis::kRows
                                           : quadrel::RunAxis::kColumns;
        const RunTableMemo memo;
        search(page, along, 3, 7);
        EXPECT_FALSE(RunTableMemo::takeSegments(page, axis, 81, 7));
        EXPECT_FALSE(RunTableMemo::takeSegments(page, axis, 80, 3));
        EXPECT_FALSE(RunTableMemo::takeSegments(page, other, 80, 7));
        EXPECT_FALSE(RunTableMemo::takeSegments(changed.toBitmap(), axis, 80, 7));
        ASSERT_TRUE(RunTableMemo::takeSegments(page, axis, 80, 7));

        search(page, along, 3, 7);
        RunTableMemo::drop(page, axis);
        EXPECT_FALSE(RunTableMemo::takeSegments(page, axis, 80, 7)) << "dropped with the runs";
    }
}

TEST(KeptSegmentsTest, NothingIsKeptWithoutALaterGap) {
    const quadrel::LaBitmap page = testsupport::generatedDitheredPage().toBitmap();
    for (LineOrientation along : kBoth) {
        const RunTableMemo memo;
        search(page, along, 3);
        EXPECT_FALSE(RunTableMemo::takeSegments(page, axisOf(along), 80, 3));
        EXPECT_FALSE(RunTableMemo::takeSegments(page, axisOf(along), 80, 7));
    }
}

} // namespace
