// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "library/image/group_elements.h"

#include "library/image/component_box.h"

#include <algorithm>
#include <utility>

namespace quadrel {

namespace {

constexpr double kIsolatedGapPerHeight = 12.5;
constexpr std::int32_t kGapHistogramLimit = 8192;
constexpr std::int32_t kTallestTextElement = 300; // bottom - top of a text candidate

using Box = ComponentBox;

// Widths, heights and clamped gaps of a group's members in left-to-right order.
struct MemberGeometry {
    std::vector<std::int32_t> width;
    std::vector<std::int32_t> height; // yMax - yMin, without +1
    std::vector<std::int32_t> gap;    // gap[k] between member k and k + 1, at least 0
};

MemberGeometry measureMembers(std::span<const std::int32_t> members,
                              const std::vector<LaComponent>& components) {
    MemberGeometry m;
    const std::size_t n = members.size();
    m.width.resize(n);
    m.height.resize(n);
    m.gap.resize(n > 0 ? n - 1 : 0);
    for (std::size_t k = 0; k < n; ++k) {
        const LaComponent& c = components[std::size_t(members[k])];
        m.width[k] = c.xEnd - c.xMin;
        m.height[k] = c.yMax - c.yMin;
        if (k + 1 < n)
            m.gap[k] = std::max(components[std::size_t(members[k + 1])].xMin - c.xEnd, 0);
    }
    return m;
}

// A group whose narrowest gap dwarfs its tallest member is scattered dots,
// not a line: it gets no elements.
bool isScattered(const MemberGeometry& m) {
    if (m.gap.empty()) return false;
    const std::int32_t tallest = *std::max_element(m.height.begin(), m.height.end());
    const std::int32_t narrowest = *std::min_element(m.gap.begin(), m.gap.end());
    return double(tallest) * kIsolatedGapPerHeight < double(narrowest);
}

// Cut threshold of the first pass: 2.15 times the mean of the small positive
// gaps (those up to the rounded-up mean of all positive gaps), plus 0.5.
double firstPassThreshold(const std::vector<std::int32_t>& gaps) {
    std::int64_t sum = 0;
    std::int64_t count = 0;
    for (std::int32_t g : gaps)
        if (g > 0) {
            sum += g;
            ++count;
        }
    const std::int64_t bound = count > 0 ? (sum + count - 1) / count : 0;
    double smallSum = 0.0;
    std::int64_t smallCount = 0;
    for (std::int32_t g : gaps)
        if (g > 0 && g <= bound) {
            smallSum += g;
            ++smallCount;
        }
    const double mean = smallCount >= 2 ? smallSum / double(smallCount) : 0.0;
    return 2.15 * mean + 0.5;
}

bool firstPassCuts(const MemberGeometry& m, std::size_t k, double threshold) {
    const std::int32_t g = m.gap[k];
    const std::int32_t w1 = m.width[k];
    const std::int32_t w2 = m.width[k + 1];
    const bool wide = double(g) > threshold || std::int64_t(g) > std::int64_t(w1) + w2;
    return wide && double(g) / double(std::min(w1, w2) + 1) >= 0.3;
}

// Cut threshold of the second pass, from the histogram of one element's gaps.
std::int32_t secondPassThreshold(std::span<const std::int32_t> gaps) {
    std::int32_t largest = 0;
    for (std::int32_t g : gaps) largest = std::max(largest, g);
    if (largest < 3) largest = 2;
    const std::int32_t size = std::min(largest + 1, kGapHistogramLimit);
    std::vector<std::int32_t> histogram(std::size_t(size), 0);
    for (std::int32_t g : gaps)
        if (g >= 1 && g < size) ++histogram[std::size_t(g)];
    std::int32_t p1 = 1;
    for (std::int32_t v = 1; v < size; ++v)
        if (histogram[std::size_t(v)] > histogram[std::size_t(p1)]) p1 = v;
    std::int32_t p2 = p1;
    for (std::int32_t v = p1; v < size; ++v)
        if (histogram[std::size_t(v)] == histogram[std::size_t(p1)]) p2 = v;
    if (p1 == 1 && p2 == 1) return 4;
    double weighted = 0.0;
    double total = 0.0;
    for (std::int32_t v = p1; v <= p2; ++v) {
        weighted += double(histogram[std::size_t(v)]) * v;
        total += histogram[std::size_t(v)];
    }
    const double mean = total > 0.0 ? weighted / total : 0.0;
    const std::int32_t t = std::int32_t(mean + 0.5);
    return t > 10 ? t : 2 * t;
}

// Splits one first-pass element (members [first, last] of the group) and
// appends the start index of every final element to `starts`.
void secondPass(const MemberGeometry& m, std::size_t first, std::size_t last,
                std::vector<std::size_t>& starts) {
    starts.push_back(first);
    if (first == last) return;
    std::vector<std::int32_t> gaps(m.gap.begin() + std::ptrdiff_t(first),
                                   m.gap.begin() + std::ptrdiff_t(last));
    // The group's last member has nothing after it to be cut from.
    if (last + 1 == m.width.size()) gaps.back() = 0;
    const std::int32_t threshold = secondPassThreshold(gaps);
    for (std::size_t i = 0; i < gaps.size(); ++i) {
        const std::int64_t widths = std::int64_t(m.width[first + i]) + m.width[first + i + 1];
        const std::int32_t g = gaps[i];
        if (g >= std::min<std::int64_t>(threshold, widths) && g >= 2)
            starts.push_back(first + i + 1);
    }
}

// Start index of every element of a group, in left-to-right order.
std::vector<std::size_t> elementStarts(const MemberGeometry& m) {
    const std::size_t n = m.width.size();
    const double threshold = firstPassThreshold(m.gap);
    std::vector<std::size_t> starts;
    std::size_t first = 0;
    for (std::size_t k = 0; k + 1 < n; ++k) {
        if (!firstPassCuts(m, k, threshold)) continue;
        secondPass(m, first, k, starts);
        first = k + 1;
    }
    secondPass(m, first, n - 1, starts);
    return starts;
}

LaElement makeElement(std::span<const std::int32_t> members,
                      const std::vector<LaComponent>& components) {
    Box box;
    for (std::int32_t ci : members) box.add(components[std::size_t(ci)]);
    LaElement e;
    e.memberCount = std::int32_t(members.size());
    e.left = box.left;
    e.right = box.right;
    e.top = box.top;
    e.bottom = box.bottom;
    e.kind = e.bottom - e.top <= kTallestTextElement ? 1 : 2;
    e.blockLink = 0;
    return e;
}

// The members as the sort sees them: keyed by their components' xMin.
struct LeftEdgeOrder {
    std::span<std::int32_t> members;
    const std::vector<LaComponent>& components;

    std::int32_t key(std::int64_t k) const {
        return components[std::size_t(members[std::size_t(k)])].xMin;
    }
    void swapAt(std::int64_t a, std::int64_t b) const {
        std::swap(members[std::size_t(a)], members[std::size_t(b)]);
    }

    // Short ranges: neighbour-swap passes until one swaps nothing.
    void neighbourSwapSort(std::int64_t lo, std::int64_t hi) const {
        for (bool swapped = true; swapped;) {
            swapped = false;
            for (std::int64_t k = lo; k < hi; ++k)
                if (key(k) > key(k + 1)) {
                    swapAt(k, k + 1);
                    swapped = true;
                }
        }
    }

    // Splits [lo, hi] around the key of its middle member; returns the
    // (i, j) where the two scans stopped.
    std::pair<std::int64_t, std::int64_t> partition(std::int64_t lo, std::int64_t hi) const {
        const std::int32_t pivot = key((lo + hi) / 2);
        std::int64_t i = lo;
        std::int64_t j = hi;
        while (i <= j) {
            while (key(i) < pivot) ++i;
            while (key(j) > pivot) --j;
            if (i <= j) {
                swapAt(i, j);
                ++i;
                --j;
            }
        }
        return {i, j};
    }
};

} // namespace

LaLineGroup cutGroupIntoElements(std::vector<std::int32_t>& members,
                                 std::vector<LaComponent>& components, std::int32_t groupIndex) {
    sortByLeftEdge(members, components);
    LaLineGroup group;
    Box box;
    for (std::int32_t ci : members) box.add(components[std::size_t(ci)]);
    group.left = box.left;
    group.right = box.right;
    group.top = box.top;
    group.bottom = box.bottom;
    const MemberGeometry m = measureMembers(members, components);
    if (isScattered(m)) return group;
    const std::vector<std::size_t> starts = elementStarts(m);
    for (std::size_t e = 0; e < starts.size(); ++e) {
        const std::size_t end = e + 1 < starts.size() ? starts[e + 1] : members.size();
        const std::span<const std::int32_t> element(members.data() + starts[e], end - starts[e]);
        group.elements.push_back(makeElement(element, components));
        for (std::int32_t ci : element) {
            components[std::size_t(ci)].linkA = std::int32_t(e);
            components[std::size_t(ci)].linkB = groupIndex;
        }
    }
    group.elementCount = std::int32_t(group.elements.size());
    return group;
}

void sortByLeftEdge(std::span<std::int32_t> members, const std::vector<LaComponent>& components) {
    const LeftEdgeOrder order{members, components};
    std::vector<std::pair<std::int64_t, std::int64_t>> stack;
    stack.emplace_back(0, std::int64_t(members.size()) - 1);
    while (!stack.empty()) {
        const auto [lo, hi] = stack.back();
        stack.pop_back();
        if (hi - lo + 1 < 9) {
            order.neighbourSwapSort(lo, hi);
            continue;
        }
        const auto [i, j] = order.partition(lo, hi);
        stack.emplace_back(lo, j);
        stack.emplace_back(i, hi);
    }
}

} // namespace quadrel
