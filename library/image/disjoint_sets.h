// Union of sets by a parent table: joining attaches the larger root to the
// smaller one, and groups are numbered in order of first appearance of their
// root over the items, so group order follows item order.
#pragma once

#include <cstdint>
#include <numeric>
#include <vector>

namespace quadrel {

class DisjointSets {
public:
    explicit DisjointSets(std::size_t count) : parent_(count) {
        std::iota(parent_.begin(), parent_.end(), std::int32_t(0));
    }

    std::size_t size() const { return parent_.size(); }

    // Root without changing the table.
    std::int32_t root(std::int32_t item) const {
        while (parent_[std::size_t(item)] != item) item = parent_[std::size_t(item)];
        return item;
    }

    void join(std::int32_t a, std::int32_t b) {
        const std::int32_t ra = root(a);
        const std::int32_t rb = root(b);
        if (ra < rb) parent_[std::size_t(rb)] = ra;
        else if (rb < ra) parent_[std::size_t(ra)] = rb;
    }

    // Group number of every item: roots numbered 0, 1, ... in order of first
    // appearance over the items. Returns the number of groups in `groupCount`.
    std::vector<std::int32_t> number(std::int32_t& groupCount) const {
        std::vector<std::int32_t> groupOfRoot(parent_.size(), -1);
        std::vector<std::int32_t> group(parent_.size());
        groupCount = 0;
        for (std::size_t i = 0; i < parent_.size(); ++i) {
            const std::int32_t r = root(std::int32_t(i));
            if (groupOfRoot[std::size_t(r)] < 0) groupOfRoot[std::size_t(r)] = groupCount++;
            group[i] = groupOfRoot[std::size_t(r)];
        }
        return group;
    }

private:
    std::vector<std::int32_t> parent_;
};

} // namespace quadrel
