// The zone overlay of the page view and the hit-test of a click on it.
//
// Both are plain functions of the zone table and the view state, so they can
// be exercised on a QImage without a window. Coordinates on the drawing
// surface are page pixels scaled by the zoom (in percent), rounded to nearest
// with ties to even; the surface origin is the page's top-left corner.
#pragma once

#include "evalia/selected_zones.h"
#include "zones/zone_kinds.h"
#include "zones/zone_source.h"

#include <QPoint>

#include <span>
#include <vector>

class QPainter;

namespace evalia {

struct ZoneOverlayState {
    double zoom = 100.0;
    zones::ShownZoneKinds shownKinds;
    const TSelectedZones* selected = nullptr; // may be null: nothing picked
    int listSelection = -1;                   // zone chosen in the zone list, -1 for none
};

// Page coordinate -> surface coordinate, and back.
int PageToSurface(int value, double zoom);
int SurfaceToPage(int value, double zoom);

// Draws every zone of a shown kind: its outline in the zone colour (a 1-pixel
// pen covering left .. right - 1 and top .. bottom - 1), a diagonal cross
// hatch in that colour when the zone is highlighted, and its number in the
// painter's font with its top-left corner at the centre of the rectangle.
void DrawZoneOverlay(QPainter& painter, std::span<const zones::ZoneRecord> zones,
                     const ZoneOverlayState& state);

// The zones, shown or hidden, whose rectangles contain the surface point once
// it is mapped back to page pixels (left <= x < right, top <= y < bottom), in
// zone order.
std::vector<int> ZonesAtSurfacePoint(std::span<const zones::ZoneRecord> zones, QPoint surfacePoint,
                                     double zoom);

} // namespace evalia
