// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Sets of the items 0 … n − 1 kept as a parent table, the one union-find of
// the library (run labelling, line linking, grouping, block and zone merging).
//
// Which root a union keeps is part of every result, so it is never left to
// chance: `join` keeps the smaller of the two roots, `attach` keeps the root
// of the item it attaches to. Lookups halve the paths they walk, which
// shortens later walks but never changes a root. Groups are numbered in order
// of first appearance over the items, so group order follows item order.
#pragma once

#include <cstdint>
#include <vector>

namespace quadrel {

class UnionFind {
  public:
    UnionFind() = default;
    // `count` items, each in a set of its own.
    explicit UnionFind(std::size_t count);

    std::size_t size() const { return parent_.size(); }
    void reserve(std::size_t count) { parent_.reserve(count); }

    // Adds an item in a set of its own; returns its number.
    std::int32_t add() {
        const auto item = std::int32_t(parent_.size());
        parent_.push_back(item);
        return item;
    }

    // The root of the item's set.
    std::int32_t root(std::int32_t item) {
        while (parent_[index(item)] != item) {
            parent_[index(item)] = parent_[index(parent_[index(item)])];
            item = parent_[index(item)];
        }
        return item;
    }

    // Joins the sets of `a` and `b` under the smaller of their roots, and
    // returns that root.
    std::int32_t join(std::int32_t a, std::int32_t b) {
        const std::int32_t ra = root(a);
        const std::int32_t rb = root(b);
        if (rb < ra) {
            parent_[index(ra)] = rb;
            return rb;
        }
        parent_[index(rb)] = ra;
        return ra;
    }

    // Puts the set of `item` under the root of `other`, whichever is smaller.
    void attach(std::int32_t item, std::int32_t other) {
        const std::int32_t target = root(other);
        parent_[index(root(item))] = target;
    }

    // The group number of every item: groups numbered 0, 1, … in order of
    // first appearance over the items. The number of groups goes to
    // `groupCount`. Throws std::bad_alloc when the numbers cannot be held.
    std::vector<std::int32_t> number(std::int32_t& groupCount);

  private:
    static std::size_t index(std::int32_t item) { return std::size_t(item); }

    std::vector<std::int32_t> parent_;
};

} // namespace quadrel
