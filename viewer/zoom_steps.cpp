// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "viewer/zoom_steps.h"

#include "viewer/zoom_fit.h"

#include <algorithm>
#include <array>

namespace viewer {

namespace {

constexpr std::array kSteps{5.0,   10.0,  15.0,  20.0,   25.0,   33.0,   50.0,
                            67.0,  75.0,  100.0, 125.0,  150.0,  200.0,  300.0,
                            400.0, 600.0, 800.0, 1200.0, 1600.0, 2400.0, 3200.0};

// A zoom within this distance of a step counts as on it, so that a fit value
// of 99.9999 steps on to 125 rather than to 100.
constexpr double kOnStep = 0.01;

} // namespace

double NextZoomStep(double zoom, ZoomDirection direction) {
    if (direction == ZoomDirection::In) {
        for (const double step : kSteps)
            if (step > zoom + kOnStep) return ClampZoom(step);
        return ClampZoom(zoom);
    }
    const auto below = std::find_if(kSteps.rbegin(), kSteps.rend(),
                                    [&](double step) { return step < zoom - kOnStep; });
    return ClampZoom(below != kSteps.rend() ? *below : zoom);
}

} // namespace viewer
