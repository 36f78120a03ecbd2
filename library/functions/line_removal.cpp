// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Code 4: a copy of the page with its ruling lines painted white. Lines are
// found and judged on the unchanged input; only the copy is painted.
#include "library/functions/analysis_functions.h"
#include "library/functions/line_bridging.h"
#include "library/image/line_acceptance.h"
#include "library/image/line_extraction.h"
#include "library/image/run_table_memo.h"
#include "library/la_api.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <optional>
#include <vector>

namespace quadrel {

namespace {

constexpr std::int32_t kRemoveHorizontal = 1;
constexpr std::int32_t kRemoveVertical = 2;

// Paints pixels [start, end) of row `row` white: whole bytes where the span
// covers them, masked bits at its ends.
void paintRowWhite(LaBitmap& bitmap, std::int32_t row, std::int32_t start, std::int32_t end) {
    start = std::max(start, 0);
    end = std::min(end, bitmap.width);
    if (start >= end) return;
    std::uint8_t* bytes = bitmap.row(row);
    const bool whiteIsOne = bitmap.blackIsZero != 0;
    const std::int32_t firstByte = start >> 3;
    const std::int32_t lastByte = (end - 1) >> 3;
    for (std::int32_t k = firstByte; k <= lastByte; ++k) {
        std::uint8_t mask = 0xFF;
        if (k == firstByte) mask &= std::uint8_t(0xFF >> (start & 7));
        if (k == lastByte) mask &= std::uint8_t(0xFF << (7 - ((end - 1) & 7)));
        bytes[k] = whiteIsOne ? std::uint8_t(bytes[k] | mask) : std::uint8_t(bytes[k] & ~mask);
    }
}

// Paints rows [start, end) of column `column` white.
void paintColumnWhite(LaBitmap& bitmap, std::int32_t column, std::int32_t start, std::int32_t end) {
    start = std::max(start, 0);
    end = std::min(end, bitmap.height);
    const std::uint8_t bit = std::uint8_t(0x80 >> (column & 7));
    const bool whiteIsOne = bitmap.blackIsZero != 0;
    for (std::int32_t r = start; r < end; ++r) {
        std::uint8_t& byte = bitmap.row(r)[column >> 3];
        byte = whiteIsOne ? std::uint8_t(byte | bit) : std::uint8_t(byte & ~bit);
    }
}

std::vector<bool> acceptedLines(const FoundLines& found, std::int32_t maxThickness, RatioMode mode,
                                const LaBitmap& input) {
    std::vector<bool> accepted(found.lines.size());
    for (std::size_t k = 0; k < found.lines.size(); ++k)
        accepted[k] = acceptLine(found.lines[k], maxThickness, mode, input);
    return accepted;
}

// Clears every segment of an accepted horizontal line together with one row
// above and one below it (clamped to the bitmap), so the ragged edge rows of a
// scanned rule go too.
void paintHorizontalLines(const FoundLines& found, const std::vector<bool>& accepted,
                          LaBitmap& output) {
    const std::int32_t last = output.height - 1;
    for (std::size_t r = 0; r < found.segments.size(); ++r) {
        const std::int32_t row = std::int32_t(r);
        for (const LaSegment& s : found.segments[r]) {
            if (!accepted[std::size_t(s.lineId)]) continue;
            paintRowWhite(output, row, s.start, s.end);
            paintRowWhite(output, std::max(row - 1, 0), s.start, s.end);
            paintRowWhite(output, std::min(row + 1, last), s.start, s.end);
        }
    }
}

// Clears every segment of an accepted vertical line in its own column only.
void paintVerticalLines(const FoundLines& found, const std::vector<bool>& accepted,
                        LaBitmap& output) {
    for (std::size_t c = 0; c < found.segments.size(); ++c)
        for (const LaSegment& s : found.segments[c])
            if (accepted[std::size_t(s.lineId)])
                paintColumnWhite(output, std::int32_t(c), s.start, s.end);
}

// Hands the input's row runs on to the painted copy for text block
// segmentation, which reads it next: a row left alone keeps its runs, a
// painted row is read again. Nothing reads the input's tables after this,
// so they go, and so does the copy of its pixels.
// Nothing is kept when memory runs out: the copy is made all the same.
void handRowRunsToCopy(const LaBitmap& input, const LaBitmap& output) {
    std::optional<RunTable> rows = RunTableMemo::take(input, RunAxis::kRows);
    if (!rows || rows->size() != std::size_t(output.height)) return;
    try {
        RowRunRoom room;
        const std::size_t bytes = (std::size_t(output.width) + 7) / 8;
        for (std::int32_t r = 0; r < output.height; ++r) {
            if (std::memcmp(input.row(r), output.row(r), bytes) == 0) continue;
            std::vector<LaRun>& row = (*rows)[std::size_t(r)];
            row.clear();
            appendRowRuns(output.row(r), output.width, output.blackIsZero != 0, room, row);
        }
        RunTableMemo::keep(output, RunAxis::kRows, std::move(*rows));
    } catch (const std::bad_alloc&) {
    }
}

std::int32_t removeFoundLines(const LaBitmap& input, LaBitmap& output, std::int32_t minSeedLength,
                              std::int32_t maxThickness, std::int32_t directionMask) {
    // Both searches run before anything is painted; a failed search leaves
    // the output an exact copy.
    FoundLines horizontal;
    FoundLines vertical;
    if (directionMask & kRemoveHorizontal) {
        const std::int32_t status = findLines(input, LineOrientation::kHorizontal, minSeedLength,
                                              kRemovalBridgingGap, horizontal);
        if (status != LA_STATUS_OK) return status;
    }
    if (directionMask & kRemoveVertical) {
        const std::int32_t status = findLines(input, LineOrientation::kVertical, minSeedLength,
                                              kRemovalBridgingGap, vertical);
        if (status != LA_STATUS_OK) return status;
    }
    // No later step reads column runs: they go before the page is painted.
    RunTableMemo::drop(input, RunAxis::kColumns);
    const std::vector<bool> keepH =
        acceptedLines(horizontal, maxThickness, RatioMode::kExact, input);
    const std::vector<bool> keepV =
        acceptedLines(vertical, maxThickness, RatioMode::kInteger, input);
    paintHorizontalLines(horizontal, keepH, output);
    paintVerticalLines(vertical, keepV, output);
    // Labels kept for the input are of no use once its copy has changed.
    const auto any = [](const std::vector<bool>& v) {
        return std::find(v.begin(), v.end(), true) != v.end();
    };
    if (any(keepH) || any(keepV)) {
        handRowRunsToCopy(input, output);
        RunTableMemo::takeLabels(input);
    }
    return LA_STATUS_OK;
}

} // namespace

std::int32_t removeLines(const LaBitmap& input, LaBitmap& output, std::int32_t minSeedLength,
                         std::int32_t /*unusedParameter203*/, std::int32_t maxThickness,
                         std::int32_t directionMask, std::int32_t /*spare*/) {
    const std::int32_t status = bitmapCopy(input, output);
    if (status != LA_STATUS_OK) return status;
    if (!input.hasPixels() || !output.hasPixels()) return LA_STATUS_OK;
    try {
        return removeFoundLines(input, output, minSeedLength, maxThickness, directionMask);
    } catch (const std::bad_alloc&) {
        return LA_STATUS_OUT_OF_MEMORY;
    }
}

} // namespace quadrel
