// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "library/image/group_elements.h"
#include "library/la_api.h"
#include "tests/support/test_page.h"

#include <gtest/gtest.h>

#include <array>
#include <numeric>

namespace {

using quadrel::LaComponent;
using quadrel::LaLineGroup;
using testsupport::TestPage;

struct Grouped {
    std::int32_t status = -1;
    std::vector<LaComponent> components;
    std::vector<LaLineGroup> groups;
};

Grouped groupPage(const TestPage& page, int groupingSize = 8, int blackIsZero = 0) {
    quadrel::LaBitmap bitmap = page.toBitmap(blackIsZero);
    quadrel::LaComponentSource source;
    source.rows = bitmap.height;
    source.width = bitmap.width;
    source.stride = bitmap.stride;
    source.options = 0x1010;
    source.blackIsZero = bitmap.blackIsZero;
    source.firstRow = bitmap.firstRow;
    Grouped result;
    EXPECT_EQ(quadrel::extractComponents(&source, &result.components), LA_STATUS_OK);
    quadrel::LaGroupRequest request;
    request.height = bitmap.height;
    request.width = bitmap.width;
    request.blackIsZero = bitmap.blackIsZero;
    request.groupingSize = groupingSize;
    result.status = quadrel::groupComponents(source, result.components, request, result.groups);
    return result;
}

// Solid blocks `height` rows high starting at row `top`, the first at column
// `left`, each `widths[k]` wide and separated by `gaps[k]` white columns.
void drawRow(TestPage& page, int left, int top, int height, const std::vector<int>& widths,
             const std::vector<int>& gaps) {
    int x = left;
    for (std::size_t k = 0; k < widths.size(); ++k) {
        page.fillRect(x, top, widths[k], height);
        x += widths[k] + (k < gaps.size() ? gaps[k] : 0);
    }
}

std::vector<std::int32_t> memberCounts(const LaLineGroup& group) {
    std::vector<std::int32_t> counts;
    for (const auto& e : group.elements) counts.push_back(e.memberCount);
    return counts;
}

std::vector<std::int32_t> elementsOfLine(int width, const std::vector<int>& gaps) {
    TestPage page(400, 40);
    drawRow(page, 5, 10, 20, std::vector<int>(gaps.size() + 1, width), gaps);
    const Grouped g = groupPage(page);
    EXPECT_EQ(g.status, 0);
    if (g.groups.size() != 1) {
        ADD_FAILURE() << "expected one group, got " << g.groups.size();
        return {};
    }
    return memberCounts(g.groups[0]);
}

TEST(GroupingParticipationTest, ADotOfExactlyTheGroupingSizeTakesNoPart) {
    TestPage nine(40, 40);
    nine.fillRect(10, 10, 9, 9);
    Grouped g = groupPage(nine, 9);
    EXPECT_EQ(g.status, 0);
    EXPECT_TRUE(g.groups.empty());
    EXPECT_EQ(g.components[0].linkA, -1);
    EXPECT_EQ(g.components[0].linkB, -1);
    EXPECT_EQ(g.components[0].spare, 0);

    TestPage wide(40, 40);
    wide.fillRect(10, 10, 10, 9);
    EXPECT_EQ(groupPage(wide, 9).groups.size(), 1u);
    TestPage tall(40, 40);
    tall.fillRect(10, 10, 9, 10);
    EXPECT_EQ(groupPage(tall, 9).groups.size(), 1u);
    // A size below 1 stands for 5.
    TestPage six(40, 40);
    six.fillRect(10, 10, 6, 3);
    EXPECT_EQ(groupPage(six, 0).groups.size(), 1u);
}

TEST(GroupingLinkTest, NeighboursLinkBelowTwoAndAQuarterHeightsGap) {
    TestPage near(200, 40);
    drawRow(near, 5, 10, 20, {10, 10}, {40});
    const Grouped linked = groupPage(near);
    ASSERT_EQ(linked.groups.size(), 1u);
    EXPECT_EQ(linked.components[0].linkB, 0);
    EXPECT_EQ(linked.components[1].linkB, 0);

    // 50 is past 2.45 x 20 rows for the link and past 2 x 19 for the line merge.
    TestPage far(200, 40);
    drawRow(far, 5, 10, 20, {10, 10}, {50});
    const Grouped apart = groupPage(far);
    ASSERT_EQ(apart.groups.size(), 2u);
    EXPECT_EQ(apart.components[0].linkB, 0);
    EXPECT_EQ(apart.components[1].linkB, 1);
}

TEST(GroupingLinkTest, ALinkNeedsMostOfTheTallerComponentsRows) {
    // B shares 11 of A's 20 rows: 550 per mille, not more than 551.
    TestPage page(200, 60);
    page.fillRect(5, 20, 10, 20);
    page.fillRect(25, 29, 10, 20);
    EXPECT_EQ(groupPage(page).groups.size(), 2u);
    TestPage more(200, 60);
    more.fillRect(5, 20, 10, 20);
    more.fillRect(25, 28, 10, 20); // 12 rows shared: 600 per mille
    EXPECT_EQ(groupPage(more).groups.size(), 1u);
}

TEST(GroupingLinkTest, AOneRowDashNeverLinks) {
    TestPage thin(100, 10);
    drawRow(thin, 5, 4, 1, {20, 20}, {3});
    EXPECT_EQ(groupPage(thin).groups.size(), 2u);
    TestPage twoRows(100, 10);
    drawRow(twoRows, 5, 4, 2, {20, 20}, {3});
    EXPECT_EQ(groupPage(twoRows).groups.size(), 1u);
}

TEST(GroupingLineMergeTest, LinesSideBySideMergeWithinTwiceTheirHeight) {
    // A tall bar between A and B is each one's right neighbour but shares too
    // few of its rows to link, so A and B form lines of their own; the line
    // merge then joins them when the gap is below 2 x 19.
    auto page = [](int gap, bool withBar) {
        TestPage p(200, 100);
        p.fillRect(5, 20, 10, 20);
        p.fillRect(15 + gap, 20, 10, 20);
        if (withBar) p.fillRect(20, 0, 3, 81);
        return p;
    };
    const Grouped merged = groupPage(page(30, true));
    ASSERT_EQ(merged.groups.size(), 2u);
    EXPECT_EQ(merged.components[0].linkB, 0); // the bar, first in scan order
    EXPECT_EQ(merged.components[1].linkB, 1);
    EXPECT_EQ(merged.components[2].linkB, 1);
    EXPECT_EQ(merged.groups[1].left, 5);
    EXPECT_EQ(merged.groups[1].right, 15 + 30 + 10);

    EXPECT_EQ(groupPage(page(45, true)).groups.size(), 3u);
    EXPECT_EQ(groupPage(page(45, false)).groups.size(), 1u); // linked directly
}

TEST(GroupingElementTest, AWideGapAmongNormalSpacingStartsANewElement) {
    TestPage page(400, 80);
    drawRow(page, 5, 50, 20, {10, 10, 10, 10, 10, 10}, {4, 4, 4, 20, 4});
    drawRow(page, 5, 10, 20, {10, 10, 10, 10}, {4, 4, 20});
    for (int polarity : {0, 1}) {
        const Grouped g = groupPage(page, 8, polarity);
        ASSERT_EQ(g.groups.size(), 2u);
        // The lower line comes first: its components start on earlier rows.
        EXPECT_EQ(memberCounts(g.groups[0]), (std::vector<std::int32_t>{3, 1}));
        EXPECT_EQ(memberCounts(g.groups[1]), (std::vector<std::int32_t>{4, 2}));
        const quadrel::LaElement& e = g.groups[1].elements[1];
        EXPECT_EQ(e.left, 5 + 4 * 14 + 16);
        EXPECT_EQ(e.right, 5 + 6 * 10 + 4 * 4 + 20);
        EXPECT_EQ(e.top, 50);
        EXPECT_EQ(e.bottom, 69);
        EXPECT_EQ(e.kind, 1);
        EXPECT_EQ(e.blockLink, 0);
        // Links: element within the group, the group, and the element number
        // over all groups.
        const LaComponent& last = g.components.back();
        EXPECT_EQ(last.linkA, 1);
        EXPECT_EQ(last.linkB, 1);
        EXPECT_EQ(last.spare, 2 + 1);
        EXPECT_EQ(g.components[0].spare, 0);
        EXPECT_EQ(g.components[2].spare, 0);
        EXPECT_EQ(g.components[3].spare, 1);
    }
}

TEST(GroupingElementTest, TheSecondPassCutsAtTheGapHistogramsMode) {
    // The first pass keeps these together (6 <= 2.15 x 3 + 0.5); the second
    // cuts at twice the typical gap.
    EXPECT_EQ(elementsOfLine(10, {3, 3, 3, 6, 3, 3}), (std::vector<std::int32_t>{4, 3}));
    // With most gaps of 1 the second pass cuts at 4 and more; the narrow
    // ratio (4 / 21) keeps the first pass from cutting.
    EXPECT_EQ(elementsOfLine(20, {1, 1, 1, 4, 1, 1}), (std::vector<std::int32_t>{4, 3}));
    EXPECT_EQ(elementsOfLine(20, {1, 1, 1, 3, 1, 1}), (std::vector<std::int32_t>{7}));
}

TEST(GroupingElementTest, TheLastGapOfALineNeverCutsInTheSecondPass) {
    EXPECT_EQ(elementsOfLine(10, {3, 3, 3, 6, 3}), (std::vector<std::int32_t>{4, 2}));
    EXPECT_EQ(elementsOfLine(10, {3, 3, 3, 3, 6}), (std::vector<std::int32_t>{6}));
}

TEST(GroupingElementTest, ElementsTallerThan301RowsArePictureElements) {
    TestPage page(100, 320);
    page.fillRect(5, 2, 12, 301);  // bottom - top = 300
    page.fillRect(60, 2, 12, 302); // 301
    const Grouped g = groupPage(page);
    ASSERT_EQ(g.groups.size(), 1u);
    ASSERT_EQ(g.groups[0].elementCount, 2);
    EXPECT_EQ(g.groups[0].elements[0].kind, 1);
    EXPECT_EQ(g.groups[0].elements[1].kind, 2);
}

std::vector<LaComponent> boxes(const std::vector<std::array<int, 4>>& list) {
    std::vector<LaComponent> components;
    for (const auto& b : list) {
        LaComponent c;
        c.xMin = b[0];
        c.xEnd = b[1];
        c.yMin = b[2];
        c.yMax = b[3];
        components.push_back(c);
    }
    return components;
}

TEST(GroupingElementTest, ScatteredDotsFarApartGetNoElements) {
    // Heights (yMax - yMin) of 2: a group whose narrowest gap is above 25 is
    // not a line.
    auto scattered = boxes({{80, 90, 0, 2}, {0, 10, 0, 2}, {40, 50, 0, 2}});
    std::vector<std::int32_t> members{0, 1, 2};
    const LaLineGroup none = quadrel::cutGroupIntoElements(members, scattered, 3);
    EXPECT_EQ(none.elementCount, 0);
    EXPECT_TRUE(none.elements.empty());
    EXPECT_EQ(none.left, 0);
    EXPECT_EQ(none.right, 90);
    for (const auto& c : scattered) EXPECT_EQ(c.linkA, -1);

    auto close = boxes({{70, 80, 0, 2}, {0, 10, 0, 2}, {35, 45, 0, 2}});
    members = {0, 1, 2};
    const LaLineGroup some = quadrel::cutGroupIntoElements(members, close, 3);
    EXPECT_GT(some.elementCount, 0);
    EXPECT_EQ(close[1].linkB, 3);
    EXPECT_EQ(close[1].linkA, 0);

    auto single = boxes({{0, 10, 0, 0}});
    members = {0};
    EXPECT_EQ(quadrel::cutGroupIntoElements(members, single, 0).elementCount, 1);
}

TEST(GroupingSortTest, EqualLeftEdgesComeOutInTheQuicksortsOrder) {
    // Ten equal keys are one partition step: pairs swapped from both ends.
    auto equal = boxes(std::vector<std::array<int, 4>>(10, {7, 9, 0, 0}));
    std::vector<std::int32_t> members(10);
    std::iota(members.begin(), members.end(), 0);
    quadrel::sortByLeftEdge(members, equal);
    EXPECT_EQ(members, (std::vector<std::int32_t>{9, 8, 7, 6, 5, 4, 3, 2, 1, 0}));
    // Eight are finished by neighbour swaps, which leave equal keys alone.
    members.assign({0, 1, 2, 3, 4, 5, 6, 7});
    quadrel::sortByLeftEdge(members, equal);
    EXPECT_EQ(members, (std::vector<std::int32_t>{0, 1, 2, 3, 4, 5, 6, 7}));

    std::vector<std::array<int, 4>> list;
    for (int k = 0; k < 200; ++k) list.push_back({(k * 37) % 23, 30, 0, 0});
    auto mixed = boxes(list);
    members.resize(200);
    std::iota(members.begin(), members.end(), 0);
    quadrel::sortByLeftEdge(members, mixed);
    for (std::size_t k = 1; k < members.size(); ++k)
        EXPECT_LE(mixed[std::size_t(members[k - 1])].xMin, mixed[std::size_t(members[k])].xMin);
}

} // namespace
