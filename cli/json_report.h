// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The --json document, and the form in which a worker process hands its
// result back to the parent (the same JSON object per page).
#pragma once

#include "cli/page_result.h"

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace quadrel_cli {

// zones::LayoutPageJson for an analysed page (docs/json.md), and
// {"file", "page", "error"} for a failed one.
nlohmann::ordered_json pageToJson(const PageResult& result);
PageResult pageFromJson(const nlohmann::ordered_json& json);

// {"pages": [analysed pages], "failures": [failed pages],
//  "summary": {"pages", "analysed", "failed", "zones"}}, in input order.
nlohmann::ordered_json reportToJson(const std::vector<PageResult>& results);

} // namespace quadrel_cli
