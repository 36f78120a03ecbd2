// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Zoom steps, the zoom about the pointer, scrolling to an area, the start of
// a newly opened page, unequal resolutions and high-density screens.
#include "viewer/page_view.h"

#include "imaging/tiff_io.h"

#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

namespace {

using viewer::NextZoomStep;
using viewer::ZoomDirection;

TEST(ZoomSteps, StepToTheNextFamiliarValue) {
    EXPECT_DOUBLE_EQ(NextZoomStep(100.0, ZoomDirection::In), 125.0);
    EXPECT_DOUBLE_EQ(NextZoomStep(100.0, ZoomDirection::Out), 75.0);
    EXPECT_DOUBLE_EQ(NextZoomStep(37.2, ZoomDirection::In), 50.0); // a fit value
    EXPECT_DOUBLE_EQ(NextZoomStep(37.2, ZoomDirection::Out), 33.0);
    EXPECT_DOUBLE_EQ(NextZoomStep(99.999, ZoomDirection::In), 125.0);
    // Beyond the ladder the zoom stays, never jumping back the other way.
    EXPECT_DOUBLE_EQ(NextZoomStep(5000.0, ZoomDirection::In), 5000.0);
    EXPECT_DOUBLE_EQ(NextZoomStep(2.0, ZoomDirection::Out), 2.0);
}

class ZoomAndScroll : public testing::Test {
  protected:
    void SetUp() override {
        view.resize(400, 300);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    }

    QString WritePage(const QString& name, int width, int height, int xDpi = 200, int yDpi = 200) {
        imaging::TDIB page;
        page.NewImage(width, height, imaging::pf1bit, xDpi, yDpi);
        page.Fill(255);
        const QString path = dir.filePath(name);
        imaging::SaveTiff(page, path.toStdString(), false, imaging::tcGroup4, 0);
        return path;
    }

    // The surface point at viewport point `at`.
    QPoint SurfaceAt(QPoint at) const { return at - view.DisplayPanel()->pos(); }

    QTemporaryDir dir;
    TVistrelImage view;
};

TEST_F(ZoomAndScroll, ANewPageStartsAtItsTopLeft) {
    view.LoadFile(WritePage("first.tif", 800, 3000), zmFitToWidth, 0);
    view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum());
    ASSERT_GT(view.verticalScrollBar()->value(), 0);
    view.LoadFile(WritePage("second.tif", 800, 2000), zmFitToWidth, 0);
    EXPECT_EQ(view.verticalScrollBar()->value(), 0);
    EXPECT_EQ(view.DisplayPanel()->pos().y(), 0);
}

TEST_F(ZoomAndScroll, RowsOfAFaxPageScaleByTheirOwnZoom) {
    view.LoadFile(WritePage("fax.tif", 400, 200, 200, 100), zmFitToWidth, 0);
    view.SetZoom(50.0);
    EXPECT_DOUBLE_EQ(view.VerticalZoom(), 100.0);
    EXPECT_EQ(view.DisplayPanel()->size(), QSize(200, 200));
}

TEST_F(ZoomAndScroll, StepsKeepThePointUnderThePointer) {
    view.LoadFile(WritePage("page.tif", 2000, 2000), zmFitToWidth, 0);
    view.SetZoom(100.0);
    view.horizontalScrollBar()->setValue(300);
    view.verticalScrollBar()->setValue(500);
    const QPoint pointer(120, 80);
    const QPoint before = SurfaceAt(pointer);

    view.StepZoom(ZoomDirection::In, pointer);
    EXPECT_DOUBLE_EQ(view.Zoom(), 125.0);
    EXPECT_EQ(view.ZoomMode(), zmCustom);
    const QPoint after = SurfaceAt(pointer);
    EXPECT_NEAR(after.x(), before.x() * 1.25, 1.0);
    EXPECT_NEAR(after.y(), before.y() * 1.25, 1.0);

    // Ctrl + wheel zooms the same way; the wheel alone scrolls.
    QWheelEvent wheel(QPointF(pointer), view.viewport()->mapToGlobal(QPointF(pointer)), QPoint(),
                      QPoint(0, -120), Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(view.viewport(), &wheel);
    EXPECT_DOUBLE_EQ(view.Zoom(), 100.0);
    EXPECT_NEAR(SurfaceAt(pointer).x(), before.x(), 1.0);
    QWheelEvent scroll(QPointF(pointer), view.viewport()->mapToGlobal(QPointF(pointer)), QPoint(),
                       QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(view.viewport(), &scroll);
    EXPECT_DOUBLE_EQ(view.Zoom(), 100.0);
}

TEST_F(ZoomAndScroll, ScrollToShowCentresAnAreaOutOfView) {
    view.LoadFile(WritePage("page.tif", 2000, 2000), zmFitToWidth, 0);
    view.SetZoom(100.0);
    const QRect area(1500, 1200, 40, 20);
    view.ScrollToShow(area);
    const QRect visible(-view.DisplayPanel()->pos(), view.viewport()->size());
    EXPECT_TRUE(visible.contains(area));
    const QPoint scrolled = -view.DisplayPanel()->pos();
    view.ScrollToShow(area.translated(10, 10)); // already in view: stays
    EXPECT_EQ(-view.DisplayPanel()->pos(), scrolled);
}

// Run with QT_SCALE_FACTOR=2 (the viewer_high_dpi test): the grey reduction
// is made at the device's pixels, not stretched up from the surface's.
TEST_F(ZoomAndScroll, HighDensityScreensGetAReductionAtTheirPixels) {
    const double ratio = view.DisplayPanel()->devicePixelRatioF();
    if (ratio < 2.0) GTEST_SKIP() << "needs a device pixel ratio of 2";
    view.LoadFile(WritePage("page.tif", 1000, 500), zmFitToWidth, 0);
    view.SetZoom(20.0);
    view.DisplayPanel()->grab();
    const imaging::TDIB* grey = view.DisplayPanel()->CachedGreyImage();
    ASSERT_NE(grey, nullptr);
    EXPECT_EQ(grey->Width(), 400); // 1000 x 20 % x 2
    view.SetZoom(30.0);            // 60 % in device pixels: drawn from the page itself
    view.DisplayPanel()->grab();
    EXPECT_EQ(view.DisplayPanel()->CachedGreyImage(), nullptr);
}

} // namespace
