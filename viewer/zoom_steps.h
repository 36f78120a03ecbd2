// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The zoom ladder of the viewer's zoom-in and zoom-out commands: the usual
// steps of page viewers, so that repeated steps land on familiar values
// (100, 150, 200 %) whatever zoom a fit mode left behind.
#pragma once

namespace viewer {

enum class ZoomDirection { In, Out };

// The next step above (In) or below (Out) `zoom`, in percent; `zoom` itself
// (clamped to the viewer's limits) when no step lies further that way.
double NextZoomStep(double zoom, ZoomDirection direction);

} // namespace viewer
