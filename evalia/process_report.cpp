// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "evalia/process_report.h"

#include "zones/zone_kinds.h"

#include <QLocale>

namespace evalia {

QString GeneralFloatText(double value) {
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(value, 'g', 15);
}

QString ProcessReportText(std::int32_t zoneCount, std::int32_t skewHundredths) {
    return QString::number(zoneCount) + QStringLiteral(" zones found.\r\n") +
           QStringLiteral("Skew angle is ") + GeneralFloatText(skewHundredths / 100.0) +
           QStringLiteral("\u00B0.");
}

QString ZoneListEntry(int zone, const zones::ZoneRecord& record) {
    const std::string_view kind = zones::ZoneContentName(record.content);
    return QStringLiteral("%1 %2 %3,%4-%5,%6")
        .arg(zone)
        .arg(QString::fromUtf8(kind.data(), qsizetype(kind.size())))
        .arg(record.left)
        .arg(record.top)
        .arg(record.right)
        .arg(record.bottom);
}

} // namespace evalia
