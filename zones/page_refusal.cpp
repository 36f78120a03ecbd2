// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "zones/page_refusal.h"

namespace zones {

std::optional<std::string_view> AnalysisRefusal(const imaging::TDIB& page) {
    if (page.BitCount() == 1) return std::nullopt;
    return kNotBlackAndWhite;
}

} // namespace zones
