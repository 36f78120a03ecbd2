// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// TDisplayPanel: the surface on which the viewer draws the page at its
// zoomed size. Its coordinates are surface pixels: page pixels x zoom / 100.
#pragma once

#include "imaging/dib_image.h"
#include "viewer/memory_image.h"

#include <QSize>
#include <QWidget>

#include <optional>

enum TAntialiasing { aaNone = 0, aaScaleToGray = 1, aaPreserveBlack = 2, aaPreserveWhite = 3 };

// What the panel reads from the view that owns it (TVistrelImage answers).
// The panel knows its owner only through this, so the two files do not
// depend on each other.
class TDisplayPanelOwner {
  public:
    virtual const TMemoryImage& Image() const = 0;
    virtual double Zoom() const = 0;
    virtual TAntialiasing Antialiasing() const = 0;
    // True while the owner places the surface: paint events are skipped.
    virtual bool IsLayingOut() const = 0;
    // Called after the page is drawn and imagePainted is raised.
    virtual void PanelPainted(QPainter& painter) = 0;

  protected:
    ~TDisplayPanelOwner() = default;
};

class TDisplayPanel : public QWidget {
    Q_OBJECT
  public:
    explicit TDisplayPanel(TDisplayPanelOwner& owner, QWidget* parent);

    // Below this zoom a 1-bit page is drawn from a grey reduction.
    static constexpr double kScaleToGrayBelow = 50.0;
    static constexpr int kGreyLevels = 16;

    // The grey reduction used for 1-bit pages shown below half size; null
    // when none is cached.
    const imaging::TDIB* CachedGreyImage() const { return greyImage_ ? &*greyImage_ : nullptr; }
    void DropGreyImage() { greyImage_.reset(); }

  signals:
    // Raised after the page is drawn, before the viewer's own paint event.
    void imagePainted(QPainter& painter);
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void mouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x, int y);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    void DrawPage(QPainter& painter);
    const imaging::TDIB& PageToDraw(const imaging::TDIB& page, double pixelRatio);

    TDisplayPanelOwner& owner_;
    bool painting_ = false;
    std::optional<imaging::TDIB> greyImage_;
    // The surface size in device pixels the grey image was made for: the reduction rounds its
    // size while the surface truncates, so its own size may differ by one.
    QSize greyImageSurface_;
};
