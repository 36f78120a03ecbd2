// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "library/image/component_profiles.h"

#include <algorithm>

namespace quadrel {

namespace {

ComponentProfiles profilesFor(const LaComponent& c, std::int32_t options) {
    ComponentProfiles p;
    const std::size_t rows = std::size_t(c.yMax - c.yMin + 1);
    const std::size_t cols = std::size_t(c.xEnd - c.xMin);
    if (options & kEdgeProfiles) {
        p.rowLeft.assign(rows, kBoxStartMin);
        p.rowRight.assign(rows, 0);
        p.colTop.assign(cols, kBoxStartMin);
        p.colBottom.assign(cols, 0);
    }
    if (options & kPixelCounts) {
        p.colCount.assign(cols, 0);
        p.rowCount.assign(rows, 0);
    }
    return p;
}

void addRunToProfiles(const LaComponent& c, ComponentProfiles& p, const LaRun& run, std::int32_t r,
                      std::int32_t options) {
    const std::size_t i = std::size_t(r - c.yMin);
    if (options & kEdgeProfiles) {
        p.rowLeft[i] = std::min(p.rowLeft[i], run.start);
        p.rowRight[i] = std::max(p.rowRight[i], run.end);
        for (std::int32_t x = run.start; x < run.end; ++x) {
            const std::size_t j = std::size_t(x - c.xMin);
            p.colBottom[j] = r;
            p.colTop[j] = std::min(p.colTop[j], r);
        }
    }
    if (options & kPixelCounts) {
        p.rowCount[i] += run.end - run.start;
        for (std::int32_t x = run.start; x < run.end; ++x) p.colCount[std::size_t(x - c.xMin)] += 1;
    }
}

} // namespace

void recordProfiles(const RunTable& runs, const std::vector<LaComponent>& components,
                    std::int32_t options, std::vector<ComponentProfiles>& profiles) {
    profiles.reserve(profiles.size() + components.size());
    const std::size_t first = profiles.size();
    for (const LaComponent& c : components) profiles.push_back(profilesFor(c, options));
    for (std::size_t r = 0; r < runs.size(); ++r)
        for (const LaRun& run : runs[r]) {
            const std::size_t i = std::size_t(run.label);
            addRunToProfiles(components[i], profiles[first + i], run, std::int32_t(r), options);
        }
}

} // namespace quadrel
