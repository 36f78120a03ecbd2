// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Component grouping. Components are chained to their nearest right neighbour
// on the same text line (found through the run table, so only components that
// really sit side by side on some row are weighed), chains lying side by side
// are merged into groups, and each group is cut into elements at wide gaps
// (group_elements.cpp).
//
// Every working table is sized from the call's own input, so no group size
// or gap width is limited.
#include "library/image/grouping.h"

#include "library/image/component_box.h"

#include "library/image/group_elements.h"
#include "library/image/row_span_index.h"
#include "library/image/union_find.h"
#include "library/la_api.h"

#include <algorithm>
#include <new>
#include <utility>

namespace quadrel {

namespace {

constexpr std::int32_t kDefaultGroupingSize = 5;
constexpr std::int64_t kLinkOverlapPerMille = 551;
constexpr double kLinkGapPerRow = 2.45;
constexpr std::int64_t kMergeOverlapPerMille = 651;
constexpr std::int32_t kTallLineRows = 256; // bottom - top of a line paired with every line

using Box = ComponentBox;

// A chain or group: its components in order, and their box.
struct MemberSet {
    std::vector<std::int32_t> members; // component indices
    Box box;
};

// The components that take part and, per component, its record (-1 when it
// takes no part). Each record owns a slice of one flat neighbour table, one
// entry per row of its component, holding records.
struct Participants {
    std::vector<std::int32_t> componentOf;
    std::vector<std::int32_t> recordOf;
    std::vector<std::size_t> tableStart;
    std::vector<std::int32_t> neighbour;

    std::int32_t count() const { return std::int32_t(componentOf.size()); }
};

std::int32_t rowCount(const LaComponent& c) {
    return c.yMax - c.yMin + 1;
}

// Overlap of two row ranges, per mille of the taller one (each quotient
// truncated); 0 when the ranges do not meet.
std::int64_t rowOverlapPerMille(std::int32_t top1, std::int32_t bottom1, std::int32_t top2,
                                std::int32_t bottom2) {
    const std::int64_t o = std::int64_t(std::min(bottom1, bottom2)) - std::max(top1, top2) + 1;
    if (o <= 0) return 0;
    const std::int64_t h1 = std::int64_t(bottom1) - top1 + 1;
    const std::int64_t h2 = std::int64_t(bottom2) - top2 + 1;
    return std::min(o * 1000 / h1, o * 1000 / h2);
}

// Width is measured without +1 and height with +1, so a dot of exactly
// `size` columns and `size` rows stays out.
bool takesPart(const LaComponent& c, std::int32_t size) {
    return c.xEnd - c.xMin > size || rowCount(c) > size;
}

Participants collectParticipants(const std::vector<LaComponent>& components, std::int32_t size) {
    Participants p;
    p.recordOf.assign(components.size(), -1);
    std::size_t tableSize = 0;
    for (std::size_t i = 0; i < components.size(); ++i) {
        if (!takesPart(components[i], size)) continue;
        p.recordOf[i] = std::int32_t(p.componentOf.size());
        p.componentOf.push_back(std::int32_t(i));
        p.tableStart.push_back(tableSize);
        tableSize += std::size_t(rowCount(components[i]));
    }
    p.neighbour.assign(tableSize, -1);
    return p;
}

// The first run from `run` on that is not of component `label`.
const LaRun* stretchEnd(const LaRun* run, const LaRun* end, std::int32_t label) {
    // Four at a time while they last: a large component often has hundreds
    // of runs on a row.
    while (end - run >= 4 && run[0].label == label && run[1].label == label &&
           run[2].label == label && run[3].label == label)
        run += 4;
    while (run != end && run->label == label) ++run;
    return run;
}

// For every row of a participant: the record of the participating component of
// the run that follows its rightmost run on that row, or -1.
void fillNeighbourTables(const RunTable& runs, const std::vector<LaComponent>& components,
                         Participants& p) {
    // Where row 0 of each record's table would be, so that the records
    // themselves are not read again for every run.
    std::vector<std::ptrdiff_t> rowZero(p.componentOf.size());
    for (std::size_t record = 0; record < rowZero.size(); ++record)
        rowZero[record] = std::ptrdiff_t(p.tableStart[record]) -
                          components[std::size_t(p.componentOf[record])].yMin;
    const std::int32_t* const recordOf = p.recordOf.data();
    std::int32_t* const neighbour = p.neighbour.data();
    for (std::size_t r = 0; r < runs.size(); ++r) {
        const LaRun* run = runs[r].data();
        const LaRun* const end = run + runs[r].size();
        while (run != end) {
            // Only the last of a stretch of runs of one component can be its
            // rightmost on the row: the ones before it are passed over (a
            // large component often has hundreds of runs on a row).
            const std::int32_t label = run->label;
            run = stretchEnd(run + 1, end, label);
            const std::int32_t record = recordOf[std::size_t(label)];
            if (record < 0) continue;
            const std::int32_t next = run != end ? run->label : -1;
            neighbour[rowZero[std::size_t(record)] + std::ptrdiff_t(r)] =
                next >= 0 ? recordOf[std::size_t(next)] : -1;
        }
    }
}

// The record that `record` links to: its nearest right neighbour sharing most
// of the taller one's rows, when the gap is small for its height; else itself.
// `weighed` marks the neighbours already looked at for this record.
std::int32_t linkTarget(const Participants& p, const std::vector<LaComponent>& components,
                        std::int32_t record, std::vector<std::int32_t>& weighed) {
    const std::int32_t ci = p.componentOf[std::size_t(record)];
    const LaComponent& c = components[std::size_t(ci)];
    const std::int32_t h = rowCount(c);
    const std::int32_t* table = p.neighbour.data() + p.tableStart[std::size_t(record)];
    std::int32_t best = -1;
    std::int64_t bestGap = 0;
    // The last row's entry is never looked at.
    for (std::int32_t k = 0; k + 1 < h; ++k) {
        const std::int32_t e = table[k];
        if (e < 0 || e == record || weighed[std::size_t(e)] == record) continue;
        weighed[std::size_t(e)] = record; // each neighbour is weighed once
        const LaComponent& n = components[std::size_t(p.componentOf[std::size_t(e)])];
        if (rowOverlapPerMille(c.yMin, c.yMax, n.yMin, n.yMax) <= kLinkOverlapPerMille) continue;
        const std::int64_t gap = std::max<std::int64_t>(std::int64_t(n.xMin) - c.xEnd, 0);
        if (best < 0 || gap < bestGap) {
            best = e;
            bestGap = gap;
        }
    }
    if (best >= 0 && double(bestGap) < kLinkGapPerRow * double(h)) return best;
    return record;
}

// Chains the records into lines; each line lists its components in record
// order. A record's chain goes under the root of the record it links to.
std::vector<MemberSet> buildLines(const Participants& p,
                                  const std::vector<LaComponent>& components) {
    UnionFind chains(std::size_t(p.count()));
    std::vector<std::int32_t> weighed(std::size_t(p.count()), -1);
    for (std::int32_t record = 0; record < p.count(); ++record)
        chains.attach(record, linkTarget(p, components, record, weighed));
    std::int32_t count = 0;
    const std::vector<std::int32_t> lineOf = chains.number(count);
    std::vector<MemberSet> lines(static_cast<std::size_t>(count));
    for (std::int32_t record = 0; record < p.count(); ++record) {
        MemberSet& line = lines[std::size_t(lineOf[std::size_t(record)])];
        const std::int32_t ci = p.componentOf[std::size_t(record)];
        line.members.push_back(ci);
        line.box.add(components[std::size_t(ci)]);
    }
    return lines;
}

std::int64_t horizontalGap(const Box& a, const Box& b) {
    if (b.left <= a.right && a.left <= b.right) return 0;
    if (a.left > b.right) return std::int64_t(a.left) - b.right;
    return std::int64_t(b.left) - a.right;
}

bool linesMerge(const Box& a, const Box& b) {
    if (rowOverlapPerMille(a.top, a.bottom, b.top, b.bottom) <= kMergeOverlapPerMille) return false;
    const std::int64_t tallest = std::max(a.bottom - a.top, b.bottom - b.top);
    return horizontalGap(a, b) < 2 * tallest;
}

// Joins lines that lie side by side on the same rows; a group's members are
// its lines' members, line after line.
std::vector<MemberSet> mergeLines(const std::vector<MemberSet>& lines) {
    UnionFind sets(lines.size());
    // Lines that merge share rows; the sets depend only on which pairs merge
    // (merging is symmetric). The few very tall lines are paired with every
    // line, so that the index of the others looks only a short way up.
    std::vector<std::int32_t> tall, other;
    for (std::size_t i = 0; i < lines.size(); ++i)
        (lines[i].box.bottom - lines[i].box.top > kTallLineRows ? tall : other)
            .push_back(std::int32_t(i));
    for (const std::int32_t i : tall)
        for (std::size_t j = 0; j < lines.size(); ++j)
            if (std::size_t(i) != j && linesMerge(lines[std::size_t(i)].box, lines[j].box))
                sets.join(i, std::int32_t(j));
    const RowSpanIndex index(
        other.size(),
        [&](std::int32_t k) { return lines[std::size_t(other[std::size_t(k)])].box.top; },
        [&](std::int32_t k) { return lines[std::size_t(other[std::size_t(k)])].box.bottom; });
    for (std::size_t k = 0; k < other.size(); ++k) {
        const Box& box = lines[std::size_t(other[k])].box;
        index.forEachNear(box.top, box.bottom, [&](std::int32_t n) {
            if (std::size_t(n) > k &&
                linesMerge(box, lines[std::size_t(other[std::size_t(n)])].box))
                sets.join(other[k], other[std::size_t(n)]);
        });
    }
    std::int32_t count = 0;
    const std::vector<std::int32_t> groupOf = sets.number(count);
    std::vector<MemberSet> groups(static_cast<std::size_t>(count));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        MemberSet& g = groups[std::size_t(groupOf[i])];
        g.members.insert(g.members.end(), lines[i].members.begin(), lines[i].members.end());
        g.box.add(lines[i].box);
    }
    return groups;
}

// The element number counted over all groups, for every grouped component.
// Only the members of the groups can have been given links: the other
// components (nearly all on a page of dots) are not read.
void numberElementsOverGroups(const std::vector<LaLineGroup>& groups,
                              const std::vector<MemberSet>& sets,
                              std::vector<LaComponent>& components) {
    std::vector<std::int32_t> firstElement(groups.size(), 0);
    std::int32_t total = 0;
    for (std::size_t g = 0; g < groups.size(); ++g) {
        firstElement[g] = total;
        total += groups[g].elementCount;
    }
    for (const MemberSet& set : sets) {
        for (std::int32_t ci : set.members) {
            LaComponent& c = components[std::size_t(ci)];
            if (c.linkB >= 0 && c.linkA >= 0 && std::size_t(c.linkB) < groups.size())
                c.spare = firstElement[std::size_t(c.linkB)] + c.linkA;
        }
    }
}

std::int32_t group(const LaComponentSource& source, std::vector<LaComponent>& components,
                   const LaGroupRequest& request, std::vector<LaLineGroup>& groups) {
    const std::int32_t size =
        request.groupingSize < 1 ? kDefaultGroupingSize : request.groupingSize;
    Participants p = collectParticipants(components, size);
    if (p.count() == 0) return LA_STATUS_OK;
    fillNeighbourTables(source.runTable, components, p);
    std::vector<MemberSet> lines = buildLines(p, components);
    p = Participants{};
    std::vector<MemberSet> sets = mergeLines(lines);
    lines.clear();
    groups.reserve(sets.size());
    for (std::size_t g = 0; g < sets.size(); ++g)
        groups.push_back(cutGroupIntoElements(sets[g].members, components, std::int32_t(g)));
    numberElementsOverGroups(groups, sets, components);
    return LA_STATUS_OK;
}

} // namespace

std::int32_t groupComponents(const LaComponentSource& source, std::vector<LaComponent>& components,
                             const LaGroupRequest& request, std::vector<LaLineGroup>& groups) {
    groups.clear();
    try {
        return group(source, components, request, groups);
    } catch (const std::bad_alloc&) {
        groups.clear();
        groups.shrink_to_fit();
        return LA_STATUS_OUT_OF_MEMORY;
    }
}

LaGroupRequest groupRequestFor(const LaBitmap& bitmap, std::int32_t groupingSize) {
    LaGroupRequest request;
    request.height = bitmap.height;
    request.width = bitmap.width;
    request.firstOption = 0;
    request.secondOption = 1;
    request.blackIsZero = bitmap.blackIsZero;
    request.groupingSize = groupingSize;
    request.spare = 0;
    return request;
}

} // namespace quadrel
