// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The zoom (in percent) that each zoom mode asks for, from the page size and
// the space the viewer offers. Pure arithmetic, so the fit rules can be
// checked without a window.
#pragma once

enum TZoomMode {
    zmCustom = 0,
    zmFitToWidth = 1,
    zmFitToHeight = 2,
    zmFitToPage = 3,
    zmFitToOriginal = 4
};

struct TViewportMetrics {
    int clientWidth = 0; // inside the scroll bars that are shown now
    int clientHeight = 0;
    bool verticalBarShown = false;
    bool horizontalBarShown = false;
    int verticalBarWidth = 0;    // the style's scroll bar extent
    int horizontalBarHeight = 0; // likewise for the horizontal bar
};

struct TPageExtent {
    bool valid = false;
    int width = 0;
    int correctedHeight = 0; // rows corrected for unequal resolutions
};

// Zoom limits: values outside are clamped, never refused.
constexpr double kMinimumZoom = 0.1;
constexpr double kMaximumZoom = 10000.0;
double ClampZoom(double zoom);

// The fit value of `mode`; zmCustom and zmFitToOriginal keep `currentZoom`.
// A fit that cannot be computed (no page, zero size) falls back to 100, and
// fit-to-page without a page to 1.
double FitZoom(TZoomMode mode, const TPageExtent& page, const TViewportMetrics& view,
               double currentZoom);
