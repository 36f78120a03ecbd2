// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "library/zone_table.h"

#include "library/image/run_table_memo.h"
#include "library/la_api.h"
#include "library/zone_cleanup.h"
#include "library/zone_postprocess.h"

#include <cstdlib>
#include <new>
#include <utility>

namespace quadrel {

namespace {

// Written only while the library lock is held.
ZonePageSize gPageSize;

template <class Record> std::size_t sizeOf(const std::unique_ptr<LaList<Record>>& list) {
    return list ? list->size() : 0;
}

LaZone zoneOf(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
              std::int32_t content) {
    return LaZone{left, top, right, bottom, content, 0};
}

// Small text blocks are noise. The spans are raw differences: the height one
// taken absolute, the width one not.
std::int32_t textBlockContent(const LaTextBlock& block, std::int32_t noiseSize) {
    const std::int64_t rows = std::llabs(std::int64_t(block.yMax) - block.yMin);
    const std::int64_t columns = std::int64_t(block.xMax) - block.xMin;
    return rows < noiseSize && columns < noiseSize ? LA_CONTENT_NOISE : block.content;
}

std::vector<LaZone> gatherZones(const LaContext& c) {
    std::vector<LaZone> zones;
    zones.reserve(sizeOf(c.linesList) + sizeOf(c.inverseList) + sizeOf(c.pictureList) +
                  sizeOf(c.textList));
    if (c.linesList)
        for (const LaRegionRecord& r : *c.linesList)
            zones.push_back(zoneOf(r.xMin, r.yMin, r.xMax, r.yMax, r.content));
    if (c.inverseList)
        for (const LaRegionRecord& r : *c.inverseList)
            zones.push_back(zoneOf(r.xMin, r.yMin, r.xMax, r.yMax, LA_CONTENT_INVERTED_TEXT));
    if (c.pictureList)
        for (const LaPictureRecord& r : *c.pictureList)
            zones.push_back(zoneOf(r.xMin, r.yMin, r.xMax, r.yMax, LA_CONTENT_PICTURE));
    if (c.textList)
        for (const LaTextBlock& b : *c.textList)
            zones.push_back(
                zoneOf(b.xMin, b.yMin, b.xMax, b.yMax, textBlockContent(b, c.param400)));
    return zones;
}

} // namespace

ZonePageSize zonePageSize() {
    return gPageSize;
}

std::int32_t buildZoneTable(LaContext& context) {
    context.zones.clear();
    try {
        context.zones = gatherZones(context);
    } catch (const std::bad_alloc&) {
        return LA_STATUS_OUT_OF_MEMORY;
    }
    for (LaZone& zone : context.zones) std::swap(zone.top, zone.bottom);

    if (context.textInput) gPageSize = {context.textInput->width, context.textInput->height};
    markRedundantZones(context.zones, gPageSize.width, gPageSize.height);
    try {
        compactZones(context.zones);
    } catch (const std::bad_alloc&) {
        return LA_STATUS_OUT_OF_MEMORY;
    }

    TextStatsCache measured;
    if (context.textInput)
        measured.rowRuns = RunTableMemo::find(*context.textInput, RunAxis::kRows);
    const std::int32_t status =
        postProcessZones(context.textInput.get(), context.zones, 0, &measured);
    if (status != LA_STATUS_OK) return status;
    return postProcessZones(context.textInput.get(), context.zones, 1, &measured);
}

} // namespace quadrel
