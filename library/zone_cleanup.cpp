// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "library/zone_cleanup.h"

#include "library/la_api.h"
#include "library/zone_grid.h"

#include <algorithm>
#include <cstdlib>

namespace quadrel {

namespace {

constexpr std::int32_t kRemoved = -1;

std::int64_t width(const LaZone& z) {
    return std::int64_t(z.right) - z.left;
}
std::int64_t height(const LaZone& z) {
    return std::int64_t(z.bottom) - z.top;
}

// Area with both spans counted inclusively, as the overlap tests use it.
std::int64_t inclusiveArea(const LaZone& z) {
    return (height(z) + 1) * (width(z) + 1);
}

// Truncating quotient; `whenZero` stands in for a zero divisor.
std::int64_t quotient(std::int64_t dividend, std::int64_t divisor, std::int64_t whenZero) {
    return divisor == 0 ? whenZero : dividend / divisor;
}

struct Intersection {
    bool empty;
    std::int64_t weight; // max(inclusive area, 1) x 1000
};

Intersection intersect(const LaZone& a, const LaZone& b) {
    const std::int64_t left = std::max(a.left, b.left);
    const std::int64_t top = std::max(a.top, b.top);
    const std::int64_t right = std::min(a.right, b.right);
    const std::int64_t bottom = std::min(a.bottom, b.bottom);
    if (right < left || bottom < top) return {true, 0};
    return {false, std::max<std::int64_t>((bottom - top + 1) * (right - left + 1), 1) * 1000};
}

bool touchesPageEdge(const LaZone& z, std::int64_t pageWidth, std::int64_t pageHeight) {
    return z.left == 0 || z.top == 0 || z.right >= pageWidth - 1 || z.bottom >= pageHeight - 1;
}

void markRemoved(LaZone& z) {
    z.index = kRemoved;
}
bool isRemoved(const LaZone& z) {
    return z.index == kRemoved;
}

} // namespace

bool zoneWithin(const LaZone& a, const LaZone& b) {
    return b.left >= a.left && b.right <= a.right && b.top >= a.top && b.bottom <= a.bottom;
}

std::int32_t overlapClass(const LaZone& a, const LaZone& b) {
    const Intersection i = intersect(a, b);
    if (i.empty) return 0;
    if (quotient(i.weight, inclusiveArea(a), 0) > 950) return 1;
    if (quotient(i.weight, inclusiveArea(b), 0) > 950) return 2;
    return 0;
}

bool columnOverlap(const LaZone& a, const LaZone& b) {
    const std::int64_t shared = std::int64_t(std::min(a.right, b.right)) - std::max(a.left, b.left);
    const std::int64_t joint = std::int64_t(std::max(a.right, b.right)) - std::min(a.left, b.left);
    return joint != 0 && shared * 1000 / joint > 950;
}

std::int64_t smallerShareOverlap(const LaZone& a, const LaZone& b) {
    const Intersection i = intersect(a, b);
    if (i.empty) return 0;
    return std::min(quotient(i.weight, inclusiveArea(a), 0),
                    quotient(i.weight, inclusiveArea(b), 0));
}

std::int64_t widthRatio(const LaZone& a, const LaZone& b) {
    const std::int64_t wa = width(a);
    const std::int64_t wb = width(b);
    return wa < wb ? quotient(wa * 1000, wb, 1000) : quotient(wb * 1000, wa, 1000);
}

void applyRedundancyRules(LaZone& a, LaZone& b, std::int64_t pageWidth, std::int64_t pageHeight) {
    if (a.content == LA_CONTENT_NOISE && zoneWithin(b, a)) markRemoved(a);
    if (b.content == LA_CONTENT_NOISE && zoneWithin(a, b)) markRemoved(b);
    if (a.content == LA_CONTENT_PICTURE && b.content == LA_CONTENT_INVERTED_TEXT &&
        columnOverlap(a, b))
        markRemoved(b);
    if (b.content == LA_CONTENT_PICTURE && a.content == LA_CONTENT_INVERTED_TEXT &&
        columnOverlap(a, b))
        markRemoved(a);

    const std::int32_t c = overlapClass(a, b);
    if (a.content == LA_CONTENT_PICTURE && b.content == LA_CONTENT_PICTURE && c != 0) {
        // A picture at the page edge is likely the scan's border: neither of
        // a nested pair touching it is removed.
        if (touchesPageEdge(a, pageWidth, pageHeight) || touchesPageEdge(b, pageWidth, pageHeight))
            return;
        if (c == 2) markRemoved(b);
        if (c == 1) markRemoved(a);
    }
    if (a.content == LA_CONTENT_INVERTED_TEXT && b.content == LA_CONTENT_TEXT && c == 1 &&
        widthRatio(a, b) < 900)
        markRemoved(a);
    if (b.content == LA_CONTENT_INVERTED_TEXT && a.content == LA_CONTENT_TEXT && c == 2 &&
        widthRatio(a, b) < 900)
        markRemoved(b);
    if (b.content == LA_CONTENT_INVERTED_TEXT && a.content == LA_CONTENT_PICTURE && c != 0 &&
        smallerShareOverlap(b, a) > 800)
        markRemoved(b);
    if (a.content == LA_CONTENT_PICTURE && b.content == LA_CONTENT_TEXT && c == 2 &&
        std::llabs(height(b) * width(b)) < 1000)
        markRemoved(b);
    if (b.content == LA_CONTENT_PICTURE && a.content == LA_CONTENT_TEXT && c == 1 &&
        std::llabs(height(a) * width(a)) < 1000)
        markRemoved(a);
}

namespace {

bool pictureOrInverted(const LaZone& z) {
    return z.content == LA_CONTENT_PICTURE || z.content == LA_CONTENT_INVERTED_TEXT;
}

// Every zone the rules could pair with zone i, ascending. For well-formed
// boxes every rule needs the two boxes to share a pixel, except the one for a
// picture over inverted text, which needs shared columns only; a reversed box
// can meet the rules with any zone, so it pairs with all.
class RuleCandidates {
  public:
    explicit RuleCandidates(const std::vector<LaZone>& zones) : zones_(zones), grid_(zones) {
        for (std::size_t j = 0; j < zones.size(); ++j) {
            if (!zoneWellFormed(zones[j]))
                reversed_.push_back(std::int32_t(j));
            else if (pictureOrInverted(zones[j]))
                columnRule_.push_back(std::int32_t(j));
        }
    }

    const std::vector<std::int32_t>& of(std::size_t i) {
        found_.clear();
        const LaZone& z = zones_[i];
        if (!zoneWellFormed(z)) {
            for (std::size_t j = 0; j < zones_.size(); ++j) found_.push_back(std::int32_t(j));
            return found_;
        }
        grid_.meeting(z, found_);
        found_.insert(found_.end(), reversed_.begin(), reversed_.end());
        if (pictureOrInverted(z))
            for (const std::int32_t j : columnRule_) {
                const LaZone& o = zones_[std::size_t(j)];
                if (o.content != z.content && o.left <= z.right && z.left <= o.right)
                    found_.push_back(j);
            }
        std::sort(found_.begin(), found_.end());
        found_.erase(std::unique(found_.begin(), found_.end()), found_.end());
        return found_;
    }

  private:
    const std::vector<LaZone>& zones_;
    ZoneGrid grid_;
    std::vector<std::int32_t> reversed_;   // zones with reversed spans
    std::vector<std::int32_t> columnRule_; // well-formed pictures and inverted text
    std::vector<std::int32_t> found_;
};

} // namespace

void markRedundantZones(std::vector<LaZone>& zones, std::int32_t pageWidth,
                        std::int32_t pageHeight) {
    // The pairs in the order of a loop over every ordered pair (i, j), so that
    // a zone marked early drops out of the later pairs exactly as there; only
    // the pairs no rule can act on are left out.
    RuleCandidates candidates(zones);
    for (std::size_t i = 0; i < zones.size(); ++i) {
        for (const std::int32_t j : candidates.of(i)) {
            if (isRemoved(zones[i])) break;
            if (std::size_t(j) == i || isRemoved(zones[std::size_t(j)])) continue;
            applyRedundancyRules(zones[i], zones[std::size_t(j)], pageWidth, pageHeight);
        }
    }
}

void compactZones(std::vector<LaZone>& zones) {
    std::vector<LaZone> survivors;
    survivors.reserve(std::size_t(
        std::count_if(zones.begin(), zones.end(), [](const LaZone& z) { return !isRemoved(z); })));
    for (const LaZone& zone : zones) {
        if (isRemoved(zone)) continue;
        survivors.push_back(zone);
        survivors.back().index = std::int32_t(survivors.size() - 1);
    }
    zones = std::move(survivors);
}

} // namespace quadrel
