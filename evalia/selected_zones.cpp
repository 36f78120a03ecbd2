// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "evalia/selected_zones.h"

namespace evalia {

void TSelectedZones::Toggle(int zone) {
    const QString number = QString::number(zone);
    if (!numbers_.removeOne(number)) numbers_.append(number);
}

} // namespace evalia
