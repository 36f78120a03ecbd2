// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Inverse text detection: dark bands that are mostly black are cut out, read
// with black and white exchanged through text block segmentation, and kept
// when that finds a text block of some height in them.
#include "library/functions/analysis_functions.h"
#include "library/functions/list_result.h"

#include "library/functions/dark_bands.h"
#include "library/la_api.h"

#include <algorithm>
#include <cstdlib>
#include <new>

namespace quadrel {

namespace {

constexpr std::int32_t kMinRegionInk = 700;       // per mille
constexpr std::int32_t kMinConfirmingHeight = 50; // a text block must be taller

bool hasConfirmingTextBlock(const LaList<LaTextBlock>& blocks) {
    return std::any_of(blocks.begin(), blocks.end(), [](const LaTextBlock& block) {
        return block.content == LA_CONTENT_TEXT &&
               std::abs(std::int64_t(block.yMax) - block.yMin) > kMinConfirmingHeight;
    });
}

enum class Verdict { accepted, rejected };

// Reads the region inverted. Status 0 with a verdict, or the status that ends
// the whole detection (a failed crop, or memory).
std::int32_t judgeRegion(const LaBitmap& input, const LaDarkRegion& region, Verdict& verdict) {
    verdict = Verdict::rejected;
    LaBitmap crop;
    const std::int32_t cropStatus =
        bitmapCrop(input, crop, region.left, region.top, region.right - region.left,
                   region.bottom - region.top);
    if (cropStatus != LA_STATUS_OK) return cropStatus;
    // White-on-black reads as ordinary text once the polarity flag is flipped;
    // the pixels stay as they are.
    crop.blackIsZero = crop.blackIsZero == 0 ? 1 : 0;
    LaList<LaTextBlock> blocks;
    const std::int32_t status = segmentTextBlocks(crop, nullptr, blocks, 0);
    if (status == LA_STATUS_OUT_OF_MEMORY) return LA_STATUS_OUT_OF_MEMORY;
    if (status == LA_STATUS_OK && hasConfirmingTextBlock(blocks)) verdict = Verdict::accepted;
    return LA_STATUS_OK;
}

LaRegionRecord regionRecord(const LaDarkRegion& region) {
    LaRegionRecord record;
    record.xMin = region.left;
    record.yMin = region.top;
    record.xMax = region.right;
    record.yMax = region.bottom;
    return record;
}

std::int32_t detectOrThrow(const LaBitmap& input, LaList<LaRegionRecord>& output,
                           std::int32_t minBandWidth) {
    std::vector<LaDarkRegion> candidates;
    // A page without black (or without a usable component) has no candidate;
    // only running out of memory is a failure.
    if (findDarkBandCandidates(input, minBandWidth, candidates) == LA_STATUS_OUT_OF_MEMORY)
        return LA_STATUS_OUT_OF_MEMORY;
    for (const LaDarkRegion& region : candidates) {
        if (region.ink < kMinRegionInk) continue;
        Verdict verdict = Verdict::rejected;
        const std::int32_t status = judgeRegion(input, region, verdict);
        if (status != LA_STATUS_OK) return status;
        if (verdict == Verdict::accepted) output.push_back(regionRecord(region));
    }
    return LA_STATUS_OK;
}

} // namespace

std::int32_t detectInverseText(const LaBitmap& input, LaList<LaRegionRecord>& output,
                               std::int32_t minBandWidth, std::int32_t /*unusedParameter301*/) {
    return fillListOrLeaveEmpty(output, [&] { return detectOrThrow(input, output, minBandWidth); });
}

} // namespace quadrel
