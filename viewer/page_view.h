// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The page viewer: a scrollable, zoomable view of one page of an image file.
//
// TVistrelImage is the scroll area; it owns the page (TMemoryImage), the
// drawing surface (TDisplayPanel) and the annotation layer. It places the
// surface itself: centred while the page is smaller than the visible area
// (the scroll bar of that direction hidden), else scrolled. A 1-bit page
// shown below half size is smoothed by drawing a 16-level grey reduction.
// Paint and mouse events of the surface reach the owner as signals, with
// coordinates in surface pixels: page columns x Zoom / 100 across, page rows
// x VerticalZoom / 100 down (the two differ on pages of unequal resolutions).
// Ctrl + mouse wheel zooms by steps about the pointer.
#pragma once

#include "viewer/annotations.h"
#include "viewer/display_panel.h"
#include "viewer/memory_image.h"
#include "viewer/zoom_fit.h"
#include "viewer/zoom_steps.h"

#include <QScrollArea>

#include <memory>

class TVistrelImage : public QScrollArea, private TDisplayPanelOwner {
    Q_OBJECT
  public:
    explicit TVistrelImage(QWidget* parent = nullptr);
    ~TVistrelImage() override;

    TMemoryImage& Image() { return *image_; }
    const TMemoryImage& Image() const override { return *image_; }
    TDisplayPanel* DisplayPanel() const { return displayPanel_; }
    TAnnotationsEditor& AnnotationsEditor() { return annotations_; }

    // Loads page `page` of the file, reads its annotations (errors there are
    // ignored) and sets Zoom to the fit value of `mode` without changing
    // ZoomMode. The new page is shown from its top-left corner. Loading errors
    // propagate, and leave an empty view without scroll bars.
    void LoadFile(const QString& fileName, TZoomMode mode, int page);

    int Page() const { return image_->Page(); }
    // Shows another page of the same file, clamped to the file's pages; does
    // nothing once the file is gone.
    void SetPage(int page);
    int PageCount() const { return image_->PageCount(); }

    // The page's block handle (owned by the page) for the analysis library.
    platform::GlobalHandle ImageHandle() const { return image_->DIB().GetHandle(); }
    // The page takes the block; the view is refreshed.
    void SetImageHandle(platform::GlobalHandle handle);

    double Zoom() const override { return zoom_; }
    // The zoom of page rows: Zoom stretched by the page's horizontal over
    // vertical resolution, as the surface height is (Zoom without a page).
    double VerticalZoom() const;
    // Steps the zoom in or out (see zoom_steps.h) keeping the page point under
    // `anchor` (viewport pixels) where it is; the zoom mode becomes zmCustom.
    void StepZoom(viewer::ZoomDirection direction, QPoint anchor);
    // Steps about the centre of the visible area.
    void StepZoom(viewer::ZoomDirection direction);
    // Clamps to 0.1 .. 10000 percent, resizes and places the surface.
    void SetZoom(double zoom);
    TZoomMode ZoomMode() const { return zoomMode_; }
    // Stores the mode and, unless it is zmCustom, applies its fit value.
    void SetZoomMode(TZoomMode mode);
    // The zoom that `mode` asks for in the view's current size.
    double FitValue(TZoomMode mode) const;

    bool Centered() const { return centered_; }
    void SetCentered(bool centered);
    TAntialiasing Antialiasing() const override { return antialiasing_; }
    void SetAntialiasing(TAntialiasing mode);
    // Stored (clamped to 0 .. 100) for callers; the drawing smooths below a
    // fixed 50 percent.
    int AntialiasingThreshold() const { return antialiasingThreshold_; }
    void SetAntialiasingThreshold(int threshold);

    // Below this zoom a 1-bit page is drawn from a grey reduction.
    static constexpr double kScaleToGrayBelow = TDisplayPanel::kScaleToGrayBelow;
    static constexpr int kGreyLevels = TDisplayPanel::kGreyLevels;

    // Places the surface; repaints it (dropping its grey cache) when that
    // changed anything or `force` is set.
    void RefreshView(bool force);

    // Scrolls so that `area` (surface pixels) is in view, centred when it
    // fits; does nothing when it is already wholly visible.
    void ScrollToShow(const QRect& area);

    // The visible area and the scroll bars as the fit rules see them.
    TViewportMetrics Metrics() const;
    bool IsLayingOut() const override { return layingOut_; }

  signals:
    // After every paint of the surface, with the surface's painter: the owner
    // draws its overlays here.
    void painted(QPainter& painter);
    // After every zoom change.
    void scaled();
    void imageMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void imageMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void imageMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x, int y);

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

  private:
    void PanelPainted(QPainter& painter) override { emit painted(painter); }
    TPageExtent PageExtent() const;
    QSize SurfaceSizeFor(double zoom) const;
    // Places a w x h surface; false when nothing moved or re-entered.
    bool LayOut(int width, int height);
    // Reads a page of a file with its annotations; the next zoom repaints.
    void LoadPage(const QString& fileName, int page);
    void LoadAnnotations();
    // Sets the zoom, then scrolls so that the surface point that was under
    // `anchor` (viewport pixels) is there again.
    void ZoomAbout(double zoom, QPoint anchor);

    std::unique_ptr<TMemoryImage> image_;
    TDisplayPanel* displayPanel_ = nullptr;
    TAnnotationsEditor annotations_;
    int antialiasingThreshold_ = 50;
    bool centered_ = true;
    double zoom_ = 100.0;
    TZoomMode zoomMode_ = zmCustom;
    TAntialiasing antialiasing_ = aaScaleToGray;
    bool layingOut_ = false;
    bool forceRepaint_ = false;
};
