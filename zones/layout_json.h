// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// One analysed page as a JSON object, the form the command line's --json
// report (and its worker processes) use. docs/json.md describes every field
// and docs/quadrel-report.schema.json is its JSON Schema:
//
//   {"file", "page", "width", "height", "x_resolution", "y_resolution",
//    "skew", "skew_measured", "skew_degrees", "deskewed_width", "deskewed_height",
//    "zones": [{"index", "left", "top", "right", "bottom", "content",
//               "content_name", "reading_order", "parent_table"}]}
#pragma once

#include "zones/layout_document.h"

#include <nlohmann/json.hpp>

namespace zones {

nlohmann::ordered_json LayoutPageJson(const LayoutDocument& document);

// The page and zone table back from LayoutPageJson's object (derived fields
// are not read). Throws nlohmann::json::exception when a field is missing.
LayoutDocument LayoutDocumentFromJson(const nlohmann::ordered_json& json);

} // namespace zones
