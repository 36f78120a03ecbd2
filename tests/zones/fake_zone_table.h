// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// A zone table of a test's own, served through the same accessor signatures
// as the library's, for the writers that read zones through a ZoneSource.
#pragma once

#include "zones/zone_source.h"

#include <vector>

namespace zonestest {

// The source reads the table until the next call replaces it.
zones::ZoneSource fakeZoneSource(std::vector<zones::ZoneRecord> table);

} // namespace zonestest
