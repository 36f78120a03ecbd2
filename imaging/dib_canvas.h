// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Drawing state of a TDIB while its canvas is open: a Qt image holding a copy
// of the pixels and the painter on it. Private to the image library.
#pragma once

#include "imaging/dib_image.h"

#include <QImage>
#include <QPainter>

#include <memory>

namespace imaging {

struct TDIB::Canvas : TDIB::CanvasBase {
    ~Canvas() override {
        if (painter) painter->end();
    }
    QImage image;
    std::unique_ptr<QPainter> painter;
    // Shape of the image when the canvas was opened: the drawing is copied
    // back only into an image of the same shape.
    int width = 0;
    int height = 0;
    PixelFormat format = pf8bit;
};

} // namespace imaging
