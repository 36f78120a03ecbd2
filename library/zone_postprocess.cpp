// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "library/zone_postprocess.h"

#include "library/image/components.h"
#include "library/image/run_search.h"
#include "library/image/smoothed_mode.h"
#include "library/image/union_find.h"
#include "library/la_api.h"
#include "library/zone_grid.h"
#include "library/zone_merge_rules.h"

#include <algorithm>
#include <climits>
#include <iterator>
#include <new>

namespace quadrel {

namespace {

constexpr std::int32_t kRunModeHalfWidth = 4;
constexpr std::int32_t kHeightModeHalfWidth = 6;
constexpr std::int32_t kEmptyBoxMin = 0x7FFFFFFF;

// Line zones clearly wider than high: the separators of stacked text zones.
std::vector<LaZone> horizontalLines(const std::vector<LaZone>& zones) {
    std::vector<LaZone> lines;
    for (const LaZone& z : zones)
        if (z.content == LA_CONTENT_LINE &&
            std::int64_t(z.right) - z.left > 3 * (std::int64_t(z.bottom) - z.top))
            lines.push_back(z);
    return lines;
}

bool isTextZone(const LaZone& z) {
    return z.content == LA_CONTENT_TEXT && z.right - z.left > 0;
}

// The runs of the zone's area of the page, as a crop of the area would have
// them, clipped out of the page's row runs. False (and nothing made) when
// the area does not lie wholly inside the page: a crop reads outside as 0.
bool clipZoneRuns(const RunTable& rowRuns, const LaBitmap& page, const LaZone& zone,
                  FlatRunTable& runs) {
    const std::int64_t left = zone.left;
    const std::int64_t right = zone.right;
    const std::int64_t rows = std::int64_t(zone.bottom) - zone.top + 1;
    const std::int64_t first = std::int64_t(page.height) - zone.bottom - 1;
    if (left < 0 || right > page.width || right <= left || rows <= 0 || first < 0 ||
        first + rows > page.height || rowRuns.size() != std::size_t(page.height))
        return false;
    runs.runs.clear();
    runs.rowStart.assign(std::size_t(rows) + 1, 0);
    RowWindowCursor cursor;
    for (std::int64_t r = 0; r < rows; ++r) {
        const std::size_t row = std::size_t(first + r);
        forEachClippedRun(rowRuns[row], r + 1 < rows ? &rowRuns[row + 1] : nullptr, cursor,
                          std::int32_t(left), std::int32_t(right),
                          [&](std::int32_t start, std::int32_t end) {
                              runs.runs.push_back(LaRun{start, end, 0});
                          });
        runs.rowStart[std::size_t(r) + 1] = std::int32_t(runs.runs.size());
    }
    return true;
}

// The runs of the zone's area read from a crop of it.
std::int32_t cropZoneRuns(const LaBitmap& page, const LaZone& zone, FlatRunTable& runs) {
    LaBitmap crop;
    const std::int32_t cropStatus = bitmapCrop(page, crop, zone.left, page.height - zone.bottom - 1,
                                               zone.right - zone.left, zone.bottom - zone.top + 1);
    if (cropStatus != LA_STATUS_OK) return cropStatus;
    const LaComponentSource source = componentSourceOf(crop, 0);
    if (source.rows <= 0 || source.width <= 0 || !source.firstRow) return LA_STATUS_NO_BLACK_PIXEL;
    buildRowRuns(source, runs);
    return LA_STATUS_OK;
}

// Typical run length and component height of the zone's area of the page
// (the page is stored bottom row first, zones count rows from the top).
std::int32_t measureTextZone(const LaBitmap& page, const LaZone& zone, LaTextStats& stats,
                             const RunTable* rowRuns) {
    FlatRunTable runs;
    if (!rowRuns || !clipZoneRuns(*rowRuns, page, zone, runs)) {
        const std::int32_t status = cropZoneRuns(page, zone, runs);
        if (status != LA_STATUS_OK) return status;
    }
    // Only the components' heights and the runs' lengths are needed.
    std::vector<LaComponentBox> components;
    const std::int32_t status = labelRuns(runs, components);
    if (status != LA_STATUS_OK) return status;

    const std::int32_t width = zone.right - zone.left;
    const std::int32_t height = zone.bottom - zone.top + 1;
    stats.rows = height;
    stats.columns = width;
    std::vector<std::int32_t> heights(std::size_t(height) + 1, 0);
    for (const LaComponentBox& c : components) ++heights[std::size_t(c.yMax - c.yMin + 1)];
    std::vector<std::int32_t> runLengths(std::size_t(width) + 1, 0);
    for (const LaRun& run : runs.runs) ++runLengths[std::size_t(run.end - run.start)];
    stats.runMode = smoothedMode(runLengths, kRunModeHalfWidth);
    stats.heightMode = smoothedMode(heights, kHeightModeHalfWidth);
    return LA_STATUS_OK;
}

// measureTextZone, looked up in the cache first; only successful
// measurements are kept.
std::int32_t measureTextZoneOnce(const LaBitmap& page, const LaZone& zone, LaTextStats& stats,
                                 TextStatsCache* cache) {
    if (!cache) return measureTextZone(page, zone, stats, nullptr);
    const std::array<std::int32_t, 4> box{zone.left, zone.top, zone.right, zone.bottom};
    if (const auto found = cache->byBox.find(box); found != cache->byBox.end()) {
        stats = found->second;
        return LA_STATUS_OK;
    }
    const std::int32_t status = measureTextZone(page, zone, stats, cache->rowRuns);
    if (status == LA_STATUS_OK) cache->byBox.emplace(box, stats);
    return status;
}

constexpr std::int64_t kNestingReach = 20;     // liesWithinTolerance's margin
constexpr std::int64_t kColumnLeftReach = 100; // stacked zones' largest left shift

// The text zones that zonesBelongTogether could accept, or that could change
// the first zone's run mode, as the later zone of a pair: nested zones meet
// within the nesting margin, stacked zones start within the left shift, and
// side-by-side zones share rows. Zones with reversed spans pair with all.
class MergeCandidates {
  public:
    MergeCandidates(const std::vector<LaZone>& zones, std::int32_t pass)
        : zones_(zones), pass_(pass), grid_(zones) {
        for (std::size_t i = 0; i < zones.size(); ++i) {
            if (!zoneWellFormed(zones[i])) reversed_.push_back(std::int32_t(i));
            byLeft_.push_back(std::int32_t(i));
            left_ = std::min<std::int64_t>(left_, zones[i].left);
            right_ = std::max<std::int64_t>(right_, zones[i].right);
        }
        std::stable_sort(byLeft_.begin(), byLeft_.end(), [&](std::int32_t x, std::int32_t y) {
            return zones[std::size_t(x)].left < zones[std::size_t(y)].left;
        });
    }

    // Ascending, each once, all after zone i.
    const std::vector<std::int32_t>& after(std::size_t i) {
        found_.clear();
        const LaZone& z = zones_[i];
        if (!zoneWellFormed(z)) {
            for (std::size_t j = i + 1; j < zones_.size(); ++j) found_.push_back(std::int32_t(j));
            return found_;
        }
        grid_.meeting(clampedZone(z.left - kNestingReach, z.top - kNestingReach,
                                  z.right + kNestingReach, z.bottom + kNestingReach),
                      found_);
        if (pass_ == kSideBySidePass)
            grid_.meeting(clampedZone(left_, z.top, right_, z.bottom), found_);
        if (pass_ == kStackedPass) {
            const auto first = std::lower_bound(byLeft_.begin(), byLeft_.end(),
                                                std::int64_t(z.left) - kColumnLeftReach,
                                                [&](std::int32_t k, std::int64_t left) {
                                                    return zones_[std::size_t(k)].left < left;
                                                });
            for (auto k = first; k != byLeft_.end() && zones_[std::size_t(*k)].left <=
                                                           std::int64_t(z.left) + kColumnLeftReach;
                 ++k)
                found_.push_back(*k);
        }
        found_.insert(found_.end(), reversed_.begin(), reversed_.end());
        found_.erase(std::remove_if(found_.begin(), found_.end(),
                                    [&](std::int32_t j) { return std::size_t(j) <= i; }),
                     found_.end());
        std::sort(found_.begin(), found_.end());
        found_.erase(std::unique(found_.begin(), found_.end()), found_.end());
        return found_;
    }

  private:
    const std::vector<LaZone>& zones_;
    std::int32_t pass_;
    ZoneGrid grid_;
    std::vector<std::int32_t> reversed_;
    std::vector<std::int32_t> byLeft_; // positions ordered by left edge
    std::int64_t left_ = INT32_MAX, right_ = INT32_MIN;
    std::vector<std::int32_t> found_;
};

// Box of every group of merged zones, in group order.
std::vector<LaZone> groupBoxes(const std::vector<LaZone>& textZones, UnionFind& sets) {
    std::int32_t groupCount = 0;
    const std::vector<std::int32_t> groupOf = sets.number(groupCount);
    LaZone empty;
    empty.left = empty.top = kEmptyBoxMin;
    empty.right = empty.bottom = 0;
    empty.content = LA_CONTENT_TEXT;
    empty.index = 0;
    std::vector<LaZone> groups(std::size_t(groupCount), empty);
    for (std::size_t i = 0; i < textZones.size(); ++i) {
        LaZone& g = groups[std::size_t(groupOf[i])];
        const LaZone& z = textZones[i];
        g.left = std::min(g.left, z.left);
        g.top = std::min(g.top, z.top);
        g.right = std::max(g.right, z.right);
        g.bottom = std::max(g.bottom, z.bottom);
    }
    return groups;
}

std::int32_t postProcessOrThrow(const LaBitmap* textInput, std::vector<LaZone>& zones,
                                std::int32_t pass, TextStatsCache* cache) {
    const HorizontalLines lines(horizontalLines(zones));
    if (!textInput) return LA_STATUS_OK;

    std::vector<LaZone> textZones;
    std::copy_if(zones.begin(), zones.end(), std::back_inserter(textZones), isTextZone);
    if (textZones.empty()) return LA_STATUS_OK;

    std::vector<LaTextStats> stats(textZones.size());
    for (std::size_t i = 0; i < textZones.size(); ++i) {
        const std::int32_t status = measureTextZoneOnce(*textInput, textZones[i], stats[i], cache);
        if (status != LA_STATUS_OK) return status;
    }

    // Every pair (i, j), i before j, in order as the run modes carry over
    // between pairs; the pairs left out can neither merge nor change a run mode.
    UnionFind sets(textZones.size());
    MergeCandidates candidates(textZones, pass);
    for (std::size_t i = 0; i < textZones.size(); ++i)
        for (const std::int32_t k : candidates.after(i)) {
            const std::size_t j = std::size_t(k);
            if (zonesBelongTogether(textZones[i], stats[i], textZones[j], stats[j], pass, lines))
                sets.join(std::int32_t(i), std::int32_t(j));
        }

    // The merged text zones follow every other zone, in the order of their first members.
    std::vector<LaZone> rebuilt;
    std::copy_if(zones.begin(), zones.end(), std::back_inserter(rebuilt),
                 [](const LaZone& z) { return !isTextZone(z); });
    const std::vector<LaZone> groups = groupBoxes(textZones, sets);
    rebuilt.insert(rebuilt.end(), groups.begin(), groups.end());
    zones = std::move(rebuilt);
    return LA_STATUS_OK;
}

} // namespace

std::int32_t postProcessZones(const LaBitmap* textInput, std::vector<LaZone>& zones,
                              std::int32_t pass, TextStatsCache* cache) {
    try {
        return postProcessOrThrow(textInput, zones, pass, cache);
    } catch (const std::bad_alloc&) {
        return LA_STATUS_OUT_OF_MEMORY;
    }
}

} // namespace quadrel
