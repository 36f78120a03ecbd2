// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// ALTO 4.4: the layout of one page as digital-library viewers read it.
// Measurement unit pixel; one block per zone, id "zone_<index>", in reading
// order, on the original page (see DeskewGeometry); each block refers to a
// LayoutTag labelled with its kind's name. docs/formats.md lists the block of
// each kind.
#pragma once

#include "zones/layout_document.h"

#include <string>

namespace zones {

// The whole document, UTF-8.
std::string WriteAltoXml(const LayoutDocument& document);

} // namespace zones
