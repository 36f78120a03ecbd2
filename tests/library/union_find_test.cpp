// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The union-find every labelling and merging step shares: which root a union
// keeps, and how groups are numbered.
#include "library/image/union_find.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using quadrel::UnionFind;

TEST(UnionFindTest, JoinKeepsTheSmallerRootWhicheverWayRound) {
    UnionFind sets(6);
    EXPECT_EQ(sets.join(4, 2), 2);
    EXPECT_EQ(sets.join(1, 5), 1);
    EXPECT_EQ(sets.join(4, 5), 1); // joins the roots 2 and 1, not the items
    for (std::int32_t item : {1, 2, 4, 5}) EXPECT_EQ(sets.root(item), 1) << item;
    EXPECT_EQ(sets.join(2, 4), 1); // already one set
    EXPECT_EQ(sets.root(0), 0);
    EXPECT_EQ(sets.root(3), 3);
}

TEST(UnionFindTest, AttachKeepsTheOtherRootEvenWhenLarger) {
    UnionFind sets(4);
    sets.attach(0, 3);
    sets.attach(1, 0);
    EXPECT_EQ(sets.root(0), 3);
    EXPECT_EQ(sets.root(1), 3);
    sets.attach(3, 1); // same set: nothing changes
    EXPECT_EQ(sets.root(3), 3);
}

TEST(UnionFindTest, GroupsAreNumberedByFirstAppearanceOverTheItems) {
    UnionFind sets(6);
    sets.attach(0, 5); // root 5 lies after its first item
    sets.join(2, 4);
    std::int32_t count = -1;
    EXPECT_EQ(sets.number(count), (std::vector<std::int32_t>{0, 1, 2, 3, 2, 0}));
    EXPECT_EQ(count, 4);

    UnionFind none;
    EXPECT_TRUE(none.number(count).empty());
    EXPECT_EQ(count, 0);
}

TEST(UnionFindTest, AddedItemsStartInSetsOfTheirOwn) {
    UnionFind sets;
    EXPECT_EQ(sets.add(), 0);
    EXPECT_EQ(sets.add(), 1);
    EXPECT_EQ(sets.add(), 2);
    sets.join(2, 1);
    EXPECT_EQ(sets.size(), 3u);
    EXPECT_EQ(sets.root(2), 1);
    EXPECT_EQ(sets.root(0), 0);
}

// A long chain is walked once; later lookups still find the same root.
TEST(UnionFindTest, LookupsShortenChainsWithoutMovingRoots) {
    const std::int32_t n = 1000;
    UnionFind sets(n);
    for (std::int32_t i = n - 1; i > 0; --i) sets.attach(i, i - 1);
    for (std::int32_t i = n - 1; i >= 0; --i) ASSERT_EQ(sets.root(i), 0) << i;
    std::int32_t count = 0;
    sets.number(count);
    EXPECT_EQ(count, 1);
}

} // namespace
