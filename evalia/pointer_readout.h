// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The status bar's account of the page under the pointer: its page
// coordinates and the zones there, so that a user can explore a result
// without clicking through message boxes.
#pragma once

#include "zones/zone_source.h"

#include <QPoint>
#include <QString>

#include <span>
#include <vector>

namespace evalia {

// "x 156, y 204" alone, or followed by the zones there:
// "x 156, y 204  |  zone 12 Text, zone 13 Table".
QString PointerReadout(QPoint pagePoint, std::span<const zones::ZoneRecord> zones,
                       const std::vector<int>& hits);

} // namespace evalia
