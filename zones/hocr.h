// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// hOCR 1.2: the layout of one page as XHTML, as OCR tools read it. One
// element per zone, id "zone_<index>", in reading order, with the bbox of
// its corners on the original page (see DeskewGeometry), right and bottom
// exclusive like the page's own "bbox 0 0 width height"; `textangle` when
// the page was skewed, and `x_kind` with the kind's name.
//
//   text            div.ocr_carea holding one p.ocr_par
//   inverted text   div.ocr_carea.ocrx_inverted holding one p.ocr_par
//   picture         div.ocr_photo
//   line            div.ocr_separator
//   table           div.ocr_table holding div.ocrx_table_column and div.ocrx_table_cell
//   noise           div.ocr_noise
#pragma once

#include "zones/layout_document.h"

#include <string>

namespace zones {

// The whole document, UTF-8 XHTML.
std::string WriteHocr(const LayoutDocument& document);

} // namespace zones
