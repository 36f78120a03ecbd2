// Final merging of text zones: pass 0 joins text zones stacked above one
// another (unless a horizontal line separates them), pass 1 joins text zones
// side by side; both join zones nested in one another. Text size is measured
// on the bitmap on which text block segmentation ran.
#pragma once

#include "library/image/bitmap.h"
#include "library/records.h"

#include <cstdint>
#include <vector>

namespace quadrel {

// Runs one pass (0 or 1) over the zone table. `textInput` may be null (the
// table is then unchanged). Status 0, 1 memory exhausted, or the status of a
// failed component extraction (4 when a measured text zone holds no black).
std::int32_t postProcessZones(const LaBitmap* textInput, std::vector<LaZone>& zones,
                              std::int32_t pass);

} // namespace quadrel
