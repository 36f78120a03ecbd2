// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "viewer/display_panel.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScopedValueRollback>

#include <exception>

TDisplayPanel::TDisplayPanel(TDisplayPanelOwner& owner, QWidget* parent)
    : QWidget(parent), owner_(owner) {
    // Every pixel is painted by paintEvent, so Qt need not erase first: the
    // page is redrawn without flicker.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
}

void TDisplayPanel::paintEvent(QPaintEvent*) {
    if (owner_.IsLayingOut() || painting_) return;
    QScopedValueRollback<bool> guard(painting_, true);
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    if (owner_.Image().IsValid()) {
        try {
            DrawPage(painter);
        } catch (const std::exception& error) {
            // A paint handler has no one to report to; the surface stays
            // empty and the next repaint tries again.
            DropGreyImage();
            qWarning("page not drawn: %s", error.what());
        }
    }
    emit imagePainted(painter);
    owner_.PanelPainted(painter);
}

void TDisplayPanel::DrawPage(QPainter& painter) {
    const imaging::TDIB& page = owner_.Image().DIB();
    int stretchMode = 0; // colour on colour
    switch (owner_.Antialiasing()) {
    case aaNone:
        DropGreyImage();
        break;
    case aaScaleToGray:
        break;
    case aaPreserveBlack:
        DropGreyImage();
        stretchMode = 1;
        break;
    case aaPreserveWhite:
        DropGreyImage();
        stretchMode = 2;
        break;
    }
    const imaging::TDIB& source =
        owner_.Antialiasing() == aaScaleToGray ? PageToDraw(page, devicePixelRatioF()) : page;
    source.StretchDraw(painter, 0, 0, width(), height(), stretchMode);
}

// The grey reduction when a 1-bit page is shown below half size (made once
// per surface size), else the page itself. The size counts device pixels: on
// a screen of two device pixels per surface pixel the reduction is made at
// twice the zoom, so the page is as sharp as the outlines drawn over it.
const imaging::TDIB& TDisplayPanel::PageToDraw(const imaging::TDIB& page, double pixelRatio) {
    const QSize deviceSize = size() * pixelRatio;
    if (greyImage_ && greyImageSurface_ == deviceSize) return *greyImage_;
    greyImage_.reset();
    const double zoom = owner_.Zoom() * pixelRatio;
    if (zoom < kScaleToGrayBelow && page.BitCount() == 1) {
        greyImage_ = page.ScaleToGray(kGreyLevels, zoom);
        greyImageSurface_ = deviceSize;
        return *greyImage_;
    }
    return page;
}

void TDisplayPanel::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    emit mouseDown(event->button(), event->modifiers(), p.x(), p.y());
}

void TDisplayPanel::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    emit mouseUp(event->button(), event->modifiers(), p.x(), p.y());
}

void TDisplayPanel::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    emit mouseMove(event->buttons(), event->modifiers(), p.x(), p.y());
}
