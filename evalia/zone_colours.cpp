#include "evalia/zone_colours.h"

#include "zones/zone_kinds.h"

#include <QPainter>
#include <QPixmap>

namespace evalia {

namespace {

// Perceived brightness (ITU-R BT.601 weights, 0 .. 255) above which a colour
// does not stand out on white.
constexpr int kLightAbove = 160;
// How much darker the shade next to a light colour is (QColor::darker's percent).
constexpr int kShadeDarkerBy = 250;
constexpr int kSwatchSize = 16;

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
    const QColor colour = ZoneQColor(content);
    QPixmap swatch(kSwatchSize, kSwatchSize);
    swatch.fill(colour);
    QPainter painter(&swatch);
    painter.setPen(IsLight(colour) ? ContrastShade(colour) : colour.darker());
    painter.drawRect(0, 0, kSwatchSize - 1, kSwatchSize - 1);
    return QIcon(swatch);
}

} // namespace evalia
