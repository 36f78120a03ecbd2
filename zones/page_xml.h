// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// PAGE XML (schema 2019-07-15): the layout of one page as transcription and
// evaluation tools read it. One region per zone, id "zone_<index>", on the
// original page (see DeskewGeometry), with the reading order of ReadingOrder.
// docs/formats.md lists the region of each kind.
#pragma once

#include "zones/layout_document.h"

#include <string>

namespace zones {

// The whole document, UTF-8.
std::string WritePageXml(const LayoutDocument& document);

} // namespace zones
