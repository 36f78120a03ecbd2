// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// measureBlock against a plain restatement of its features: every row and
// column list encoded one at a time, every statistic summed run by run in
// floating point. The features must agree to the last bit, since the
// classifier compares them with fixed thresholds.
#include "library/functions/block_classifier.h"
#include "library/image/column_encoder.h"
#include "library/image/components.h"
#include "library/la_api.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

using quadrel::LaBitmap;

using Lists = std::vector<std::vector<std::int32_t>>;

struct Stats {
    double n[2] = {1.0, 1.0};
    double s[2] = {1.0, 1.0};
    double q[2] = {0.0, 0.0};
    double runCountSum = 0.0;
    std::size_t mostEntries = 0;
};

// The runs of a list: stretches k = first ... size - 5, black when k is odd;
// an empty first stretch (a line starting black) is left out.
std::pair<std::size_t, std::size_t> runsOf(const std::vector<std::int32_t>& list) {
    if (list.size() < 5) return {0, 0};
    return {list[1] != 0 ? 0 : 1, list.size() - 4};
}

Stats statsOf(const Lists& lists) {
    Stats st;
    for (const auto& list : lists) {
        const auto [first, end] = runsOf(list);
        for (std::size_t k = first; k < end; ++k) {
            st.n[k & 1] += 1.0;
            st.s[k & 1] += double(list[k + 1] - list[k]);
        }
        st.runCountSum += double(end - first);
        st.mostEntries = std::max(st.mostEntries, list.size());
    }
    const double mean[2] = {st.s[0] / st.n[0], st.s[1] / st.n[1]};
    for (const auto& list : lists) {
        const auto [first, end] = runsOf(list);
        for (std::size_t k = first; k < end; ++k) {
            const double d = double(list[k + 1] - list[k]) - mean[k & 1];
            st.q[k & 1] += d * d;
        }
    }
    return st;
}

quadrel::BlockFeatures referenceFeatures(const LaBitmap& image) {
    Lists rows, columns;
    std::vector<std::int32_t> out;
    for (int r = 0; r < image.height; ++r) {
        const auto n = quadrel::encodeRow(image.row(r), image.width, image.whiteByte(), out);
        rows.emplace_back(out.begin(), out.begin() + n);
    }
    for (int x = 0; x < image.width; ++x) {
        const auto n = quadrel::encodeColumn(image, x, out);
        columns.emplace_back(out.begin(), out.begin() + n);
    }
    const Stats r = statsOf(rows);
    const Stats c = statsOf(columns);
    quadrel::BlockFeatures f;
    const double h = image.height;
    f.rows = h;
    f.width = image.width;
    f.ink = r.s[1] / (r.s[0] + r.s[1]);
    f.meanBlackRow = r.s[1] / r.n[1];
    f.meanWhiteRow = r.s[0] / r.n[0];
    f.meanBlackCol = c.s[1] / c.n[1];
    f.sdBlackRow = std::sqrt(r.q[1]) / r.n[1];
    f.sdBlackCol = std::sqrt(c.q[1]) / c.n[1];
    f.rowRuns = (r.runCountSum / h) / f.width;
    f.colRuns = (c.runCountSum / f.width) / h;
    double spread = 0.0;
    for (const auto& list : columns) {
        const auto [first, end] = runsOf(list);
        spread += std::fabs(double(end - first) - c.runCountSum / f.width);
    }
    f.colSpread = spread / h;
    f.rowPeak = (double(r.mostEntries) - 4.0) / f.width;
    const std::size_t busiest = std::max<std::size_t>(c.mostEntries, 5);
    std::size_t second = 5;
    for (const auto& list : columns)
        if (list.size() + 5 < busiest && list.size() > second) second = list.size();
    f.colPeak = (double(second) - 5.0) / h;
    return f;
}

// A block image as text segmentation draws it (a 0 bit is black): blobs
// of black on white, some rows and columns starting or ending black.
LaBitmap randomBlockImage(std::mt19937& random) {
    const int width = 1 + int(random() % 180);
    const int height = 1 + int(random() % 180);
    LaBitmap image;
    quadrel::bitmapAllocate(image, height, width, quadrel::rowLengthForWidth(width), 1);
    const int blobs = int(random() % 40);
    for (int b = 0; b < blobs; ++b) {
        const int x0 = int(random() % unsigned(width));
        const int y0 = int(random() % unsigned(height));
        const int w = 1 + int(random() % 30);
        const int h = 1 + int(random() % 30);
        for (int y = y0; y < std::min(height, y0 + h); ++y)
            for (int x = x0; x < std::min(width, x0 + w); ++x)
                if (random() % 5 != 0) image.row(y)[x >> 3] &= std::uint8_t(~(0x80 >> (x & 7)));
    }
    return image;
}

TEST(BlockFeaturesTest, EveryFeatureEqualsThePlainComputation) {
    std::mt19937 random(31);
    for (int trial = 0; trial < 400; ++trial) {
        const LaBitmap image = randomBlockImage(random);
        const quadrel::BlockFeatures f = quadrel::measureBlock(image);
        const quadrel::BlockFeatures g = referenceFeatures(image);
        const auto context = ::testing::Message() << image.width << " x " << image.height;
        // Bitwise equality: NaN (no black at all) must match NaN too.
        auto same = [](double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); };
        EXPECT_TRUE(same(f.ink, g.ink)) << context;
        EXPECT_TRUE(same(f.meanBlackRow, g.meanBlackRow)) << context;
        EXPECT_TRUE(same(f.meanWhiteRow, g.meanWhiteRow)) << context;
        EXPECT_TRUE(same(f.meanBlackCol, g.meanBlackCol)) << context;
        EXPECT_TRUE(same(f.sdBlackRow, g.sdBlackRow)) << context;
        EXPECT_TRUE(same(f.sdBlackCol, g.sdBlackCol)) << context;
        EXPECT_TRUE(same(f.rowRuns, g.rowRuns)) << context;
        EXPECT_TRUE(same(f.colRuns, g.colRuns)) << context;
        EXPECT_TRUE(same(f.colSpread, g.colSpread)) << context;
        EXPECT_TRUE(same(f.rowPeak, g.rowPeak)) << context;
        EXPECT_TRUE(same(f.colPeak, g.colPeak)) << context;
    }
}

// Fine noise (short runs, a few per cent ink) reaches the rule that reads
// the deviations, which classifyBlock computes only then.
LaBitmap noiseField(std::mt19937& random) {
    const int width = 150 + int(random() % 400);
    const int height = 150 + int(random() % 400);
    LaBitmap image;
    quadrel::bitmapAllocate(image, height, width, quadrel::rowLengthForWidth(width), 1);
    const unsigned percent = 3 + random() % 13;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (random() % 100 < percent) image.row(y)[x >> 3] &= std::uint8_t(~(0x80 >> (x & 7)));
    return image;
}

TEST(BlockFeaturesTest, ClassifyingAnImageEqualsClassifyingItsFeatures) {
    std::mt19937 random(32);
    int pictures = 0;
    for (int trial = 0; trial < 200; ++trial) {
        const LaBitmap image = trial % 2 ? noiseField(random) : randomBlockImage(random);
        const std::int32_t content = quadrel::classifyBlock(image);
        if (image.height >= 40 || image.width >= 40) {
            EXPECT_EQ(content, quadrel::classifyFeatures(quadrel::measureBlock(image)))
                << image.width << " x " << image.height;
        }
        pictures += content == LA_CONTENT_PICTURE;
    }
    EXPECT_GT(pictures, 0);
    EXPECT_LT(pictures, 200);
}

} // namespace
