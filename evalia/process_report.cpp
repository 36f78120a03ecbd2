#include "evalia/process_report.h"

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

QString ZoneListEntry(int zone) {
    return QStringLiteral("Zone ") + QString::number(zone);
}

} // namespace evalia
