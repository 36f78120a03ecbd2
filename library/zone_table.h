// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The public zone table: every result list the context holds, gathered into
// one table of page rectangles, cleaned of redundant zones and handed to the
// text zone merging passes.
#pragma once

#include "library/context.h"
#include "library/records.h"

#include <cstdint>

namespace quadrel {

// Rebuilds context.zones from the lists of codes 2, 8, 16 and 32, in that
// order and each in list order (a list the context does not hold adds
// nothing):
//  - region records keep their content code (code 2) or become inverted text
//    (code 8); pictures are pictures; a text block with |yMax - yMin| and
//    xMax - xMin both below param400 becomes noise;
//  - top and bottom are swapped, since the dispatcher left the lower page row
//    in the first y field;
//  - the page size of the clean-up is taken from the text block input when
//    the context has one, else kept from the last build in the process;
//  - redundant zones are removed and the survivors numbered;
//  - merging pass 0, then pass 1 if pass 0 succeeded.
// Status of the last merging pass, or 1 when memory runs out (the table then
// holds what had been installed so far). Runs under the library lock.
std::int32_t buildZoneTable(LaContext& context);

// The page size that the last build took from a text block input, (0, 0)
// before any. Process-wide; read and written under the library lock.
struct ZonePageSize {
    std::int32_t width = 0;
    std::int32_t height = 0;
};
ZonePageSize zonePageSize();

} // namespace quadrel
