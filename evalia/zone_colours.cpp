// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "evalia/zone_colours.h"

#include "zones/zone_kinds.h"

#include <QPainter>
#include <QPen>
#include <QPixmap>

namespace evalia {

namespace {

// Perceived brightness (ITU-R BT.601 weights, 0 .. 255) above which a colour
// does not stand out on white.
constexpr int kLightAbove = 160;
// How much darker the shade next to a light colour is (QColor::darker's percent).
constexpr int kShadeDarkerBy = 250;
constexpr int kSwatchSize = 16;

// A square of the colour with a darker frame, or only a frame of it.
QPixmap Swatch(const QColor& colour, bool filled) {
    QPixmap swatch(kSwatchSize, kSwatchSize);
    swatch.fill(filled ? colour : QColor(Qt::white));
    QPainter painter(&swatch);
    painter.setPen(filled ? colour.darker() : colour);
    painter.drawRect(0, 0, kSwatchSize - 1, kSwatchSize - 1);
    return swatch;
}

} // namespace

QColor ZoneQColor(std::int32_t content) {
    const zones::ZoneColour c = zones::zoneColour(content);
    return QColor(c.red, c.green, c.blue);
}

bool IsLight(const QColor& colour) {
    const int brightness = (299 * colour.red() + 587 * colour.green() + 114 * colour.blue()) / 1000;
    return brightness > kLightAbove;
}

QColor ContrastShade(const QColor& colour) {
    return IsLight(colour) ? colour.darker(kShadeDarkerBy) : QColor(Qt::white);
}

QIcon ZoneColourIcon(std::int32_t content) {
    return QIcon(Swatch(ZoneQColor(content), true));
}

QIcon ZoneKindIcon(std::int32_t content, bool shown) {
    const QColor colour = ZoneQColor(content);
    QPixmap swatch = Swatch(colour, shown);
    if (shown) {
        QPainter painter(&swatch);
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setPen(QPen(IsLight(colour) ? QColor(Qt::black) : QColor(Qt::white), 2.0));
        const QPointF tick[] = {{3.5, 8.0}, {6.5, 11.5}, {12.5, 4.0}};
        painter.drawPolyline(tick, 3);
    }
    return QIcon(swatch);
}

} // namespace evalia
