// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Code 2: the ruling lines of a page, then the tables they form.
#include "library/functions/analysis_functions.h"
#include "library/functions/line_bridging.h"
#include "library/functions/table_detection.h"
#include "library/image/line_acceptance.h"
#include "library/image/line_extraction.h"
#include "library/la_api.h"

#include <new>

namespace quadrel {

namespace {

constexpr std::int32_t kSearchHorizontal = 1;
constexpr std::int32_t kSearchVertical = 2;

// Finds the lines along one direction and appends the accepted ones. Line
// removal searches the same page next, mostly with the same anchor length:
// the columns' segments for its gap are found while the columns are read.
std::int32_t appendAcceptedLines(const LaBitmap& input, LineOrientation orientation,
                                 std::int32_t minSeedLength, std::int32_t maxThickness,
                                 LaList<LaRegionRecord>& accepted) {
    FoundLines found;
    const std::int32_t status = findLines(input, orientation, minSeedLength, kDetectionBridgingGap,
                                          found, kRemovalBridgingGap);
    if (status != LA_STATUS_OK) return status;
    for (LaRegionRecord line : found.lines) {
        if (!acceptLine(line, maxThickness, RatioMode::kInteger, input)) continue;
        line.content = LA_CONTENT_LINE;
        line.reserved = 0;
        accepted.push_back(line);
    }
    return LA_STATUS_OK;
}

std::int32_t findAcceptedLines(const LaBitmap& input, std::int32_t minSeedLength,
                               std::int32_t maxThickness, std::int32_t directionMask,
                               LaList<LaRegionRecord>& accepted) {
    try {
        if (directionMask & kSearchHorizontal) {
            const std::int32_t status = appendAcceptedLines(input, LineOrientation::kHorizontal,
                                                            minSeedLength, maxThickness, accepted);
            if (status != LA_STATUS_OK) return status;
        }
        if (directionMask & kSearchVertical)
            return appendAcceptedLines(input, LineOrientation::kVertical, minSeedLength,
                                       maxThickness, accepted);
        return LA_STATUS_OK;
    } catch (const std::bad_alloc&) {
        return LA_STATUS_OUT_OF_MEMORY;
    }
}

} // namespace

std::int32_t detectLinesAndTables(const LaBitmap& input, LaList<LaRegionRecord>& output,
                                  std::int32_t minSeedLength, std::int32_t maxThickness,
                                  std::int32_t directionMask, std::int32_t /*spare*/) {
    output.clear();
    LaList<LaRegionRecord> accepted;
    const std::int32_t status =
        findAcceptedLines(input, minSeedLength, maxThickness, directionMask, accepted);
    if (status != LA_STATUS_OK || accepted.empty()) return status;
    output = std::move(accepted);
    return appendTables(output, output.size());
}

} // namespace quadrel
