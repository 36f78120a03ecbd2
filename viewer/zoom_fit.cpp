// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "viewer/zoom_fit.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kFallbackZoom = 100.0;

// Width available when no vertical bar is shown, and height likewise.
int WidthWithoutBar(const TViewportMetrics& view) {
    return view.clientWidth + (view.verticalBarShown ? view.verticalBarWidth : 0);
}

int HeightWithoutBar(const TViewportMetrics& view) {
    return view.clientHeight + (view.horizontalBarShown ? view.horizontalBarHeight : 0);
}

double Percent(double available, int extent) {
    return available / static_cast<double>(extent) * 100.0;
}

double FitToWidth(const TPageExtent& page, const TViewportMetrics& view) {
    if (!page.valid || page.width <= 0) return kFallbackZoom;
    const int cw = WidthWithoutBar(view);
    const int ch = HeightWithoutBar(view);
    double zoom = Percent(cw, page.width);
    // The page will need a vertical bar, which takes its width from the view.
    if (std::trunc(page.correctedHeight * zoom / 100.0) > ch)
        zoom = Percent(cw - view.verticalBarWidth, page.width);
    return zoom;
}

double FitToHeight(const TPageExtent& page, const TViewportMetrics& view) {
    if (!page.valid || page.correctedHeight <= 0) return kFallbackZoom;
    const int cw = WidthWithoutBar(view);
    const int ch = HeightWithoutBar(view);
    double zoom = Percent(ch, page.correctedHeight);
    if (std::trunc(page.width * zoom / 100.0) > cw)
        zoom = Percent(ch - view.horizontalBarHeight, page.correctedHeight);
    return zoom;
}

double FitToPage(const TPageExtent& page, const TViewportMetrics& view) {
    if (!page.valid) return 1.0;
    const double byWidth =
        page.width > 0 ? Percent(WidthWithoutBar(view), page.width) : kFallbackZoom;
    const double byHeight = page.correctedHeight > 0
                                ? Percent(HeightWithoutBar(view), page.correctedHeight)
                                : kFallbackZoom;
    return std::min(byWidth, byHeight);
}

} // namespace

double ClampZoom(double zoom) {
    if (std::isnan(zoom)) return kFallbackZoom;
    return std::clamp(zoom, kMinimumZoom, kMaximumZoom);
}

double FitZoom(TZoomMode mode, const TPageExtent& page, const TViewportMetrics& view,
               double currentZoom) {
    switch (mode) {
    case zmFitToWidth:
        return FitToWidth(page, view);
    case zmFitToHeight:
        return FitToHeight(page, view);
    case zmFitToPage:
        return FitToPage(page, view);
    case zmCustom:
    case zmFitToOriginal:
        break;
    }
    return currentZoom;
}
