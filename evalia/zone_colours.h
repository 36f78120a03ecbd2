// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Zone colours as the window paints them: the kind's colour, whether it is
// too light to show on white paper, the contrasting shade drawn next to it,
// and the swatch that stands for a kind in menus and the zone list.
#pragma once

#include <QColor>
#include <QIcon>

#include <cstdint>

namespace evalia {

QColor ZoneQColor(std::int32_t content);

// Light enough to vanish on white paper (the yellow of lines); the other
// zone colours are dark enough to stand out on their own.
bool IsLight(const QColor& colour);

// Drawn around outlines and numbers of `colour`: a dark shade of a light
// colour, white for a dark one.
QColor ContrastShade(const QColor& colour);

// A small square of the zone colour with a darker frame.
QIcon ZoneColourIcon(std::int32_t content);

// The Zones menu's mark of a kind: the colour square with a tick while the
// kind is shown, an empty frame of the colour while it is hidden. Styles
// show a checkable item's icon in place of its tick, so the icon carries it.
QIcon ZoneKindIcon(std::int32_t content, bool shown);

} // namespace evalia
