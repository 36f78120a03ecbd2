// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "library/zone_merge_rules.h"

#include <algorithm>
#include <cstdlib>

namespace quadrel {

namespace {

constexpr std::int32_t kNestingTolerance = 20;      // pixels
constexpr std::int32_t kMaxLeftShift = 100;         // stacked zones of one column
constexpr std::int32_t kMinColumnOverlap = 10;      // per mille of the union width
constexpr std::int32_t kGapPerMilleOfHeight = 1250; // stacked gap limit
constexpr std::int32_t kVerticalOverlapGap = 500000;
constexpr std::int32_t kMinRunRatio = 700;    // per mille
constexpr std::int32_t kMinHeightRatio = 525; // per mille
constexpr double kLineHeightFactor = 1.15;    // line pitch over text height
constexpr std::int64_t kUnknownLineCount = 999999;
constexpr std::int64_t kManyLines = 8;
constexpr std::int32_t kSideGapRuns = 5; // side-by-side gap limit in run lengths

std::int64_t area(const LaZone& z) {
    return (std::int64_t(z.right) - z.left) * (std::int64_t(z.bottom) - z.top);
}

bool nested(const LaZone& a, const LaZone& b) {
    return area(b) > area(a) ? liesWithinTolerance(a, b) : liesWithinTolerance(b, a);
}

bool overlapsHorizontally(const LaZone& line, const LaZone& zone) {
    return line.left <= zone.right && zone.left <= line.right;
}

// Gap between zones stacked one above the other; a large value when their
// rows overlap.
std::int64_t verticalGap(const LaZone& a, const LaZone& b) {
    if (a.top > b.bottom) return std::int64_t(a.top) - b.bottom;
    if (b.top > a.bottom) return std::int64_t(b.top) - a.bottom;
    return kVerticalOverlapGap;
}

// Left edges and widths of a column; the lines between the zones are left
// to the caller, as that search is the costly part.
bool columnsAlign(const LaZone& a, const LaZone& b) {
    if (std::abs(std::int64_t(a.left) - b.left) > kMaxLeftShift) return false;
    const std::int64_t unionWidth =
        std::int64_t(std::max(a.right, b.right)) - std::min(a.left, b.left);
    if (unionWidth <= 0) return false;
    const std::int64_t common = std::int64_t(std::min(a.right, b.right)) - std::max(a.left, b.left);
    return common * 1000 / unionWidth > kMinColumnOverlap;
}

// True when sameTextSize would give `sa` the run mode of `sb`.
bool takesRunMode(const LaTextStats& sa, const LaTextStats& sb) {
    return sa.runMode != sb.runMode && std::abs(std::int64_t(sa.runMode) - sb.runMode) < 2;
}

bool stackedBelongTogether(const LaZone& a, LaTextStats& sa, const LaZone& b, const LaTextStats& sb,
                           const HorizontalLines& horizontalLines) {
    if (!columnsAlign(a, b)) return false;
    const std::int64_t limit =
        std::int64_t(std::max(sa.heightMode, sb.heightMode)) * kGapPerMilleOfHeight / 1000;
    // Zones of one long column pair with each other many times over; the
    // lines between them only matter when the pair could merge or when `sa`
    // would take over a different run mode (sameTextSize changes nothing
    // else, and nothing then).
    if (!takesRunMode(sa, sb) && (verticalGap(a, b) >= limit || !sameTextSize(sa, sb)))
        return false;
    if (horizontalLines.separate(a, b)) return false;
    return sameTextSize(sa, sb) && verticalGap(a, b) < limit;
}

// Number of text lines a zone holds, judged from its height and text height.
std::int64_t lineEstimate(const LaZone& z, const LaTextStats& s) {
    if (s.heightMode == 0) return kUnknownLineCount;
    return std::int64_t((double(z.bottom) - z.top + 1) / (s.heightMode * kLineHeightFactor));
}

bool sideBySideBelongTogether(const LaZone& a, LaTextStats& sa, const LaZone& b,
                              const LaTextStats& sb) {
    const bool sameRows =
        b.top <= std::int64_t(a.bottom) - 1 && a.top <= std::int64_t(b.bottom) - 1;
    if (!sameRows) return false;
    const std::int64_t linesA = lineEstimate(a, sa);
    const std::int64_t linesB = lineEstimate(b, sb);
    if (linesA > kManyLines && (linesB > kManyLines || linesA + linesB >= kManyLines)) return false;
    if (!sameTextSize(sa, sb)) return false;
    if (b.left <= a.right && a.left <= b.right) return true;
    const std::int64_t gap =
        a.left > b.right ? std::int64_t(a.left) - b.right : std::int64_t(b.left) - a.right;
    return gap < std::int64_t(kSideGapRuns) * sb.runMode;
}

} // namespace

bool liesWithinTolerance(const LaZone& inner, const LaZone& outer) {
    return inner.left > std::int64_t(outer.left) - kNestingTolerance &&
           inner.right < std::int64_t(outer.right) + kNestingTolerance &&
           inner.top > std::int64_t(outer.top) - kNestingTolerance &&
           inner.bottom < std::int64_t(outer.bottom) + kNestingTolerance;
}

HorizontalLines::HorizontalLines(std::span<const LaZone> lines)
    : byTop_(lines.begin(), lines.end()) {
    std::sort(byTop_.begin(), byTop_.end(),
              [](const LaZone& x, const LaZone& y) { return x.top < y.top; });
    for (const LaZone& line : byTop_)
        tallest_ = std::max(tallest_, std::int64_t(line.bottom) - line.top);
}

bool HorizontalLines::separate(const LaZone& a, const LaZone& b) const {
    const LaZone* lower = nullptr;
    const LaZone* upper = nullptr;
    if (a.top > b.bottom) {
        lower = &a;
        upper = &b;
    } else if (b.top > a.bottom) {
        lower = &b;
        upper = &a;
    } else {
        return false; // zones sharing rows are never separated
    }
    // A separating line starts at or above the lower zone's top and ends at
    // or below the upper zone's bottom: from the lowest start up, until no
    // line starting higher can reach that far down.
    auto it = std::upper_bound(byTop_.begin(), byTop_.end(), lower->top,
                               [](std::int64_t top, const LaZone& line) { return top < line.top; });
    while (it != byTop_.begin()) {
        const LaZone& line = *--it;
        if (std::int64_t(line.top) + tallest_ < upper->bottom) break;
        if (line.bottom >= upper->bottom && overlapsHorizontally(line, *lower) &&
            overlapsHorizontally(line, *upper))
            return true;
    }
    return false;
}

bool sameTextSize(LaTextStats& sa, const LaTextStats& sb) {
    if (std::abs(std::int64_t(sa.runMode) - sb.runMode) < 2) sa.runMode = sb.runMode;
    const std::int64_t largestRun = std::max(sa.runMode, sb.runMode);
    if (largestRun <= 0) return false;
    if (std::int64_t(std::min(sa.runMode, sb.runMode)) * 1000 / largestRun < kMinRunRatio)
        return false;
    if (sa.heightMode < 1 || sb.heightMode < 1) return false;
    const std::int64_t largestHeight = std::max(sa.heightMode, sb.heightMode);
    return std::int64_t(std::min(sa.heightMode, sb.heightMode)) * 1000 / largestHeight >=
           kMinHeightRatio;
}

bool zonesBelongTogether(const LaZone& a, LaTextStats& sa, const LaZone& b, const LaTextStats& sb,
                         std::int32_t pass, const HorizontalLines& horizontalLines) {
    if (nested(a, b)) return true;
    if (pass == kStackedPass) return stackedBelongTogether(a, sa, b, sb, horizontalLines);
    if (pass == kSideBySidePass) return sideBySideBelongTogether(a, sa, b, sb);
    return false;
}

} // namespace quadrel
