// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The zone overlay of the page view and the hit-test of a click on it.
//
// Both are plain functions of the zone table and the view state, so they can
// be exercised on a QImage without a window. Coordinates on the drawing
// surface are page pixels scaled by the zoom of their direction (in percent),
// rounded to nearest with ties to even; the surface origin is the page's
// top-left corner.
#pragma once

#include "evalia/selected_zones.h"
#include "zones/zone_kinds.h"
#include "zones/zone_source.h"

#include <QPoint>
#include <QRect>

#include <span>
#include <vector>

class QPainter;

namespace evalia {

// The zoom of each direction in percent: page columns scale by x, rows by y.
// They differ on a page of unequal resolutions (a 200 x 100 dpi fax), which
// the viewer shows stretched to its true proportions.
struct SurfaceScale {
    double x = 100.0;
    double y = 100.0;
    static SurfaceScale Uniform(double zoom) { return {zoom, zoom}; }
};

struct ZoneOverlayState {
    SurfaceScale scale;
    zones::ShownZoneKinds shownKinds;
    const TSelectedZones* selected = nullptr; // may be null: nothing picked
    int listSelection = -1;                   // zone chosen in the zone list, -1 for none
    bool showNumbers = true;
};

// Page coordinate -> surface coordinate, and back, for one direction.
int PageToSurface(int value, double zoom);
int SurfaceToPage(int value, double zoom);
QPoint SurfaceToPage(QPoint surfacePoint, const SurfaceScale& scale);
// The surface rectangle of a zone: columns left .. right - 1, rows top .. bottom - 1.
QRect ZoneSurfaceRect(const zones::ZoneRecord& zone, const SurfaceScale& scale);

// Draws every zone of a shown kind: its outline in the zone colour (a 1-pixel
// pen covering left .. right - 1 and top .. bottom - 1), a diagonal cross
// hatch in that colour when the zone is highlighted, and, unless numbers are
// hidden, its number with its top-left corner at the centre of the
// rectangle. Light colours (the yellow of lines) get a dark ring on both
// sides of the outline so that they show on white paper; numbers get a halo
// of the contrasting shade and grow with the zoom above 100 %.
void DrawZoneOverlay(QPainter& painter, std::span<const zones::ZoneRecord> zones,
                     const ZoneOverlayState& state);

// The zones, shown or hidden, whose rectangles contain the page point
// (left <= x < right, top <= y < bottom), in zone order.
std::vector<int> ZonesAtPagePoint(std::span<const zones::ZoneRecord> zones, QPoint pagePoint);
// Likewise for a surface point, mapped back to page pixels first.
std::vector<int> ZonesAtSurfacePoint(std::span<const zones::ZoneRecord> zones, QPoint surfacePoint,
                                     const SurfaceScale& scale);

} // namespace evalia
