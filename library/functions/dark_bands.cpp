// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "library/functions/dark_bands.h"

#include "library/image/run_table_memo.h"
#include "library/la_api.h"

#include <algorithm>
#include <limits>
#include <new>

namespace quadrel {

namespace {

// Two thirds of the band consistency ratio: a row must be this dark (per mille).
constexpr std::int32_t kRowDensityThreshold = kBandConsistency * 2 / 3;

struct BandEnd {
    std::int32_t end = 0;
    std::int32_t next = 0; // where the search goes on
};

// Follows a band from `start` until the smallest value falls below `ratio` per
// mille of the largest. A break on the last value counts as no break.
BandEnd followBand(std::span<const std::int32_t> s, std::int32_t start, std::int32_t ratio) {
    const std::int32_t n = std::int32_t(s.size());
    std::int32_t lo = s[std::size_t(start)];
    std::int32_t hi = lo;
    for (std::int32_t j = start + 1; j < n; ++j) {
        lo = std::min(lo, s[std::size_t(j)]);
        hi = std::max(hi, s[std::size_t(j)]);
        if (std::int64_t(lo) * 1000 / hi < ratio) {
            if (j >= n - 1) break;
            return {j, j + 1};
        }
    }
    return {n - 1, n - 1};
}

// Every component that can hold a band, with the edge profiles and pixel
// counts of its rows gathered from its runs (per run rather than per pixel)
// as labelling numbers them. A band needs a row wider than minBandWidth, and
// no row is wider than its component: the narrower components (nearly all)
// have none and are left out. The wide components' rows lie in one flat
// array while the runs are read, and go to the records at the end.
class RowProfiles final : public NumberedRowReader {
  public:
    explicit RowProfiles(std::int32_t minBandWidth) : minBandWidth_(minBandWidth) {}

    void start(const std::vector<LaComponentBox>& boxes) override {
        rowZero_.assign(boxes.size(), kNarrow);
        std::int64_t entries = 0;
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            const LaComponentBox& b = boxes[i];
            if (std::int64_t(b.xEnd) - b.xMin <= minBandWidth_) continue;
            rowZero_[i] = std::int32_t(entries - b.yMin);
            wide_.emplace_back().yMin = b.yMin;
            firstEntry_.push_back(std::size_t(entries));
            entries += b.yMax - b.yMin + 1;
            // Entries are numbered in 32 bits; so many could not be held anyway.
            if (entries > std::numeric_limits<std::int32_t>::max()) throw std::bad_alloc();
        }
        firstEntry_.push_back(std::size_t(entries));
        rows_.assign(std::size_t(entries), RowEntry{});
    }

    // Consecutive runs of one wide component (on a page of dots nearly all
    // of a row's runs) are summed before its entry is read.
    void read(std::int32_t r, std::span<const LaRun> runs) override {
        const LaRun* run = runs.data();
        const LaRun* const end = run + runs.size();
        while (run != end) {
            const std::int32_t label = run->label;
            const std::int32_t zero = rowZero_[std::size_t(label)];
            if (zero == kNarrow) {
                ++run;
                continue;
            }
            const std::int32_t left = run->start;
            std::int32_t right = run->end;
            std::int32_t count = run->end - run->start;
            for (++run; run != end && run->label == label; ++run) {
                right = run->end;
                count += run->end - run->start;
            }
            RowEntry& e = rows_[std::size_t(std::ptrdiff_t(zero) + r)];
            e.left = std::min(e.left, left);
            e.right = std::max(e.right, right);
            e.count += count;
        }
    }

    // The wide components with their profiles, once every row is read.
    std::vector<ComponentRows> components() {
        for (std::size_t w = 0; w < wide_.size(); ++w) {
            ComponentRows& c = wide_[w];
            const std::size_t first = firstEntry_[w];
            const std::size_t rows = firstEntry_[w + 1] - first;
            c.rowLeft.resize(rows);
            c.rowRight.resize(rows);
            c.rowCount.resize(rows);
            for (std::size_t i = 0; i < rows; ++i) {
                const RowEntry& e = rows_[first + i];
                c.rowLeft[i] = e.left;
                c.rowRight[i] = e.right;
                c.rowCount[i] = e.count;
            }
        }
        rows_ = {};
        return std::move(wide_);
    }

  private:
    struct RowEntry {
        std::int32_t left = kBoxStartMin;
        std::int32_t right = 0;
        std::int32_t count = 0;
    };
    static constexpr std::int32_t kNarrow = std::numeric_limits<std::int32_t>::min();

    std::int32_t minBandWidth_;
    // Per component: the entry of its row 0 (its top row's entry less its
    // top row), or kNarrow.
    std::vector<std::int32_t> rowZero_;
    std::vector<std::size_t> firstEntry_; // per wide component, and one past the last
    std::vector<RowEntry> rows_;          // the wide components' rows, one after another
    std::vector<ComponentRows> wide_;
};

} // namespace

std::vector<BandSpan> findBands(std::span<const std::int32_t> values, std::int32_t ratio,
                                std::int32_t minLength) {
    std::vector<BandSpan> bands;
    const std::int32_t n = std::int32_t(values.size());
    std::int32_t i = 0;
    while (i < n - 1) {
        if (values[std::size_t(i)] <= 0) {
            ++i;
            continue;
        }
        const BandEnd band = followBand(values, i, ratio);
        if (band.end - i > minLength) {
            bands.push_back({i, band.end});
            i = band.next;
        } else {
            i = i + 1;
        }
        ++i; // the next start lies one further still
    }
    return bands;
}

std::vector<std::int32_t> smoothedRowDarkness(const ComponentRows& component,
                                              std::int32_t minBandWidth) {
    const std::size_t n = component.rowCount.size();
    std::vector<std::int32_t> value(n, 0);
    for (std::size_t r = 0; r < n; ++r) {
        const std::int64_t width = std::int64_t(component.rowRight[r]) - component.rowLeft[r];
        if (width <= minBandWidth || width <= 0) continue;
        const std::int64_t density = std::int64_t(component.rowCount[r]) * 1000 / width;
        if (density > kRowDensityThreshold) value[r] = std::int32_t(density);
    }
    std::vector<std::int32_t> smoothed(n, 0);
    for (std::size_t r = 1; r + 1 < n; ++r)
        smoothed[r] = (value[r - 1] + value[r] + value[r + 1]) / 3;
    return smoothed;
}

std::vector<LaDarkRegion> componentDarkBands(const ComponentRows& component,
                                             std::int32_t minBandWidth) {
    std::vector<LaDarkRegion> regions;
    const std::vector<std::int32_t> darkness = smoothedRowDarkness(component, minBandWidth);
    for (const BandSpan& band : findBands(darkness)) {
        LaDarkRegion region;
        for (std::int32_t r = band.start; r < band.end; ++r) {
            region.left = std::min(region.left, component.rowLeft[std::size_t(r)]);
            region.right = std::max(region.right, component.rowRight[std::size_t(r)]);
        }
        region.top = component.yMin + band.start;
        region.bottom = component.yMin + band.end;
        regions.push_back(region);
    }
    return regions;
}

std::int32_t regionInk(const LaBitmap& bitmap, const LaDarkRegion& region) {
    const std::int32_t firstColumn = region.left / 8 * 8;
    const std::int32_t endColumn = std::int32_t((std::int64_t(region.right) + 7) / 8 * 8);
    const std::int64_t columns = std::int64_t(endColumn) - firstColumn;
    const std::int64_t rows = std::int64_t(region.bottom) - region.top + 1;
    if (columns <= 0 || rows <= 0 || !bitmap.hasPixels()) return 0;
    // Whole bytes are read, the row padding included.
    const std::int32_t readable = std::int32_t(bitmap.rowBytes() * 8) - firstColumn;
    const std::int32_t width = std::int32_t(std::min<std::int64_t>(columns, readable));
    std::int64_t black = 0;
    for (std::int32_t y = std::max(region.top, 0); y <= std::min(region.bottom, bitmap.height - 1);
         ++y)
        black += countBlackPixels(bitmap.row(y) + firstColumn / 8, width, bitmap.blackIsZero != 0);
    return std::int32_t(black * 1000 / (rows * columns));
}

std::int32_t findDarkBandCandidates(const LaBitmap& bitmap, std::int32_t minBandWidth,
                                    std::vector<LaDarkRegion>& candidates) {
    candidates.clear();
    try {
        LabelledRuns labels;
        RowProfiles profiles(minBandWidth);
        const std::int32_t status = labelPageComponents(bitmap, labels, &profiles);
        if (status != LA_STATUS_OK) return status;
        for (const ComponentRows& component : profiles.components()) {
            std::vector<LaDarkRegion> bands = componentDarkBands(component, minBandWidth);
            candidates.insert(candidates.end(), bands.begin(), bands.end());
        }
        // Text block segmentation reads this page again when no line is removed.
        RunTableMemo::keepLabels(bitmap, std::move(labels));
    } catch (const std::bad_alloc&) {
        candidates.clear();
        return LA_STATUS_OUT_OF_MEMORY;
    }
    for (LaDarkRegion& candidate : candidates) candidate.ink = regionInk(bitmap, candidate);
    return LA_STATUS_OK;
}

} // namespace quadrel
