// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Zones of a straightened page placed back on the page the user gave: the
// geometry must be the analysis library's own, within a pixel.
#include "library/la_api.h"
#include "tests/support/generated_pages.h"
#include "tests/support/test_page.h"
#include "zones/deskew_geometry.h"
#include "zones/deskewed_page.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

using zones::DeskewGeometry;
using zones::PixelPoint;
using zones::ZoneRecord;

struct Analysis {
    std::vector<ZoneRecord> zones;
    std::int32_t skew = 0;
};

Analysis analyse(platform::GlobalHandle dib, std::initializer_list<std::int32_t> pipe) {
    LaContext* context = LA_Init(nullptr, nullptr);
    LaPipe* codes = LA_CreatePipe(context);
    for (std::int32_t code : pipe) LA_AddFunctionToPipe(codes, code);
    LA_SetParameter(context, LA_PARAM_NOISE_AND_PICTURES, 9);
    EXPECT_EQ(LA_Execute(context, dib), LA_STATUS_OK);
    Analysis analysis;
    LA_GetParameter(context, LA_PARAM_SKEW_ANGLE, &analysis.skew);
    analysis.zones =
        zones::readZones({context, LA_GetZonesCount, LA_GetZoneRect, LA_GetZoneContent});
    LA_Done(context);
    LA_DestroyPipe(codes);
    return analysis;
}

imaging::TDIB imageOf(const testsupport::TestPage& page) {
    platform::GlobalBlockOwner block = page.toDib();
    imaging::TDIB image;
    image.AttachHandle(block.get());
    block.release();
    return image;
}

zones::LayoutPage skewedPage(int width, int height, std::int32_t hundredths) {
    zones::LayoutPage page;
    page.width = width;
    page.height = height;
    page.skewMeasured = true;
    page.skewHundredths = hundredths;
    return page;
}

TEST(DeskewGeometry, WithoutSkewDetectionZonesStayWhereTheyAre) {
    zones::LayoutPage page;
    page.width = 300;
    page.height = 200;
    const DeskewGeometry geometry(page);
    EXPECT_EQ(geometry.canvasWidth(), 300);
    EXPECT_EQ(geometry.canvasHeight(), 200);
    EXPECT_FALSE(geometry.turns());
    const ZoneRecord zone{10, 20, 110, 60, LA_CONTENT_TEXT};
    const auto corners = zones::ZoneCorners(geometry, zone);
    EXPECT_EQ(corners[0], (PixelPoint{10, 20}));
    EXPECT_EQ(corners[1], (PixelPoint{109, 20}));
    EXPECT_EQ(corners[2], (PixelPoint{109, 60}));
    EXPECT_EQ(corners[3], (PixelPoint{10, 60}));
}

TEST(DeskewGeometry, SmallAnglesGrowTheCanvasWithoutTurning) {
    // 0.2 degrees: below the turning threshold, yet the canvas follows the angle
    // and the page sits in its middle.
    const DeskewGeometry geometry(skewedPage(1000, 800, 20));
    EXPECT_FALSE(geometry.turns());
    EXPECT_EQ(geometry.canvasWidth(), 1003); // ceil(1000 cos + 800 sin) = ceil(1002.79)
    EXPECT_EQ(geometry.canvasHeight(), 804); // ceil(800 cos + 1000 sin) = ceil(803.49)
    EXPECT_EQ(geometry.toOriginal({1, 2}), (PixelPoint{0, 0}));
}

TEST(DeskewGeometry, MappingBackAndForthStaysWithinAPixel) {
    for (const std::int32_t hundredths : {-1500, -740, -40, 60, 160, 1480}) {
        const DeskewGeometry geometry(skewedPage(1728, 2376, hundredths));
        ASSERT_TRUE(geometry.turns());
        for (std::int64_t y = 0; y < geometry.canvasHeight(); y += 97)
            for (std::int64_t x = 0; x < geometry.canvasWidth(); x += 89) {
                const PixelPoint p = geometry.toOriginal({x, y});
                if (p.x < 0 || p.y < 0 || p.x >= 1728 || p.y >= 2376) continue; // white fill
                const zones::PlanePoint back = geometry.toCanvas(p);
                EXPECT_LE(std::fabs(back.x - double(x)), 1.0) << hundredths << " " << x << "," << y;
                EXPECT_LE(std::fabs(back.y - double(y)), 1.0) << hundredths << " " << x << "," << y;
            }
    }
}

TEST(DeskewGeometry, MeasuredAnglesAreRebuiltOnTheMeasuringGrid) {
    EXPECT_DOUBLE_EQ(zones::MeasuredSkewDegrees(-140), -7 * 0.2);
    EXPECT_DOUBLE_EQ(zones::MeasuredSkewDegrees(139), 7 * 0.2); // truncated by the library
    EXPECT_DOUBLE_EQ(zones::MeasuredSkewDegrees(0), 0.0);
    EXPECT_DOUBLE_EQ(zones::MeasuredSkewDegrees(155), 1.55); // off the grid: as given
}

// The straightened page this geometry draws is the page the library analysed:
// text segmentation finds exactly the same zones on it.
TEST(DeskewGeometry, TheDeskewedPageIsThePageTheLibraryAnalysed) {
    const testsupport::TestPage tilted = testsupport::generatedTiltedPage();
    const imaging::TDIB original = imageOf(tilted);
    const Analysis withSkew =
        analyse(original.GetHandle(), {LA_FUNCTION_SKEW, LA_FUNCTION_TEXT_BLOCKS});
    const zones::LayoutPage page = skewedPage(original.Width(), original.Height(), withSkew.skew);
    const DeskewGeometry geometry(page);
    ASSERT_TRUE(geometry.turns()) << withSkew.skew;

    const imaging::TDIB straight = zones::DeskewedPage(original, geometry);
    EXPECT_EQ(straight.Width(), geometry.canvasWidth());
    EXPECT_EQ(straight.Height(), geometry.canvasHeight());
    const Analysis onStraight = analyse(straight.GetHandle(), {LA_FUNCTION_TEXT_BLOCKS});
    ASSERT_EQ(onStraight.zones.size(), withSkew.zones.size());
    ASSERT_FALSE(withSkew.zones.empty());
    for (std::size_t i = 0; i < withSkew.zones.size(); ++i) {
        const ZoneRecord& a = withSkew.zones[i];
        const ZoneRecord& b = onStraight.zones[i];
        EXPECT_EQ(std::vector<int>({a.left, a.top, a.right, a.bottom, a.content}),
                  std::vector<int>({b.left, b.top, b.right, b.bottom, b.content}))
            << i;
    }
}

// On a real fax page turned by 2 degrees: every zone's corners land inside
// the original page and go back to the zone's corners within a pixel, and
// text lines that climb to the right give polygons that climb too.
TEST(DeskewGeometry, ZonesOfASkewedFaxPageLieOnTheOriginal) {
    const auto fax = testsupport::loadCcittPage(1);
    if (!fax) GTEST_SKIP() << "jbigkit-testdata or jbgtopbm not installed";
    const testsupport::TestPage turned = testsupport::rotated(*fax, 2.0);
    const imaging::TDIB original = imageOf(turned);
    const Analysis analysis = analyse(
        original.GetHandle(), {LA_FUNCTION_SKEW, LA_FUNCTION_PICTURES, LA_FUNCTION_TEXT_BLOCKS});
    const DeskewGeometry geometry(skewedPage(original.Width(), original.Height(), analysis.skew));
    ASSERT_TRUE(geometry.turns()) << analysis.skew;
    ASSERT_FALSE(analysis.zones.empty());
    for (const ZoneRecord& zone : analysis.zones) {
        const auto corners = zones::ZoneCorners(geometry, zone);
        const std::array<PixelPoint, 4> canvas{{{zone.left, zone.top},
                                                {zone.right - 1, zone.top},
                                                {zone.right - 1, zone.bottom},
                                                {zone.left, zone.bottom}}};
        for (std::size_t k = 0; k < 4; ++k) {
            EXPECT_EQ(geometry.toOriginal(canvas[k]), corners[k]) << "corner outside the page";
            const zones::PlanePoint back = geometry.toCanvas(corners[k]);
            EXPECT_LE(std::fabs(back.x - double(canvas[k].x)), 1.0);
            EXPECT_LE(std::fabs(back.y - double(canvas[k].y)), 1.0);
        }
        if (zone.content == LA_CONTENT_TEXT && zone.right - zone.left > 400) {
            EXPECT_LT(corners[1].y, corners[0].y) << "the top edge climbs to the right";
        }
    }
}

} // namespace
