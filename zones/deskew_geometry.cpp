// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "zones/deskew_geometry.h"

#include <algorithm>
#include <cmath>

namespace zones {
namespace {

// The library's factor from degrees to radians for the turn and the canvas
// size; using it keeps sizes and mappings identical to the analysis.
constexpr double kDegreesToRadians = 0.01745329222222;
// Below this angle (degrees) the page is moved onto the canvas, not turned.
constexpr double kNoTurnBelow = 0.3;
// The measuring grid: directions are 0.2 degrees apart (20 hundredths).
constexpr double kMeasuringStep = 0.2;
constexpr std::int32_t kStepHundredths = 20;

std::int64_t truncated(double value) {
    return std::int64_t(value);
}

std::int64_t floorDivide(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

} // namespace

double MeasuredSkewDegrees(std::int32_t hundredths) {
    const std::int64_t steps = std::llround(double(hundredths) / kStepHundredths);
    // Truncation can leave the value one hundredth short of the grid.
    if (std::llabs(steps * kStepHundredths - hundredths) <= 1)
        return double(steps) * kMeasuringStep;
    return double(hundredths) / 100.0;
}

DeskewGeometry::DeskewGeometry(const LayoutPage& page)
    : originalWidth_(page.width), originalHeight_(page.height), canvasWidth_(page.width),
      canvasHeight_(page.height) {
    if (!page.skewMeasured) return;
    const double measured = MeasuredSkewDegrees(page.skewHundredths);
    const double c = std::fabs(std::cos(measured * kDegreesToRadians));
    const double s = std::fabs(std::sin(measured * kDegreesToRadians));
    canvasWidth_ = int(std::ceil(double(page.width) * c + double(page.height) * s));
    canvasHeight_ = int(std::ceil(double(page.height) * c + double(page.width) * s));
    turnDegrees_ = std::fabs(measured) < kNoTurnBelow ? 0.0 : measured;
    cos_ = std::cos(turnDegrees_ * kDegreesToRadians);
    sin_ = std::sin(turnDegrees_ * kDegreesToRadians);
    const double cx = double(canvasWidth_ / 2);
    const double cy = double(canvasHeight_ / 2);
    offsetX_ = originalWidth_ / 2 - truncated(cx * cos_ + cy * sin_ + 0.0);
    offsetY_ = originalHeight_ / 2 - truncated(cy * cos_ - cx * sin_ + 0.0);
}

PixelPoint DeskewGeometry::mapped(std::int64_t x, std::int64_t row) const {
    return {truncated(double(x) * cos_ + double(row) * sin_ + double(offsetX_)),
            truncated(double(row) * cos_ - double(x) * sin_ + double(offsetY_))};
}

PixelPoint DeskewGeometry::toOriginal(PixelPoint canvas) const {
    const std::int64_t row = std::int64_t(canvasHeight_) - 1 - canvas.y; // bottom-up
    const PixelPoint start = mapped(0, row);
    const PixelPoint end = mapped(std::int64_t(canvasWidth_) - 1, row);
    const std::int64_t dx = end.x - start.x;
    const std::int64_t dy = end.y - start.y;
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    const std::int64_t major = xMajor ? std::llabs(dx) : std::llabs(dy);
    const std::int64_t minor = xMajor ? std::llabs(dy) : std::llabs(dx);
    // Step n of a Bresenham walk has made floor((2 n minor + major) / (2 major))
    // minor moves.
    const std::int64_t n = canvas.x;
    const std::int64_t moves = major == 0 ? 0 : floorDivide(2 * n * minor + major, 2 * major);
    const std::int64_t stepX = dx < 0 ? -1 : 1;
    const std::int64_t stepY = dy < 0 ? -1 : 1;
    PixelPoint p = xMajor ? PixelPoint{start.x + n * stepX, start.y + moves * stepY}
                          : PixelPoint{start.x + moves * stepX, start.y + n * stepY};
    p.y = std::int64_t(originalHeight_) - 1 - p.y;
    return p;
}

PlanePoint DeskewGeometry::toCanvas(PixelPoint original) const {
    // The walk moves one original column per canvas column and follows the
    // turned row in the other direction: solved for the row and the step at
    // the centre of the original pixel, within a pixel or so of the truth.
    const double u = double(original.x) + 0.5 - double(offsetX_);
    const double v =
        double(std::int64_t(originalHeight_) - 1 - original.y) + 0.5 - double(offsetY_);
    const double row = cos_ * v + sin_ * u;
    const PlanePoint estimate{u - row * sin_, double(canvasHeight_ - 1) - row};
    // The canvas pixel near it whose walk sampled this very pixel, if one did.
    PlanePoint best = estimate;
    double bestDistance = 1e300;
    const auto x0 = std::int64_t(std::floor(estimate.x));
    const auto y0 = std::int64_t(std::floor(estimate.y));
    for (std::int64_t y = y0 - 2; y <= y0 + 2; ++y)
        for (std::int64_t x = x0 - 2; x <= x0 + 2; ++x) {
            if (x < 0 || y < 0 || x >= canvasWidth_ || y >= canvasHeight_) continue;
            if (!(toOriginal({x, y}) == original)) continue;
            const double distance = std::hypot(double(x) - estimate.x, double(y) - estimate.y);
            if (distance < bestDistance) best = {double(x), double(y)}, bestDistance = distance;
        }
    return best;
}

std::array<PixelPoint, 4> ZoneCorners(const DeskewGeometry& geometry, const ZoneRecord& zone) {
    const std::int64_t right = std::max<std::int64_t>(zone.left, std::int64_t(zone.right) - 1);
    const std::int64_t bottom = std::max<std::int64_t>(zone.top, zone.bottom);
    const std::array<PixelPoint, 4> canvas{
        {{zone.left, zone.top}, {right, zone.top}, {right, bottom}, {zone.left, bottom}}};
    std::array<PixelPoint, 4> corners{};
    const std::int64_t maxX = std::max(geometry.originalWidth() - 1, 0);
    const std::int64_t maxY = std::max(geometry.originalHeight() - 1, 0);
    for (std::size_t i = 0; i < corners.size(); ++i) {
        const PixelPoint p = geometry.toOriginal(canvas[i]);
        corners[i] = {std::clamp<std::int64_t>(p.x, 0, maxX),
                      std::clamp<std::int64_t>(p.y, 0, maxY)};
    }
    return corners;
}

PixelBox EnclosingBox(const std::array<PixelPoint, 4>& corners) {
    PixelBox box{corners[0].x, corners[0].y, corners[0].x, corners[0].y};
    for (const PixelPoint& p : corners) {
        box.left = std::min(box.left, p.x);
        box.top = std::min(box.top, p.y);
        box.right = std::max(box.right, p.x);
        box.bottom = std::max(box.bottom, p.y);
    }
    return box;
}

} // namespace zones
