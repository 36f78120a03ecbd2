// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "viewer/page_view.h"

#include "imaging/image_stream.h"
#include "imaging/tiff_decoder.h"

#include <QFile>
#include <QFileInfo>
#include <QResizeEvent>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

const QColor kViewerColour(128, 128, 128);

} // namespace

TVistrelImage::TVistrelImage(QWidget* parent)
    : QScrollArea(parent), image_(std::make_unique<TMemoryImage>()) {
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(false);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, kViewerColour);
    colours.setColor(QPalette::Dark, kViewerColour);
    setPalette(colours);
    setBackgroundRole(QPalette::Window);
    viewport()->setBackgroundRole(QPalette::Window);
    viewport()->setAutoFillBackground(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    // The surface is placed by LayOut, not by QScrollArea's own widget logic.
    displayPanel_ = new TDisplayPanel(static_cast<TDisplayPanelOwner&>(*this), viewport());
    displayPanel_->setGeometry(0, 0, 100, 100);
    displayPanel_->show();
    connect(displayPanel_, &TDisplayPanel::mouseDown, this, &TVistrelImage::imageMouseDown);
    connect(displayPanel_, &TDisplayPanel::mouseUp, this, &TVistrelImage::imageMouseUp);
    connect(displayPanel_, &TDisplayPanel::mouseMove, this, &TVistrelImage::imageMouseMove);
    // Moves without a button held reach the owner too (the pointer readout).
    displayPanel_->setMouseTracking(true);
}

TVistrelImage::~TVistrelImage() = default;

void TVistrelImage::LoadFile(const QString& fileName, TZoomMode mode, int page) {
    LoadPage(fileName, page);
    // A new page starts at its top left, not where the last one was scrolled to.
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
    SetZoom(FitValue(mode));
}

void TVistrelImage::SetPage(int page) {
    if (!QFileInfo::exists(image_->FileName())) return;
    LoadPage(image_->FileName(), std::clamp(page, 0, std::max(0, image_->PageCount() - 1)));
    SetZoom(zoom_);
}

void TVistrelImage::LoadPage(const QString& fileName, int page) {
    forceRepaint_ = true;
    try {
        image_->LoadImage(fileName, page);
    } catch (...) {
        // The previous page is gone: show the empty view, without the scroll
        // bars of the old surface, then report.
        annotations_.Clear();
        LayOut(0, 0);
        displayPanel_->DropGreyImage();
        displayPanel_->update();
        throw;
    }
    LoadAnnotations();
}

void TVistrelImage::SetImageHandle(platform::GlobalHandle handle) {
    image_->DIB().AttachHandle(handle);
    forceRepaint_ = true;
    SetZoom(zoom_);
}

void TVistrelImage::LoadAnnotations() {
    annotations_.Clear();
    try {
        imaging::FileStream stream(QFile::encodeName(image_->FileName()).toStdString(),
                                   imaging::FileStream::Mode::Read);
        imaging::TTiffDecoder decoder(stream);
        if (!decoder.HasTiffHeader()) throw imaging::ImageError("Invalid TIFF Data");
        decoder.SelectPage(image_->Page());
        if (decoder.TagSize(imaging::kAnnotationTag) == 0) return;
        std::vector<std::uint8_t> data;
        decoder.ReadTag(imaging::kAnnotationTag, &data);
        annotations_.LoadFromData(std::move(data));
    } catch (...) {
        // Annotations are an extra: a page whose annotations cannot be read
        // is shown without them.
        annotations_.Clear();
    }
}

TPageExtent TVistrelImage::PageExtent() const {
    TPageExtent page;
    page.valid = image_->IsValid();
    if (page.valid) {
        page.width = image_->DIB().Width();
        page.correctedHeight = image_->VertSizeCorrected();
    }
    return page;
}

TViewportMetrics TVistrelImage::Metrics() const {
    TViewportMetrics view;
    view.verticalBarWidth = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    view.horizontalBarHeight = view.verticalBarWidth;
    view.verticalBarShown = verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn;
    view.horizontalBarShown = horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOn;
    const QSize area = contentsRect().size();
    view.clientWidth = area.width() - (view.verticalBarShown ? view.verticalBarWidth : 0);
    view.clientHeight = area.height() - (view.horizontalBarShown ? view.horizontalBarHeight : 0);
    return view;
}

double TVistrelImage::FitValue(TZoomMode mode) const {
    return FitZoom(mode, PageExtent(), Metrics(), zoom_);
}

QSize TVistrelImage::SurfaceSizeFor(double zoom) const {
    const double w = std::trunc(zoom * image_->DIB().Width() / 100.0);
    const double h = std::trunc(zoom * image_->VertSizeCorrected() / 100.0);
    return QSize(static_cast<int>(w), static_cast<int>(h));
}

void TVistrelImage::SetZoom(double zoom) {
    const double previous = zoom_;
    zoom_ = ClampZoom(zoom);
    if (!image_->IsValid()) return;
    const QSize surface = SurfaceSizeFor(zoom_);
    const bool changed = displayPanel_->size() == surface
                             ? zoom_ != previous
                             : LayOut(surface.width(), surface.height());
    RefreshView(forceRepaint_ || changed);
    forceRepaint_ = false;
    annotations_.SetScale(zoom_, displayPanel_->geometry());
    emit scaled();
}

double TVistrelImage::VerticalZoom() const {
    const int rows = image_->DIB().Height();
    if (!image_->IsValid() || rows <= 0) return zoom_;
    return zoom_ * image_->VertSizeCorrected() / rows;
}

void TVistrelImage::StepZoom(viewer::ZoomDirection direction, QPoint anchor) {
    zoomMode_ = zmCustom;
    ZoomAbout(viewer::NextZoomStep(zoom_, direction), anchor);
}

void TVistrelImage::StepZoom(viewer::ZoomDirection direction) {
    StepZoom(direction, viewport()->rect().center());
}

void TVistrelImage::ZoomAbout(double zoom, QPoint anchor) {
    const double previous = zoom_;
    const QPointF onSurface = anchor - displayPanel_->pos();
    SetZoom(zoom);
    if (previous <= 0.0) return;
    // The surface grows by the same factor both ways, whatever the resolutions.
    const double factor = zoom_ / previous;
    horizontalScrollBar()->setValue(static_cast<int>(std::lround(onSurface.x() * factor)) -
                                    anchor.x());
    verticalScrollBar()->setValue(static_cast<int>(std::lround(onSurface.y() * factor)) -
                                  anchor.y());
}

void TVistrelImage::ScrollToShow(const QRect& area) {
    const QRect visible(-displayPanel_->pos(), viewport()->size());
    if (visible.contains(area)) return;
    const QPoint centre = area.center() - QPoint(visible.width() / 2, visible.height() / 2);
    horizontalScrollBar()->setValue(centre.x());
    verticalScrollBar()->setValue(centre.y());
}

void TVistrelImage::wheelEvent(QWheelEvent* event) {
    if (!(event->modifiers() & Qt::ControlModifier) || event->angleDelta().y() == 0) {
        QScrollArea::wheelEvent(event);
        return;
    }
    // Wheel events reach the scroll area through its viewport, in its pixels.
    StepZoom(event->angleDelta().y() > 0 ? viewer::ZoomDirection::In : viewer::ZoomDirection::Out,
             event->position().toPoint());
    event->accept();
}

void TVistrelImage::SetZoomMode(TZoomMode mode) {
    zoomMode_ = mode;
    if (mode != zmCustom) SetZoom(FitValue(mode));
}

void TVistrelImage::SetCentered(bool centered) {
    centered_ = centered;
    RefreshView(false);
}

void TVistrelImage::SetAntialiasing(TAntialiasing mode) {
    antialiasing_ = mode;
    RefreshView(true);
}

void TVistrelImage::SetAntialiasingThreshold(int threshold) {
    antialiasingThreshold_ = std::clamp(threshold, 0, 100);
    RefreshView(true);
}

void TVistrelImage::RefreshView(bool force) {
    const bool changed = LayOut(displayPanel_->width(), displayPanel_->height());
    if (changed || force) {
        displayPanel_->DropGreyImage();
        displayPanel_->update();
    }
}

bool TVistrelImage::LayOut(int width, int height) {
    if (layingOut_) return false;
    QScopedValueRollback<bool> guard(layingOut_, true);

    // A direction whose page extent fits the visible area is centred and
    // gets no scroll bar. Showing one bar narrows the other direction, so
    // decide again until both agree (two rounds at most).
    TViewportMetrics view = Metrics();
    const QSize area = contentsRect().size();
    for (int round = 0; round < 3; ++round) {
        const bool horizontal = !(centered_ && width < view.clientWidth);
        const int clientHeight = area.height() - (horizontal ? view.horizontalBarHeight : 0);
        const bool vertical = !(centered_ && height < clientHeight);
        const int clientWidth = area.width() - (vertical ? view.verticalBarWidth : 0);
        const bool stable =
            horizontal == view.horizontalBarShown && vertical == view.verticalBarShown;
        view.horizontalBarShown = horizontal;
        view.verticalBarShown = vertical;
        view.clientWidth = clientWidth;
        view.clientHeight = clientHeight;
        if (stable) break;
    }
    setHorizontalScrollBarPolicy(view.horizontalBarShown ? Qt::ScrollBarAlwaysOn
                                                         : Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(view.verticalBarShown ? Qt::ScrollBarAlwaysOn
                                                     : Qt::ScrollBarAlwaysOff);
    horizontalScrollBar()->setRange(0, std::max(0, width - view.clientWidth));
    horizontalScrollBar()->setPageStep(std::max(1, view.clientWidth));
    verticalScrollBar()->setRange(0, std::max(0, height - view.clientHeight));
    verticalScrollBar()->setPageStep(std::max(1, view.clientHeight));

    const int left =
        view.horizontalBarShown ? -horizontalScrollBar()->value() : (view.clientWidth - width) / 2;
    const int top =
        view.verticalBarShown ? -verticalScrollBar()->value() : (view.clientHeight - height) / 2;
    const QRect target(left, top, width, height);
    if (displayPanel_->geometry() == target) return false;
    displayPanel_->setGeometry(target);
    return true;
}

void TVistrelImage::resizeEvent(QResizeEvent* event) {
    QScrollArea::resizeEvent(event);
    // Showing or hiding a scroll bar while laying out resizes the viewport;
    // the layout in progress already accounts for it.
    if (layingOut_) return;
    if (zoomMode_ != zmCustom) {
        SetZoom(FitValue(zoomMode_));
    } else if (LayOut(displayPanel_->width(), displayPanel_->height())) {
        displayPanel_->update();
    }
}

void TVistrelImage::scrollContentsBy(int, int) {
    LayOut(displayPanel_->width(), displayPanel_->height());
}
