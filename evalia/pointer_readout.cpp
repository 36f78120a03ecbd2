// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "evalia/pointer_readout.h"

#include "zones/zone_kinds.h"

#include <QStringList>

namespace evalia {

QString PointerReadout(QPoint pagePoint, std::span<const zones::ZoneRecord> zones,
                       const std::vector<int>& hits) {
    QString text = QStringLiteral("x %1, y %2").arg(pagePoint.x()).arg(pagePoint.y());
    QStringList named;
    for (const int zone : hits) {
        const std::string_view kind = zones::ZoneContentName(zones[std::size_t(zone)].content);
        named << QStringLiteral("zone %1 %2")
                     .arg(zone)
                     .arg(QString::fromUtf8(kind.data(), qsizetype(kind.size())));
    }
    if (!named.isEmpty()) text += QStringLiteral("  |  ") + named.join(QStringLiteral(", "));
    return text;
}

} // namespace evalia
