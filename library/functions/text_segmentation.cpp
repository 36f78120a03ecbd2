// NOT YET BUILT: this analysis function leaves its output empty and succeeds.
#include "library/functions/analysis_functions.h"

namespace quadrel {

std::int32_t segmentTextBlocks(const LaBitmap&, const LaList<LaRegionRecord>*,
                               LaList<LaTextBlock>&, std::int32_t) {
    return 0;
}

} // namespace quadrel
