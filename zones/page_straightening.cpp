// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "zones/page_straightening.h"

#include <cmath>
#include <numbers>

namespace zones {

int StraighteningRowShift(std::int32_t skewHundredths, int pageWidth) {
    const long double degrees = static_cast<long double>(skewHundredths) / 100.0L;
    const long double radians = -degrees * std::numbers::pi_v<long double> / 180.0L;
    const long double shifted = std::trunc(std::sin(radians) * pageWidth);
    const int sign = (skewHundredths > 0) - (skewHundredths < 0);
    return static_cast<int>(-sign * shifted);
}

void StraightenPage(imaging::TDIB& page, std::int32_t skewHundredths) {
    const double angle = -skewHundredths / 100.0;
    page.ShearDeskew(true, false, true, angle, angle);
    page.ShiftRows(StraighteningRowShift(skewHundredths, page.Width()));
}

} // namespace zones
