// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Measurements read from a page's row runs, cut to a window, against the
// same measurements read from the pixels: text zone statistics (both passes
// must merge the same zones, with zones inside the page, on its edges and
// reaching past it) and block stroke widths.
#include "library/functions/block_merging.h"
#include "library/image/line_extraction.h"
#include "library/la_api.h"
#include "library/zone_postprocess.h"
#include "tests/support/test_page.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using quadrel::LaZone;

// Letters of random sizes in random places, black in the stored polarity.
testsupport::TestPage textPage(std::mt19937& random, int width, int height) {
    testsupport::TestPage page(width, height);
    for (int k = 0; k < 400; ++k) {
        const int x = int(random() % unsigned(width));
        const int y = int(random() % unsigned(height));
        const int w = 3 + int(random() % 14);
        const int h = 6 + int(random() % 20);
        page.fillRect(x, y, w, h);
        if (w > 8 && h > 8) page.fillRect(x + 2, y + 2, w - 4, h - 4, false);
    }
    return page;
}

std::vector<LaZone> randomTextZones(std::mt19937& random, int width, int height) {
    std::vector<LaZone> zones;
    for (int k = 0; k < 24; ++k) {
        LaZone z;
        z.left = int(random() % unsigned(width + 20)) - 10;
        z.top = int(random() % unsigned(height + 20)) - 10;
        z.right = z.left + 1 + int(random() % 160);
        z.bottom = z.top + int(random() % 120);
        z.content = k % 7 == 0 ? LA_CONTENT_LINE : LA_CONTENT_TEXT; // a few lines among the text
        zones.push_back(z);
    }
    return zones;
}

void expectSameZones(const std::vector<LaZone>& a, const std::vector<LaZone>& b) {
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].left, b[i].left) << i;
        EXPECT_EQ(a[i].top, b[i].top) << i;
        EXPECT_EQ(a[i].right, b[i].right) << i;
        EXPECT_EQ(a[i].bottom, b[i].bottom) << i;
        EXPECT_EQ(a[i].content, b[i].content) << i;
    }
}

TEST(KeptRowRunsTest, ZonesMeasureLikeCropsOfThePage) {
    std::mt19937 random(51);
    for (int trial = 0; trial < 40; ++trial) {
        const int width = 200 + int(random() % 300);
        const int height = 150 + int(random() % 300);
        const auto page = textPage(random, width, height);
        const quadrel::LaBitmap bitmap = page.toBitmap(int(random() % 2), random() % 2 == 0);
        const quadrel::RunTable rowRuns = quadrel::buildRowRunTable(bitmap);
        std::vector<LaZone> cropped = randomTextZones(random, width, height);
        std::vector<LaZone> clipped = cropped;
        quadrel::TextStatsCache withRuns;
        withRuns.rowRuns = &rowRuns;
        for (std::int32_t pass : {0, 1}) {
            const std::int32_t a = quadrel::postProcessZones(&bitmap, cropped, pass);
            const std::int32_t b = quadrel::postProcessZones(&bitmap, clipped, pass, &withRuns);
            ASSERT_EQ(a, b) << "trial " << trial << ", pass " << pass;
            expectSameZones(cropped, clipped);
        }
    }
}

TEST(KeptRowRunsTest, StrokeFromRowRunsEqualsStrokeFromPixels) {
    std::mt19937 random(52);
    for (int trial = 0; trial < 30; ++trial) {
        const int width = 100 + int(random() % 300);
        const int height = 100 + int(random() % 200);
        const auto page = textPage(random, width, height);
        const quadrel::LaBitmap bitmap = page.toBitmap(int(random() % 2), random() % 2 == 0);
        const quadrel::RunTable rowRuns = quadrel::buildRowRunTable(bitmap);
        for (int k = 0; k < 30; ++k) {
            quadrel::LaBlockBox block;
            block.left = int(random() % unsigned(width + 10)) - 5;
            block.right = block.left + int(random() % 120);
            block.top = int(random() % unsigned(height + 10)) - 5;
            block.bottom = block.top + int(random() % 90);
            EXPECT_EQ(quadrel::estimateStroke(block, bitmap, &rowRuns),
                      quadrel::estimateStroke(block, bitmap))
                << block.left << " " << block.right << " " << block.top << " " << block.bottom;
        }
    }
}

} // namespace
