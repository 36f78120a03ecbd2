// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Where the zones of a straightened page lie on the page the user gave.
//
// Skew detection (code 1) turns the page about its centre onto a larger white
// canvas, and every later function, the zone table included, works on that
// canvas. This class repeats the analysis library's geometry so that the
// standard formats can place each zone back on the original page:
//
//   canvas   ceil(W |cos a| + H |sin a|) by ceil(H |cos a| + W |sin a|) for
//            the measured angle a (the canvas grows even when the page is
//            not turned);
//   turn     t = a, or 0 when |a| < 0.3 degrees;
//   mapping  canvas point (x, y) is turned onto original point
//            (trunc(x cos t + y sin t + ox), trunc(y cos t - x sin t + oy)),
//            where ox, oy put the canvas centre (W' div 2, H' div 2) on the
//            original centre (W div 2, H div 2).
//
// The library counts rows from the bottom of the page (as the DIB stores
// them) and turns row numbers into page rows from the top only in the zone
// table; the mapping above works on bottom-up rows, and the public functions
// here take and give top-down page coordinates like the zone table.
//
// The mapping gives the two ends of each canvas row; the library then walks
// from one end to the other with Bresenham's algorithm, and canvas column n
// samples step n of the walk: one original column per step, so a row is a
// shear of the original rather than an exact turn (and the columns past the
// walk's end stay white). toOriginal follows that walk exactly.
#pragma once

#include "zones/layout_document.h"

#include <array>
#include <cstdint>

namespace zones {

struct PixelPoint {
    std::int64_t x = 0;
    std::int64_t y = 0;
    friend bool operator==(const PixelPoint&, const PixelPoint&) = default;
};

struct PlanePoint {
    double x = 0.0;
    double y = 0.0;
};

class DeskewGeometry {
  public:
    // The identity for a page whose skew was not measured.
    explicit DeskewGeometry(const LayoutPage& page);

    int originalWidth() const { return originalWidth_; }
    int originalHeight() const { return originalHeight_; }
    int canvasWidth() const { return canvasWidth_; }
    int canvasHeight() const { return canvasHeight_; }
    // Degrees the page was turned by (0 when it was only moved onto the canvas).
    double turnDegrees() const { return turnDegrees_; }
    bool turns() const { return turnDegrees_ != 0.0; }

    // The original pixel that canvas pixel `p` was sampled from: step p.x of
    // its row's walk. It may lie outside the original page (white fill).
    PixelPoint toOriginal(PixelPoint canvas) const;

    // Where original pixel `p` lies on the canvas: the canvas pixel nearest
    // to the turned centre of `p` that sampled `p`, or, when none did, that
    // turned centre itself. toCanvas(toOriginal(q)) is within a pixel of q
    // when toOriginal(q) lies on the original page.
    PlanePoint toCanvas(PixelPoint original) const;

  private:
    // The turn's point for canvas column x of bottom-up row `row`, truncated.
    PixelPoint mapped(std::int64_t x, std::int64_t row) const;

    int originalWidth_ = 0;
    int originalHeight_ = 0;
    int canvasWidth_ = 0;
    int canvasHeight_ = 0;
    double turnDegrees_ = 0.0;
    double cos_ = 1.0;
    double sin_ = 0.0;
    std::int64_t offsetX_ = 0;
    std::int64_t offsetY_ = 0;
};

// The measured angle in degrees as the library holds it, from its
// hundredths: the library measures in steps of 0.2 degrees and reports them
// truncated, so the angle is rebuilt on that grid.
double MeasuredSkewDegrees(std::int32_t hundredths);

// Zone `zone` (canvas coordinates, right exclusive) as four corners on the
// original page, clockwise from the top left of the zone: the corner pixels
// (left, top), (right - 1, top), (right - 1, bottom), (left, bottom) mapped
// by toOriginal and kept inside the original page.
std::array<PixelPoint, 4> ZoneCorners(const DeskewGeometry& geometry, const ZoneRecord& zone);

// The smallest box holding the corners: left, top, right, bottom, all inclusive.
struct PixelBox {
    std::int64_t left = 0, top = 0, right = 0, bottom = 0;
};
PixelBox EnclosingBox(const std::array<PixelPoint, 4>& corners);

} // namespace zones
