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

// A small square of the zone colour with a frame of its contrasting shade.
QIcon ZoneColourIcon(std::int32_t content);

} // namespace evalia
