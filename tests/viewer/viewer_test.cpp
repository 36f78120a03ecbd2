// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "viewer/page_view.h"

#include "tiny_tiff.h"

#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// A shown viewer of a known size; pages are put straight into its image.
class ViewerTest : public testing::Test {
  protected:
    void SetUp() override {
        viewer.resize(400, 300);
        viewer.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&viewer));
    }

    // A white 1-bit page with a black top-left pixel, shown at `zoom`.
    void ShowPage(int width, int height, double zoom,
                  imaging::PixelFormat format = imaging::pf1bit) {
        imaging::TDIB& dib = viewer.Image().DIB();
        dib.NewImage(width, height, format, 200, 200);
        dib.Fill(255);
        dib.SetPixel(0, 0, 0);
        viewer.RefreshView(true);
        viewer.SetZoom(zoom);
    }

    int BarExtent() const { return viewer.style()->pixelMetric(QStyle::PM_ScrollBarExtent); }

    TVistrelImage viewer;
};

TEST_F(ViewerTest, ZoomIsClampedAndSizesTheSurface) {
    ShowPage(1000, 500, 10.0);
    EXPECT_EQ(viewer.DisplayPanel()->size(), QSize(100, 50));
    viewer.SetZoom(0.01);
    EXPECT_DOUBLE_EQ(viewer.Zoom(), 0.1);
    EXPECT_EQ(viewer.DisplayPanel()->size(), QSize(1, 0));
    viewer.SetZoom(20000.0);
    EXPECT_DOUBLE_EQ(viewer.Zoom(), 10000.0);
}

TEST_F(ViewerTest, SurfaceHeightUsesTheCorrectedRowCount) {
    viewer.Image().DIB().NewImage(50, 1000, imaging::pf1bit, 200, 100);
    viewer.SetZoom(10.0);
    EXPECT_EQ(viewer.DisplayPanel()->size(), QSize(5, 200));
}

TEST_F(ViewerTest, ASmallPageIsCentredWithoutScrollBars) {
    ShowPage(100, 50, 100.0);
    EXPECT_EQ(viewer.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(viewer.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(viewer.DisplayPanel()->geometry(), QRect(150, 125, 100, 50));
}

TEST_F(ViewerTest, ALargePageScrollsFromTheTopLeft) {
    ShowPage(1000, 800, 100.0);
    EXPECT_EQ(viewer.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(viewer.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(viewer.DisplayPanel()->pos(), QPoint(0, 0));
    // The style's bar extent is what the bars really take from the view.
    EXPECT_EQ(viewer.viewport()->size(), QSize(400 - BarExtent(), 300 - BarExtent()));
    EXPECT_EQ(viewer.horizontalScrollBar()->maximum(), 1000 - (400 - BarExtent()));
    viewer.horizontalScrollBar()->setValue(120);
    viewer.verticalScrollBar()->setValue(30);
    EXPECT_EQ(viewer.DisplayPanel()->pos(), QPoint(-120, -30));
}

TEST_F(ViewerTest, AWidePageKeepsItsVerticalCentring) {
    // Too wide for the view, short enough to be centred vertically once the
    // horizontal bar has taken its height.
    ShowPage(1000, 100, 100.0);
    EXPECT_EQ(viewer.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(viewer.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(viewer.DisplayPanel()->y(), (300 - BarExtent() - 100) / 2);
}

TEST_F(ViewerTest, FitModesFollowTheViewAndOriginalKeepsTheZoom) {
    ShowPage(1000, 2000, 100.0);
    viewer.SetZoomMode(zmFitToWidth);
    EXPECT_DOUBLE_EQ(viewer.Zoom(), (400.0 - BarExtent()) / 1000.0 * 100.0);
    viewer.SetZoomMode(zmFitToOriginal);
    EXPECT_DOUBLE_EQ(viewer.Zoom(), (400.0 - BarExtent()) / 1000.0 * 100.0);
    viewer.SetZoomMode(zmFitToHeight);
    EXPECT_DOUBLE_EQ(viewer.Zoom(), 300.0 / 2000.0 * 100.0);
    // The fit is kept when the view is resized.
    viewer.resize(400, 500);
    EXPECT_DOUBLE_EQ(viewer.Zoom(), 500.0 / 2000.0 * 100.0);
}

TEST_F(ViewerTest, OneBitPagesBelowHalfSizeAreDrawnFromAGreyReduction) {
    ShowPage(400, 200, 49.0);
    viewer.DisplayPanel()->grab();
    const imaging::TDIB* grey = viewer.DisplayPanel()->CachedGreyImage();
    ASSERT_NE(grey, nullptr);
    EXPECT_EQ(grey->BitCount(), 4);
    // A second paint reuses the reduction.
    viewer.DisplayPanel()->grab();
    EXPECT_EQ(viewer.DisplayPanel()->CachedGreyImage(), grey);

    viewer.SetZoom(50.0);
    viewer.DisplayPanel()->grab();
    EXPECT_EQ(viewer.DisplayPanel()->CachedGreyImage(), nullptr);

    viewer.SetZoom(30.0);
    viewer.SetAntialiasing(aaNone);
    viewer.DisplayPanel()->grab();
    EXPECT_EQ(viewer.DisplayPanel()->CachedGreyImage(), nullptr);
}

TEST_F(ViewerTest, GreyPagesAreNeverReduced) {
    ShowPage(400, 200, 25.0, imaging::pf8bit);
    viewer.DisplayPanel()->grab();
    EXPECT_EQ(viewer.DisplayPanel()->CachedGreyImage(), nullptr);
}

TEST_F(ViewerTest, PaintDrawsThePageThenRaisesPaintedWithTheSurfacePainter) {
    ShowPage(40, 30, 200.0);
    int paints = 0;
    QObject::connect(&viewer, &TVistrelImage::painted, [&](QPainter& painter) {
        ++paints;
        painter.fillRect(QRect(70, 50, 4, 4), Qt::red);
    });
    const QImage shot = viewer.DisplayPanel()->grab().toImage();
    EXPECT_GE(paints, 1);
    EXPECT_EQ(shot.size(), QSize(80, 60));
    EXPECT_EQ(shot.pixelColor(1, 1), QColor(Qt::black)); // page pixel (0, 0) at 200 %
    EXPECT_EQ(shot.pixelColor(10, 10), QColor(Qt::white));
    EXPECT_EQ(shot.pixelColor(71, 51), QColor(Qt::red)); // drawn by the owner, on top
}

TEST_F(ViewerTest, MouseEventsArriveInSurfacePixels) {
    ShowPage(100, 50, 100.0);
    QSignalSpy down(&viewer, &TVistrelImage::imageMouseDown);
    QTest::mousePress(viewer.DisplayPanel(), Qt::LeftButton, Qt::ShiftModifier, QPoint(30, 40));
    ASSERT_EQ(down.count(), 1);
    EXPECT_EQ(down[0][0].value<Qt::MouseButton>(), Qt::LeftButton);
    EXPECT_EQ(down[0][2].toInt(), 30);
    EXPECT_EQ(down[0][3].toInt(), 40);
}

TEST_F(ViewerTest, LoadFileFitsTheWidthAndPagesCarryTheirAnnotations) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("pages.tif"));
    const std::vector<std::uint8_t> note{'n', 'o', 't', 'e', ' ', '#', '2'};
    ASSERT_TRUE(testsupport::WriteBytes(path.toStdString(),
                                        testsupport::TinyTiff({{200, 100, {}}, {300, 50, note}})));

    viewer.LoadFile(path, zmFitToWidth, 0);
    EXPECT_EQ(viewer.ZoomMode(), zmCustom);
    EXPECT_DOUBLE_EQ(viewer.Zoom(), 400.0 / 200.0 * 100.0);
    EXPECT_EQ(viewer.PageCount(), 2);
    EXPECT_TRUE(viewer.AnnotationsEditor().IsEmpty());

    viewer.SetPage(7); // clamped to the last page
    EXPECT_EQ(viewer.Page(), 1);
    EXPECT_EQ(viewer.Image().DIB().Width(), 300);
    EXPECT_EQ(viewer.AnnotationsEditor().RawData(), note);
    EXPECT_DOUBLE_EQ(viewer.AnnotationsEditor().Zoom(), viewer.Zoom());
}

TEST_F(ViewerTest, AFailedLoadShowsAnEmptyViewAndReports) {
    ShowPage(100, 50, 100.0);
    EXPECT_THROW(viewer.LoadFile(QStringLiteral("/nonexistent/page.tif"), zmFitToWidth, 0),
                 imaging::ImageError);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("junk.tif"));
    ASSERT_TRUE(testsupport::WriteBytes(path.toStdString(), {'I', 'I', 42, 0, 9, 9, 9, 9}));
    ShowPage(3000, 3000, 100.0); // scrolled both ways
    ASSERT_EQ(viewer.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_THROW(viewer.LoadFile(path, zmFitToWidth, 0), imaging::ImageError);
    EXPECT_FALSE(viewer.Image().IsValid());
    // Nothing of the old page is left: no surface, no scroll bars.
    EXPECT_TRUE(viewer.DisplayPanel()->size().isEmpty());
    EXPECT_EQ(viewer.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(viewer.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    const QImage shot = viewer.grab().toImage();
    EXPECT_EQ(shot.pixelColor(200, 150), QColor(128, 128, 128));
}

} // namespace
