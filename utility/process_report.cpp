#include "utility/process_report.h"

#include <QLocale>

#include <cmath>
#include <numbers>

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

int StraighteningRowShift(std::int32_t skewHundredths, int pageWidth) {
    const long double degrees = static_cast<long double>(skewHundredths) / 100.0L;
    const long double radians = -degrees * std::numbers::pi_v<long double> / 180.0L;
    const long double shifted = std::trunc(std::sin(radians) * pageWidth);
    const int sign = (skewHundredths > 0) - (skewHundredths < 0);
    return static_cast<int>(-sign * shifted);
}

} // namespace evalia
