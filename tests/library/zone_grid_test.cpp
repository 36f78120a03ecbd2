// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The grid index of zone boxes, and the zone clean-up that rests on it: both
// must give exactly what looking at every pair gives.
#include "library/la_api.h"
#include "library/zone_cleanup.h"
#include "library/zone_grid.h"
#include "library/zone_merge_rules.h"

#include <gtest/gtest.h>

#include <cstdint>
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

TEST(ZoneGridTest, LineIndexFindsASeparatingLineWhenOneExists) {
    for (std::uint32_t trial = 1; trial <= 10; ++trial) {
        std::vector<LaZone> lines = randomZones(trial, 60);
        for (LaZone& line : lines) line.bottom = line.top + (line.bottom - line.top) % 7;
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

} // namespace
