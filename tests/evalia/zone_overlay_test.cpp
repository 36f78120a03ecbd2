// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "evalia/zone_overlay.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

using zones::ZoneRecord;

constexpr std::int32_t kText = 6;
const QColor kBlue(0, 0, 255);
const QColor kWhite(255, 255, 255);

QImage Render(const std::vector<ZoneRecord>& zones, const evalia::ZoneOverlayState& state,
              QSize size = QSize(400, 200)) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    evalia::DrawZoneOverlay(painter, zones, state);
    return image;
}

int CountColour(const QImage& image, const QRect& area, const QColor& colour) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) n += image.pixelColor(x, y) == colour;
    return n;
}

evalia::ZoneOverlayState AtZoom(double zoom) {
    evalia::ZoneOverlayState state;
    state.scale = evalia::SurfaceScale::Uniform(zoom);
    return state;
}

TEST(ZoneOverlay, HalfSizeOutlineStopsShortOfRightAndBottom) {
    // Page (10, 20)-(300, 60) at 50 % is (5, 10)-(150, 30) on the surface.
    const QImage image = Render({{10, 20, 300, 60, kText}}, AtZoom(50.0));
    EXPECT_EQ(image.pixelColor(5, 10), kBlue);
    EXPECT_EQ(image.pixelColor(149, 10), kBlue);
    EXPECT_EQ(image.pixelColor(5, 29), kBlue);
    EXPECT_EQ(image.pixelColor(149, 29), kBlue);
    EXPECT_EQ(image.pixelColor(150, 10), kWhite);
    EXPECT_EQ(image.pixelColor(5, 30), kWhite);
    EXPECT_EQ(image.pixelColor(4, 10), kWhite);
    EXPECT_EQ(image.pixelColor(5, 9), kWhite);
    // The label "0" starts at the centre (77, 20): ink right of and below it
    // only (text is smoothed, so any non-white pixel counts as ink).
    const QRect below(77, 20, 20, 9), left(60, 11, 16, 18), above(77, 11, 20, 9);
    EXPECT_LT(CountColour(image, below, kWhite), below.width() * below.height());
    EXPECT_EQ(CountColour(image, left, kWhite), left.width() * left.height());
    EXPECT_EQ(CountColour(image, above, kWhite), above.width() * above.height());
}

TEST(ZoneOverlay, PageToSurfaceRoundsHalfToEven) {
    EXPECT_EQ(evalia::PageToSurface(5, 50.0), 2); // 2.5
    EXPECT_EQ(evalia::PageToSurface(7, 50.0), 4); // 3.5
    EXPECT_EQ(evalia::PageToSurface(-5, 50.0), -2);
    EXPECT_EQ(evalia::SurfaceToPage(3, 200.0), 2); // 1.5
    EXPECT_EQ(evalia::SurfaceToPage(150, 50.0), 300);
}

TEST(ZoneOverlay, EachContentHasItsColourAndUnknownCodesAreNoise) {
    const std::vector<std::pair<std::int32_t, QColor>> expected{
        {0, QColor(255, 255, 0)}, {1, QColor(128, 0, 128)},   {2, QColor(0, 128, 128)},
        {3, QColor(128, 0, 0)},   {4, QColor(0, 128, 0)},     {5, QColor(255, 0, 0)},
        {6, QColor(0, 0, 255)},   {7, QColor(128, 128, 128)}, {9, QColor(128, 128, 128)}};
    std::vector<ZoneRecord> zones;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const int left = 10 + int(i) * 40;
        zones.push_back({left, 10, left + 30, 100, expected[i].first});
    }
    const QImage image = Render(zones, AtZoom(100.0));
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(image.pixelColor(10 + int(i) * 40, 50), expected[i].second) << "zone " << i;
}

TEST(ZoneOverlay, HiddenKindsAreNotDrawnAndCodeNineFollowsNoise) {
    evalia::ZoneOverlayState state = AtZoom(100.0);
    state.shownKinds.set(zones::ZoneKind::Text, false);
    state.shownKinds.set(zones::ZoneKind::Noise, false);
    const QImage image =
        Render({{10, 10, 100, 100, kText}, {150, 10, 250, 100, 9}, {300, 10, 390, 100, 5}}, state);
    EXPECT_EQ(CountColour(image, QRect(0, 0, 260, 200), kWhite), 260 * 200);
    EXPECT_EQ(image.pixelColor(300, 50), QColor(255, 0, 0));
}

TEST(ZoneOverlay, SelectedAndListChosenZonesAreHatchedOnce) {
    const std::vector<ZoneRecord> zones{{10, 10, 110, 110, kText}, {200, 10, 300, 110, kText}};
    const QRect inside0(20, 20, 30, 30); // away from the label at (60, 60)
    const QRect inside1(210, 20, 30, 30);

    evalia::TSelectedZones selected;
    evalia::ZoneOverlayState state = AtZoom(100.0);
    state.selected = &selected;
    QImage image = Render(zones, state);
    EXPECT_EQ(CountColour(image, inside0, kBlue), 0);
    EXPECT_EQ(CountColour(image, inside1, kBlue), 0);

    selected.Toggle(0);
    state.listSelection = 1;
    image = Render(zones, state);
    const int hatch = CountColour(image, inside0, kBlue);
    EXPECT_GT(hatch, 0);
    EXPECT_GT(CountColour(image, inside1, kBlue), 0);

    // Chosen both ways: hatched exactly as when chosen once.
    state.listSelection = 0;
    image = Render(zones, state);
    EXPECT_EQ(CountColour(image, inside0, kBlue), hatch);
    EXPECT_EQ(CountColour(image, inside1, kBlue), 0);
}

TEST(ZoneOverlay, ClicksHitHalfOpenRectanglesInZoneOrder) {
    const std::vector<ZoneRecord> zones{{10, 20, 300, 60, kText}, {0, 0, 400, 400, 5}};
    EXPECT_EQ(evalia::ZonesAtSurfacePoint(zones, {299, 59}, evalia::SurfaceScale::Uniform(100.0)),
              (std::vector<int>{0, 1}));
    EXPECT_EQ(evalia::ZonesAtSurfacePoint(zones, {300, 59}, evalia::SurfaceScale::Uniform(100.0)),
              (std::vector<int>{1}));
    EXPECT_EQ(evalia::ZonesAtSurfacePoint(zones, {10, 20}, evalia::SurfaceScale::Uniform(100.0)),
              (std::vector<int>{0, 1}));
    EXPECT_EQ(evalia::ZonesAtSurfacePoint(zones, {9, 20}, evalia::SurfaceScale::Uniform(100.0)),
              (std::vector<int>{1}));
    // At 50 % the surface point (149, 29) is page (298, 58).
    EXPECT_EQ(evalia::ZonesAtSurfacePoint(zones, {149, 29}, evalia::SurfaceScale::Uniform(50.0)),
              (std::vector<int>{0, 1}));
    EXPECT_EQ(evalia::ZonesAtSurfacePoint(zones, {150, 30}, evalia::SurfaceScale::Uniform(50.0)),
              (std::vector<int>{1}));
}

// A 200 x 100 dpi page is shown twice as tall per row as per column: at 50 %
// its rows scale by 100 %. Outlines and clicks follow both factors.
TEST(ZoneOverlay, UnequalResolutionsScaleRowsAndColumnsApart) {
    const std::vector<ZoneRecord> zones{{10, 20, 300, 60, kText}};
    evalia::ZoneOverlayState state;
    state.scale = {50.0, 100.0};
    state.showNumbers = false;
    const QImage image = Render(zones, state);
    EXPECT_EQ(image.pixelColor(5, 20), kBlue);
    EXPECT_EQ(image.pixelColor(149, 59), kBlue);
    EXPECT_EQ(image.pixelColor(149, 60), kWhite);
    EXPECT_EQ(image.pixelColor(5, 10), kWhite); // where one factor for both would put it
    EXPECT_EQ(evalia::ZoneSurfaceRect(zones[0], state.scale), QRect(5, 20, 145, 40));

    EXPECT_EQ(evalia::ZonesAtSurfacePoint(zones, {149, 59}, state.scale), std::vector<int>{0});
    EXPECT_TRUE(evalia::ZonesAtSurfacePoint(zones, {149, 60}, state.scale).empty());
    EXPECT_TRUE(evalia::ZonesAtSurfacePoint(zones, {100, 15}, state.scale).empty());
    EXPECT_EQ(evalia::SurfaceToPage(QPoint(149, 59), state.scale), QPoint(298, 59));
}

// Yellow keeps its colour on the outline itself, with a dark ring on both
// sides so that it shows on white; dark colours get no ring.
TEST(ZoneOverlay, LightOutlinesGetADarkRing) {
    evalia::ZoneOverlayState state = AtZoom(100.0);
    state.showNumbers = false;
    const QImage image = Render({{10, 10, 100, 100, 0}, {200, 10, 300, 100, kText}}, state);
    const QColor yellow(255, 255, 0);
    EXPECT_EQ(image.pixelColor(10, 50), yellow);
    EXPECT_EQ(image.pixelColor(99, 50), yellow);
    for (const QPoint ring : {QPoint(9, 50), QPoint(11, 50), QPoint(100, 50), QPoint(50, 9)})
        EXPECT_LT(image.pixelColor(ring).lightness(), 80) << ring.x() << "," << ring.y();
    EXPECT_EQ(image.pixelColor(199, 50), kWhite);
    EXPECT_EQ(image.pixelColor(201, 50), kWhite);
}

TEST(ZoneOverlay, NumbersCanBeHiddenAndGrowWithTheZoom) {
    const std::vector<ZoneRecord> zones{{0, 0, 100, 100, kText}};
    const auto inkBelowRightOfCentre = [&](const evalia::ZoneOverlayState& state, QRect area) {
        const QImage image = Render(zones, state, QSize(800, 800));
        return area.width() * area.height() - CountColour(image, area, kWhite);
    };
    evalia::ZoneOverlayState state = AtZoom(100.0);
    EXPECT_GT(inkBelowRightOfCentre(state, QRect(51, 51, 20, 20)), 0);
    state.showNumbers = false;
    EXPECT_EQ(inkBelowRightOfCentre(state, QRect(51, 51, 20, 20)), 0);
    // At 400 % the centre is (200, 200); an 11-pixel digit would end within
    // 15 rows of it, the grown one reaches further down.
    state = AtZoom(400.0);
    EXPECT_GT(inkBelowRightOfCentre(state, QRect(201, 216, 40, 20)), 0);
}

TEST(SelectedZones, ToggleAddsAndRemovesDecimalNumbers) {
    evalia::TSelectedZones selected;
    selected.Toggle(4);
    selected.Toggle(12);
    EXPECT_EQ(selected.Numbers(), (QStringList{"4", "12"}));
    selected.Toggle(4);
    EXPECT_FALSE(selected.Contains(4));
    EXPECT_TRUE(selected.Contains(12));
}

} // namespace
