// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "zones/analysis_status.h"

#include "library/la_api.h"

namespace zones {

std::string AnalysisStatusReason(std::int32_t status) {
    switch (status) {
    case LA_STATUS_OUT_OF_MEMORY:
        return "the analysis ran out of memory (status 1)";
    case LA_STATUS_NOT_AVAILABLE:
        return "the page could not be handed to the analysis (status 2)";
    case LA_STATUS_NO_BLACK_PIXEL:
        return "a text zone holds no black pixel (status 4)";
    default:
        return "the analysis failed with status " + std::to_string(status);
    }
}

} // namespace zones
