// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "zones/reading_order.h"

#include "zones/table_parents.h"
#include "zones/zone_kinds.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>

namespace zones {
namespace {

// A box with both ends exclusive, so that two boxes are apart when one
// starts where the other ends.
struct Span {
    std::int64_t begin = 0;
    std::int64_t end = 0;
};

struct Unit {
    Span x, y;
    std::vector<int> zones; // in the order they are read
};

enum Group { kTextGroup, kPictureGroup, kLineGroup, kNoiseGroup, kGroupCount };

Group groupOf(std::int32_t content) {
    switch (zoneKindOf(content)) {
    case ZoneKind::Picture:
        return kPictureGroup;
    case ZoneKind::Line:
        return kLineGroup;
    case ZoneKind::Noise:
        return kNoiseGroup;
    default:
        return kTextGroup;
    }
}

Unit unitOf(const ZoneRecord& z, int index) {
    const std::int64_t right = std::max<std::int64_t>(z.right, std::int64_t(z.left) + 1);
    const std::int64_t bottom = std::max<std::int64_t>(std::int64_t(z.bottom) + 1, z.top + 1LL);
    return {{z.left, right}, {z.top, bottom}, {index}};
}

using UnitList = std::vector<const Unit*>;

// Splits `units` where a white band crosses the axis `span` selects; the
// parts come out in the order of that axis. One part: no cut.
template <class Axis> std::vector<UnitList> cut(UnitList units, Axis span) {
    std::stable_sort(units.begin(), units.end(),
                     [&](const Unit* a, const Unit* b) { return span(*a).begin < span(*b).begin; });
    std::vector<UnitList> parts;
    std::int64_t reach = 0;
    for (const Unit* unit : units) {
        if (parts.empty() || span(*unit).begin >= reach) {
            parts.emplace_back();
            reach = span(*unit).end;
        }
        reach = std::max(reach, span(*unit).end);
        parts.back().push_back(unit);
    }
    return parts;
}

// Adds `span` to a set of spans kept apart (begin -> end), merging the ones it overlaps.
void addSpan(std::map<std::int64_t, std::int64_t>& spans, Span span) {
    auto it = spans.upper_bound(span.begin);
    if (it != spans.begin() && std::prev(it)->second > span.begin) --it;
    while (it != spans.end() && it->first < span.end) {
        span.begin = std::min(span.begin, it->first);
        span.end = std::max(span.end, it->second);
        it = spans.erase(it);
    }
    spans.emplace(span.begin, span.end);
}

// For each band, whether it and the bands under it fall apart into columns;
// built from the bottom up so that a page of many bands costs n log n.
std::vector<bool> columnsFrom(const std::vector<UnitList>& bands) {
    std::map<std::int64_t, std::int64_t> spans;
    std::vector<bool> columns(bands.size(), false);
    for (std::size_t b = bands.size(); b-- > 0;) {
        for (const Unit* unit : bands[b]) addSpan(spans, unit->x);
        columns[b] = spans.size() > 1;
    }
    return columns;
}

void emit(const UnitList& units, std::vector<int>& order) {
    for (const Unit* unit : units)
        order.insert(order.end(), unit->zones.begin(), unit->zones.end());
}

// Reads the units by recursive XY-cut. Bands are taken off the top one at a
// time: once a heading is read, the units under it may fall into columns.
void readXyCut(UnitList units, std::vector<int>& order) {
    if (units.size() <= 1) return emit(units, order);
    std::vector<UnitList> columns = cut(units, [](const Unit& u) { return u.x; });
    if (columns.size() > 1) {
        for (UnitList& column : columns) readXyCut(std::move(column), order);
        return;
    }
    std::vector<UnitList> bands = cut(std::move(units), [](const Unit& u) { return u.y; });
    if (bands.size() == 1) {
        UnitList& band = bands.front();
        std::stable_sort(band.begin(), band.end(), [](const Unit* a, const Unit* b) {
            return a->y.begin != b->y.begin ? a->y.begin < b->y.begin : a->x.begin < b->x.begin;
        });
        return emit(band, order);
    }
    const std::vector<bool> columnsBelow = columnsFrom(bands);
    for (std::size_t b = 0; b < bands.size(); ++b) {
        if (b > 0 && columnsBelow[b]) {
            UnitList rest;
            for (std::size_t r = b; r < bands.size(); ++r)
                rest.insert(rest.end(), bands[r].begin(), bands[r].end());
            return readXyCut(std::move(rest), order);
        }
        readXyCut(std::move(bands[b]), order);
    }
}

// The table's members after it: columns left to right, then cells by rows.
void addTableMembers(Unit& table, const std::vector<ZoneRecord>& zones,
                     const std::vector<int>& members) {
    auto rank = [&](int i) {
        const ZoneRecord& z = zones[std::size_t(i)];
        const bool cell = zoneKindOf(z.content) == ZoneKind::TableCell;
        return std::array<std::int64_t, 3>{cell ? 1 : 0, cell ? z.top : z.left,
                                           cell ? z.left : z.top};
    };
    std::vector<int> sorted = members;
    std::stable_sort(sorted.begin(), sorted.end(), [&](int a, int b) { return rank(a) < rank(b); });
    table.zones.insert(table.zones.end(), sorted.begin(), sorted.end());
}

} // namespace

std::vector<int> ReadingOrder(const std::vector<ZoneRecord>& zones) {
    const std::vector<int> parents = TableParents(zones);
    std::vector<std::vector<int>> members(zones.size());
    for (std::size_t i = 0; i < zones.size(); ++i)
        if (parents[i] != kNoParent) members[std::size_t(parents[i])].push_back(int(i));

    std::array<std::vector<Unit>, kGroupCount> groups;
    for (std::size_t i = 0; i < zones.size(); ++i) {
        if (parents[i] != kNoParent) continue; // read with its table
        Unit unit = unitOf(zones[i], int(i));
        addTableMembers(unit, zones, members[i]);
        groups[groupOf(zones[i].content)].push_back(std::move(unit));
    }
    std::vector<int> order;
    order.reserve(zones.size());
    for (const std::vector<Unit>& group : groups) {
        UnitList units;
        for (const Unit& unit : group) units.push_back(&unit);
        readXyCut(std::move(units), order);
    }
    return order;
}

std::vector<int> ReadingRanks(const std::vector<int>& order) {
    std::vector<int> ranks(order.size(), 0);
    for (std::size_t k = 0; k < order.size(); ++k) ranks[std::size_t(order[k])] = int(k);
    return ranks;
}

} // namespace zones
