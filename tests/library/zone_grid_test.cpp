// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The grid index of zone boxes, the zone clean-up that rests on it and the
// stacked merge rule with its late line search: all must give exactly what
// the plain loop over every pair gives.
#include "library/la_api.h"
#include "library/zone_cleanup.h"
#include "library/zone_grid.h"
#include "library/zone_merge_rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

using quadrel::LaZone;

// A fixed generator, the same on every standard library.
struct Lcg {
    std::uint32_t state;
    std::int32_t next(std::int32_t bound) {
        state = state * 1103515245u + 12345u;
        return std::int32_t((state >> 16) % std::uint32_t(bound));
    }
};

// Zones of every content on a 1000 x 1000 page: many small ones, nested and
// touching ones, some at the page edge, some with reversed spans.
std::vector<LaZone> randomZones(std::uint32_t trial, int count) {
    static const std::int32_t contents[] = {LA_CONTENT_TEXT, LA_CONTENT_PICTURE,
                                            LA_CONTENT_INVERTED_TEXT, LA_CONTENT_NOISE,
                                            LA_CONTENT_LINE};
    Lcg random{trial};
    std::vector<LaZone> zones;
    for (int k = 0; k < count; ++k) {
        LaZone z;
        const std::int32_t size = random.next(8) == 0 ? 600 : 60;
        z.left = random.next(1000);
        z.top = random.next(1000);
        z.right = z.left + random.next(size) - (random.next(40) == 0 ? 20 : 0);
        z.bottom = z.top + random.next(size) - (random.next(40) == 0 ? 20 : 0);
        if (random.next(10) == 0 && !zones.empty()) { // inside or on an earlier zone
            const LaZone& o = zones[std::size_t(random.next(std::int32_t(zones.size())))];
            z.left = o.left + random.next(3);
            z.top = o.top;
            z.right = o.right - random.next(3);
            z.bottom = o.bottom;
        }
        z.content = contents[random.next(5)];
        z.index = std::int32_t(k);
        zones.push_back(z);
    }
    return zones;
}

bool sameZones(const std::vector<LaZone>& a, const std::vector<LaZone>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].left != b[i].left || a[i].top != b[i].top || a[i].right != b[i].right ||
            a[i].bottom != b[i].bottom || a[i].content != b[i].content || a[i].index != b[i].index)
            return false;
    return true;
}

TEST(ZoneGridTest, FindsExactlyTheBoxesSharingAPixel) {
    for (std::uint32_t trial = 1; trial <= 20; ++trial) {
        const std::vector<LaZone> zones = randomZones(trial, 300);
        const quadrel::ZoneGrid grid(zones);
        for (const LaZone& box : zones) {
            std::vector<std::int32_t> expected;
            for (std::size_t j = 0; j < zones.size(); ++j) {
                const LaZone& o = zones[j];
                if (quadrel::zoneWellFormed(box) && quadrel::zoneWellFormed(o) &&
                    box.left <= o.right && o.left <= box.right && box.top <= o.bottom &&
                    o.top <= box.bottom)
                    expected.push_back(std::int32_t(j));
            }
            std::vector<std::int32_t> found;
            grid.meeting(box, found);
            ASSERT_EQ(found, expected) << "trial " << trial;
        }
    }
}

TEST(ZoneGridTest, EmptyAndReversedOnlyTablesFindNothing) {
    const std::vector<LaZone> none;
    std::vector<std::int32_t> found;
    quadrel::ZoneGrid(none).meeting(LaZone{0, 0, 10, 10, LA_CONTENT_TEXT, 0}, found);
    const std::vector<LaZone> reversed{LaZone{10, 0, 5, 10, LA_CONTENT_TEXT, 0}};
    quadrel::ZoneGrid(reversed).meeting(LaZone{0, 0, 10, 10, LA_CONTENT_TEXT, 0}, found);
    EXPECT_TRUE(found.empty());
}

TEST(ZoneGridTest, CleanUpMarksWhatTheLoopOverEveryPairMarks) {
    for (std::uint32_t trial = 1; trial <= 40; ++trial) {
        std::vector<LaZone> expected = randomZones(trial, 250);
        std::vector<LaZone> actual = expected;
        for (std::size_t i = 0; i < expected.size(); ++i)
            for (std::size_t j = 0; j < expected.size(); ++j)
                if (j != i && expected[i].index != -1 && expected[j].index != -1)
                    quadrel::applyRedundancyRules(expected[i], expected[j], 1000, 1000);
        quadrel::markRedundantZones(actual, 1000, 1000);
        ASSERT_TRUE(sameZones(actual, expected)) << "trial " << trial;
    }
}

// Random zones flattened to lines less than `height` rows tall.
std::vector<LaZone> randomLines(std::uint32_t trial, int count, std::int32_t height) {
    std::vector<LaZone> lines = randomZones(trial, count);
    for (LaZone& line : lines) line.bottom = line.top + (line.bottom - line.top) % height;
    return lines;
}

TEST(ZoneGridTest, LineIndexFindsASeparatingLineWhenOneExists) {
    for (std::uint32_t trial = 1; trial <= 10; ++trial) {
        const std::vector<LaZone> lines = randomLines(trial, 60, 7);
        const quadrel::HorizontalLines index(lines);
        const std::vector<LaZone> zones = randomZones(trial + 100, 120);
        for (const LaZone& a : zones)
            for (const LaZone& b : zones) {
                const LaZone& lower = a.top > b.bottom ? a : b;
                const LaZone& upper = a.top > b.bottom ? b : a;
                bool expected = false;
                if (a.top > b.bottom || b.top > a.bottom)
                    for (const LaZone& l : lines)
                        expected = expected || (l.top <= lower.top && l.bottom >= upper.bottom &&
                                                l.left <= lower.right && lower.left <= l.right &&
                                                l.left <= upper.right && upper.left <= l.right);
                ASSERT_EQ(index.separate(a, b), expected) << "trial " << trial;
            }
    }
}

// The stacked rule as first written: column, lines, text size, gap, in that
// order. The library asks for the lines last; answers and the run modes
// carried over between pairs must not change.
bool plainStackedRule(const LaZone& a, quadrel::LaTextStats& sa, const LaZone& b,
                      const quadrel::LaTextStats& sb, const quadrel::HorizontalLines& lines) {
    const auto area = [](const LaZone& z) {
        return (std::int64_t(z.right) - z.left) * (std::int64_t(z.bottom) - z.top);
    };
    if (area(b) > area(a) ? quadrel::liesWithinTolerance(a, b) : quadrel::liesWithinTolerance(b, a))
        return true;
    if (std::abs(std::int64_t(a.left) - b.left) > 100) return false;
    const std::int64_t unionWidth =
        std::int64_t(std::max(a.right, b.right)) - std::min(a.left, b.left);
    if (unionWidth <= 0) return false;
    const std::int64_t common = std::int64_t(std::min(a.right, b.right)) - std::max(a.left, b.left);
    if (common * 1000 / unionWidth <= 10 || lines.separate(a, b)) return false;
    if (!quadrel::sameTextSize(sa, sb)) return false;
    const std::int64_t gap = a.top > b.bottom   ? std::int64_t(a.top) - b.bottom
                             : b.top > a.bottom ? std::int64_t(b.top) - a.bottom
                                                : 500000;
    return gap < std::int64_t(std::max(sa.heightMode, sb.heightMode)) * 1250 / 1000;
}

TEST(ZoneMergeRulesTest, StackedRuleAsksForLinesOnlyWhenTheyMatter) {
    for (std::uint32_t trial = 1; trial <= 20; ++trial) {
        const quadrel::HorizontalLines index(randomLines(trial, 40, 5));
        const std::vector<LaZone> zones = randomZones(trial + 200, 150);
        Lcg random{trial};
        std::vector<quadrel::LaTextStats> expected(zones.size());
        for (quadrel::LaTextStats& s : expected)
            s = {20, 20, 4 + random.next(4), random.next(8) == 0 ? 0 : 10 + random.next(30)};
        std::vector<quadrel::LaTextStats> actual = expected;
        int merges = 0;
        for (std::size_t i = 0; i < zones.size(); ++i)
            for (std::size_t j = i + 1; j < zones.size(); ++j) {
                const bool want =
                    plainStackedRule(zones[i], expected[i], zones[j], expected[j], index);
                ASSERT_EQ(quadrel::zonesBelongTogether(zones[i], actual[i], zones[j], actual[j],
                                                       quadrel::kStackedPass, index),
                          want)
                    << "trial " << trial << " pair " << i << ", " << j;
                ASSERT_EQ(actual[i].runMode, expected[i].runMode) << "trial " << trial;
                merges += want;
            }
        EXPECT_GT(merges, 0) << "trial " << trial;
    }
}

} // namespace
