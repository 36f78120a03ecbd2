// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "viewer/zoom_fit.h"

#include <gtest/gtest.h>

namespace {

constexpr int kBar = 17;

TViewportMetrics View(int clientWidth, int clientHeight, bool vShown = false, bool hShown = false) {
    return {clientWidth, clientHeight, vShown, hShown, kBar, kBar};
}

const TPageExtent kA4At300{true, 2480, 3508};

TEST(FitZoom, FitToWidthLeavesRoomForTheVerticalBarATallPageNeeds) {
    // 600 / 2480 makes the page 848 rows tall, more than 400: a bar will show.
    EXPECT_DOUBLE_EQ(FitZoom(zmFitToWidth, kA4At300, View(600, 400), 100.0),
                     (600.0 - kBar) / 2480.0 * 100.0);
    // A page that fits in height at full width keeps the whole width.
    const TPageExtent wide{true, 2480, 300};
    EXPECT_DOUBLE_EQ(FitZoom(zmFitToWidth, wide, View(600, 400), 100.0), 600.0 / 2480.0 * 100.0);
}

TEST(FitZoom, WidthAvailableCountsTheShownVerticalBar) {
    // Client 583 with a shown bar is the same view as 600 without one.
    EXPECT_DOUBLE_EQ(FitZoom(zmFitToWidth, kA4At300, View(600 - kBar, 400, true), 100.0),
                     FitZoom(zmFitToWidth, kA4At300, View(600, 400), 100.0));
}

TEST(FitZoom, FitToHeightLeavesRoomForTheHorizontalBarAWidePageNeeds) {
    const TPageExtent wide{true, 3508, 2480};
    EXPECT_DOUBLE_EQ(FitZoom(zmFitToHeight, wide, View(400, 600), 100.0),
                     (600.0 - kBar) / 2480.0 * 100.0);
    EXPECT_DOUBLE_EQ(FitZoom(zmFitToHeight, kA4At300, View(600, 400), 100.0),
                     400.0 / 3508.0 * 100.0);
}

TEST(FitZoom, FitToPageTakesTheSmallerScale) {
    EXPECT_DOUBLE_EQ(FitZoom(zmFitToPage, kA4At300, View(600, 400), 100.0), 400.0 / 3508.0 * 100.0);
}

TEST(FitZoom, FallbacksWithoutAPageAndModesThatKeepTheZoom) {
    const TPageExtent none;
    EXPECT_DOUBLE_EQ(FitZoom(zmFitToWidth, none, View(600, 400), 33.0), 100.0);
    EXPECT_DOUBLE_EQ(FitZoom(zmFitToHeight, none, View(600, 400), 33.0), 100.0);
    EXPECT_DOUBLE_EQ(FitZoom(zmFitToPage, none, View(600, 400), 33.0), 1.0);
    EXPECT_DOUBLE_EQ(FitZoom(zmFitToOriginal, kA4At300, View(600, 400), 33.0), 33.0);
    EXPECT_DOUBLE_EQ(FitZoom(zmCustom, kA4At300, View(600, 400), 33.0), 33.0);
}

TEST(FitZoom, ZoomIsClampedNotRefused) {
    EXPECT_DOUBLE_EQ(ClampZoom(0.01), 0.1);
    EXPECT_DOUBLE_EQ(ClampZoom(20000.0), 10000.0);
    EXPECT_DOUBLE_EQ(ClampZoom(-5.0), 0.1);
    EXPECT_DOUBLE_EQ(ClampZoom(42.5), 42.5);
}

} // namespace
