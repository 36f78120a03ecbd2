// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "python/src/page_layout.h"

namespace quadrel_python {

PageLayout analyseBlock(LaDibHandle dib, const quadrel_cli::LibrarySetup& setup) {
    quadrel_cli::AnalysisContext context(setup);
    PageLayout layout;
    layout.status = LA_Execute(context.get(), dib);
    if (layout.status != LA_STATUS_OK) return layout;
    std::int32_t angle = 0;
    layout.skewMeasured =
        LA_GetParameter(context.get(), LA_PARAM_SKEW_ANGLE, &angle) == LA_STATUS_OK;
    layout.skew = layout.skewMeasured ? angle : 0;
    layout.zones =
        zones::readZones({context.get(), LA_GetZonesCount, LA_GetZoneRect, LA_GetZoneContent});
    return layout;
}

} // namespace quadrel_python
