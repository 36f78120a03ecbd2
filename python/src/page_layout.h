// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// One page through the analysis library: the context set up with the
// caller's pipe and parameters, the page block analysed, the zone table and
// skew read back.
#pragma once

#include "cli/pipe_setup.h"
#include "library/la_api.h"
#include "zones/zone_source.h"

#include <cstdint>
#include <vector>

namespace quadrel_python {

struct PageLayout {
    std::int32_t status = LA_STATUS_OK; // of LA_Execute
    int width = 0;
    int height = 0;
    int xDpi = 0; // 0: unknown
    int yDpi = 0;
    bool skewMeasured = false;
    std::int32_t skew = 0; // hundredths of a degree; 0 when not measured
    std::vector<zones::ZoneRecord> zones;
};

// Analyses the page block `dib` (only read; it stays the caller's) in a
// context of its own. Touches no Python object: the caller releases the
// interpreter lock around it. Throws std::bad_alloc when the library cannot
// make the context or pipe. The size and resolution are the caller's to fill.
PageLayout analyseBlock(LaDibHandle dib, const quadrel_cli::LibrarySetup& setup);

} // namespace quadrel_python
