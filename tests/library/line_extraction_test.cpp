// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "library/image/line_extraction.h"
#include "tests/support/test_page.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <random>
#include <vector>

namespace {

using quadrel::FoundLines;
using quadrel::LaRun;
using quadrel::LaSegment;
using quadrel::LineOrientation;
using testsupport::TestPage;

std::vector<LaSegment> segmentsOf(std::vector<LaRun> runs, std::int32_t minLength,
                                  std::int32_t gap) {
    std::vector<LaSegment> segments;
    quadrel::buildSegments(runs, minLength, gap, segments);
    return segments;
}

LaRun run(std::int32_t start, std::int32_t end) {
    return LaRun{start, end, 0};
}

LaSegment segment(std::int32_t start, std::int32_t end) {
    LaSegment s;
    s.start = start;
    s.end = end;
    return s;
}

FoundLines find(const TestPage& page, LineOrientation orientation, std::int32_t minLength = 80,
                std::int32_t gap = 3, int blackIsZero = 0) {
    FoundLines found;
    EXPECT_EQ(quadrel::findLines(page.toBitmap(blackIsZero), orientation, minLength, gap, found),
              0);
    return found;
}

TEST(SegmentTest, GapsBelowTheBridgingGapAreBridgedAndEqualOnesAreNot) {
    const std::int32_t gap = 7;
    // Anchor [0, 100), then a 40-pixel run after a gap of G - 1.
    auto joined = segmentsOf({run(0, 100), run(106, 146)}, 80, gap);
    ASSERT_EQ(joined.size(), 1u);
    EXPECT_EQ(joined[0].end, 146);
    EXPECT_EQ(joined[0].inkCount, 140);
    EXPECT_EQ(joined[0].runEnd, 2);
    // The same run after a gap of exactly G stays apart.
    auto apart = segmentsOf({run(0, 100), run(107, 147)}, 80, gap);
    ASSERT_EQ(apart.size(), 1u);
    EXPECT_EQ(apart[0].end, 100);
    // Leftwards alike.
    auto left = segmentsOf({run(0, 40), run(46, 146)}, 80, gap);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].start, 0);
    EXPECT_EQ(left[0].firstRun, 0);
    EXPECT_EQ(segmentsOf({run(0, 40), run(47, 147)}, 80, gap)[0].start, 47);
}

TEST(SegmentTest, ShortRunJoinsAnAnchorRunWhileTheSegmentStaysDense) {
    // 81 * 1000 / 83 = 975 > 850.
    auto s = segmentsOf({run(10, 90), run(92, 93)}, 80, 3);
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0].start, 10);
    EXPECT_EQ(s[0].end, 93);
    EXPECT_EQ(s[0].span, 83);
    EXPECT_EQ(s[0].inkCount, 81);
    EXPECT_EQ(s[0].density, 975);
    // Without an anchor run nothing forms: 79 pixels are one short.
    EXPECT_TRUE(segmentsOf({run(10, 89), run(91, 92)}, 80, 3).empty());
}

TEST(SegmentTest, RunRefusedForDensityDoesNotEndTheGrowth) {
    // [0,10) + gap 2 + [12,13): 11 * 1000 / 13 = 846, refused. The next run is
    // 4 pixels from the segment (< 7) and 26 * 1000 / 30 = 866 joins it.
    auto s = segmentsOf({run(0, 10), run(12, 13), run(14, 30)}, 10, 7);
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0].end, 30);
    EXPECT_EQ(s[0].inkCount, 26);
    EXPECT_EQ(s[0].span, 30);
    EXPECT_EQ(s[0].runEnd, 2); // only taken runs count
    // With gap 3 the third run is 4 pixels from the segment: the growth stops.
    EXPECT_EQ(segmentsOf({run(0, 10), run(12, 13), run(14, 30)}, 10, 3)[0].end, 10);
}

TEST(SegmentTest, GrowthStopsAtAWideGapAndTheNextAnchorStartsANewSegment) {
    auto s = segmentsOf({run(0, 80), run(81, 82), run(90, 170), run(200, 201)}, 80, 3);
    ASSERT_EQ(s.size(), 2u);
    EXPECT_EQ(s[0].start, 0);
    EXPECT_EQ(s[0].end, 82);
    EXPECT_EQ(s[1].start, 90);
    EXPECT_EQ(s[1].end, 170);
    EXPECT_EQ(s[1].firstRun, 2);
}

TEST(LinkTest, DiagonalTouchLinksAndAOnePixelGapDoesNot) {
    quadrel::SegmentTable touching = {{segment(0, 50)}, {segment(50, 120)}};
    EXPECT_EQ(quadrel::linkSegments(touching), 1);
    quadrel::SegmentTable apart = {{segment(0, 50)}, {segment(51, 120)}};
    EXPECT_EQ(quadrel::linkSegments(apart), 2);
    EXPECT_EQ(apart[1][0].lineId, 1);
}

TEST(LinkTest, LinesAreNumberedByFirstRowThenLeftToRight) {
    // Row 0: A, B. Row 1: C joins B, D new. Row 2: E bridges B's line and D.
    quadrel::SegmentTable t = {{segment(0, 10), segment(20, 30)},
                               {segment(25, 35), segment(50, 60)},
                               {segment(30, 55)},
                               {segment(0, 5)}};
    EXPECT_EQ(quadrel::linkSegments(t), 3);
    EXPECT_EQ(t[0][0].lineId, 0);
    EXPECT_EQ(t[0][1].lineId, 1);
    EXPECT_EQ(t[1][0].lineId, 1);
    EXPECT_EQ(t[1][1].lineId, 1); // D ends up with B's line through E
    EXPECT_EQ(t[2][0].lineId, 1);
    EXPECT_EQ(t[3][0].lineId, 2);
}

// With an anchor length of 1 and no bridging, segments are the runs and lines
// are the 8-connected components; compare with a plain pixel flood fill.
TEST(LinkTest, LinesMatchEightConnectedComponentsOnRandomPages) {
    std::mt19937 generator(20240611u);
    for (int trial = 0; trial < 60; ++trial) {
        const int w = 48;
        const int h = 40;
        TestPage page(w, h);
        std::bernoulli_distribution ink(trial % 2 ? 0.45 : 0.3);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) page.set(x, y, ink(generator));

        std::vector<int> component(std::size_t(w * h), -1);
        int count = 0;
        for (int y0 = 0; y0 < h; ++y0) {
            for (int x0 = 0; x0 < w; ++x0) {
                if (!page.black(x0, y0) || component[std::size_t(y0 * w + x0)] >= 0) continue;
                std::vector<std::array<int, 2>> stack{{x0, y0}};
                component[std::size_t(y0 * w + x0)] = count;
                while (!stack.empty()) {
                    const auto [x, y] = stack.back();
                    stack.pop_back();
                    for (int dy = -1; dy <= 1; ++dy)
                        for (int dx = -1; dx <= 1; ++dx) {
                            const int nx = x + dx, ny = y + dy;
                            if (nx < 0 || ny < 0 || nx >= w || ny >= h) continue;
                            int& c = component[std::size_t(ny * w + nx)];
                            if (!page.black(nx, ny) || c >= 0) continue;
                            c = count;
                            stack.push_back({nx, ny});
                        }
                }
                ++count;
            }
        }

        const FoundLines found = find(page, LineOrientation::kHorizontal, 1, 1);
        ASSERT_EQ(int(found.lines.size()), count) << "trial " << trial;
        for (int y = 0; y < h; ++y)
            for (const LaSegment& s : found.segments[std::size_t(y)])
                for (int x = s.start; x < s.end; ++x)
                    ASSERT_EQ(s.lineId, component[std::size_t(y * w + x)]) << "trial " << trial;
    }
}

TEST(FindLinesTest, HorizontalRuleIsMeasuredAlongAndAcross) {
    TestPage page(400, 100);
    page.fillRect(50, 40, 200, 2);
    for (int blackIsZero : {0, 1}) {
        const FoundLines found = find(page, LineOrientation::kHorizontal, 80, 3, blackIsZero);
        ASSERT_EQ(found.lines.size(), 1u);
        const auto& line = found.lines[0];
        EXPECT_EQ(line.xMin, 50);
        EXPECT_EQ(line.xMax, 250);
        EXPECT_EQ(line.yMin, 40);
        EXPECT_EQ(line.yMax, 41);
        EXPECT_EQ(line.length, 200);
        EXPECT_EQ(line.thickness, 2);
        EXPECT_EQ(line.inkCount, 400);
        EXPECT_EQ(line.area, 400);
        EXPECT_EQ(line.density, 1000);
        EXPECT_EQ(found.segments[40].size(), 1u);
        EXPECT_TRUE(found.segments[39].empty());
    }
}

TEST(FindLinesTest, VerticalRuleBoxIsInImageAxes) {
    TestPage page(60, 500);
    page.fillRect(20, 10, 3, 400);
    const FoundLines found = find(page, LineOrientation::kVertical);
    ASSERT_EQ(found.lines.size(), 1u);
    const auto& line = found.lines[0];
    EXPECT_EQ(line.xMin, 20);
    EXPECT_EQ(line.xMax, 22); // last column, inclusive across the line
    EXPECT_EQ(line.yMin, 10);
    EXPECT_EQ(line.yMax, 410); // one past the last row along the line
    EXPECT_EQ(line.length, 400);
    EXPECT_EQ(line.thickness, 3);
    EXPECT_EQ(line.density, 1000);
    ASSERT_EQ(found.segments.size(), 60u); // one list per column
    EXPECT_EQ(found.segments[21][0].lineId, 0);
    // No horizontal run is long enough.
    EXPECT_TRUE(find(page, LineOrientation::kHorizontal).lines.empty());
}

TEST(FindLinesTest, ColumnBlackToTheLastRowEndsAtHeight) {
    TestPage page(10, 120);
    page.fillRect(4, 30, 1, 90);
    const auto runs = quadrel::buildColumnRunTable(page.toBitmap(1));
    ASSERT_EQ(runs[4].size(), 1u);
    EXPECT_EQ(runs[4][0].start, 30);
    EXPECT_EQ(runs[4][0].end, 120);
    EXPECT_TRUE(runs[3].empty());
}

TEST(FindLinesTest, DashesShorterThanTheAnchorLengthGiveNoLine) {
    TestPage page(400, 20);
    for (int x = 10; x + 20 <= 390; x += 22) page.fillRect(x, 8, 20, 2);
    EXPECT_TRUE(find(page, LineOrientation::kHorizontal, 80, 3).lines.empty());
    EXPECT_TRUE(find(page, LineOrientation::kHorizontal, 80, 7).lines.empty());
}

TEST(FindLinesTest, BlankOrEmptyBitmapHasNoLines) {
    EXPECT_TRUE(find(TestPage(100, 100), LineOrientation::kVertical).lines.empty());
    FoundLines found;
    EXPECT_EQ(quadrel::findLines(quadrel::LaBitmap{}, LineOrientation::kHorizontal, 80, 3, found),
              0);
    EXPECT_TRUE(found.lines.empty());
}

} // namespace
