// TDisplayPanel: the surface on which the viewer draws the page at its
// zoomed size. Its coordinates are surface pixels: page pixels x zoom / 100.
#pragma once

#include "imaging/dibunit.h"

#include <QSize>
#include <QWidget>

#include <optional>

class TVistrelImage;

class TDisplayPanel : public QWidget {
    Q_OBJECT
  public:
    explicit TDisplayPanel(TVistrelImage& owner, QWidget* parent);

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
    const imaging::TDIB& PageToDraw(const imaging::TDIB& page);

    TVistrelImage& owner_;
    bool painting_ = false;
    std::optional<imaging::TDIB> greyImage_;
    // The surface size the grey image was made for: the reduction rounds its
    // size while the surface truncates, so its own size may differ by one.
    QSize greyImageSurface_;
};
