#include "library/zone_postprocess.h"

#include "library/image/components.h"
#include "library/image/disjoint_sets.h"
#include "library/image/smoothed_mode.h"
#include "library/status.h"
#include "library/zone_merge_rules.h"

#include <algorithm>
#include <iterator>
#include <new>

namespace quadrel {

namespace {

constexpr std::int32_t kLineContent = 0;
constexpr std::int32_t kTextContent = 6;
constexpr std::int32_t kRunModeHalfWidth = 4;
constexpr std::int32_t kHeightModeHalfWidth = 6;
constexpr std::int32_t kEmptyBoxMin = 0x7FFFFFFF;

// Line zones clearly wider than high: the separators of stacked text zones.
std::vector<LaZone> horizontalLines(const std::vector<LaZone>& zones) {
    std::vector<LaZone> lines;
    for (const LaZone& z : zones)
        if (z.content == kLineContent &&
            std::int64_t(z.right) - z.left > 3 * (std::int64_t(z.bottom) - z.top))
            lines.push_back(z);
    return lines;
}

bool isTextZone(const LaZone& z) {
    return z.content == kTextContent && z.right - z.left > 0;
}

// Typical run length and component height of the zone's area of the page
// (the page is stored bottom row first, zones count rows from the top).
std::int32_t measureTextZone(const LaBitmap& page, const LaZone& zone, LaTextStats& stats) {
    LaBitmap crop;
    const std::int32_t cropStatus = bitmapCrop(page, crop, zone.left, page.height - zone.bottom - 1,
                                               zone.right - zone.left, zone.bottom - zone.top + 1);
    if (cropStatus != kOk) return cropStatus;
    LaComponentSource source;
    source.rows = crop.hasPixels() ? crop.height : 0;
    source.width = crop.width;
    source.stride = crop.stride;
    source.options = 0x1010;
    source.blackIsZero = crop.blackIsZero;
    source.firstRow = crop.firstRow;
    std::vector<LaComponent> components;
    const std::int32_t status = extractComponents(&source, &components);
    if (status != kOk) return status;

    stats.rows = crop.height;
    stats.columns = crop.width;
    std::vector<std::int32_t> heights(std::size_t(crop.height) + 1, 0);
    for (const LaComponent& c : components) ++heights[std::size_t(c.yMax - c.yMin + 1)];
    std::vector<std::int32_t> runLengths(std::size_t(crop.width) + 1, 0);
    for (const auto& row : source.runTable)
        for (const LaRun& run : row) ++runLengths[std::size_t(run.end - run.start)];
    stats.runMode = smoothedMode(runLengths, kRunModeHalfWidth);
    stats.heightMode = smoothedMode(heights, kHeightModeHalfWidth);
    return kOk;
}

// Box of every group of merged zones, in group order.
std::vector<LaZone> groupBoxes(const std::vector<LaZone>& textZones, const DisjointSets& sets) {
    std::int32_t groupCount = 0;
    const std::vector<std::int32_t> groupOf = sets.number(groupCount);
    LaZone empty;
    empty.left = empty.top = kEmptyBoxMin;
    empty.right = empty.bottom = 0;
    empty.content = kTextContent;
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
                                std::int32_t pass) {
    const std::vector<LaZone> lines = horizontalLines(zones);
    if (!textInput) return kOk;

    std::vector<LaZone> textZones;
    std::copy_if(zones.begin(), zones.end(), std::back_inserter(textZones), isTextZone);
    if (textZones.empty()) return kOk;

    std::vector<LaTextStats> stats(textZones.size());
    for (std::size_t i = 0; i < textZones.size(); ++i) {
        const std::int32_t status = measureTextZone(*textInput, textZones[i], stats[i]);
        if (status != kOk) return status;
    }

    DisjointSets sets(textZones.size());
    for (std::size_t i = 0; i < textZones.size(); ++i)
        for (std::size_t j = i + 1; j < textZones.size(); ++j)
            if (zonesBelongTogether(textZones[i], stats[i], textZones[j], stats[j], pass, lines))
                sets.join(std::int32_t(i), std::int32_t(j));

    // The merged text zones follow every other zone, in the order of their first members.
    std::vector<LaZone> rebuilt;
    std::copy_if(zones.begin(), zones.end(), std::back_inserter(rebuilt),
                 [](const LaZone& z) { return !isTextZone(z); });
    const std::vector<LaZone> groups = groupBoxes(textZones, sets);
    rebuilt.insert(rebuilt.end(), groups.begin(), groups.end());
    zones = std::move(rebuilt);
    return kOk;
}

} // namespace

std::int32_t postProcessZones(const LaBitmap* textInput, std::vector<LaZone>& zones,
                              std::int32_t pass) {
    try {
        return postProcessOrThrow(textInput, zones, pass);
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
}

} // namespace quadrel
