// NOT YET BUILT: this analysis function leaves its output empty and succeeds.
#include "library/functions/analysis_functions.h"

namespace quadrel {

std::int32_t removeLines(const LaBitmap& input, LaBitmap& output, std::int32_t, std::int32_t,
                         std::int32_t, std::int32_t, std::int32_t) {
    return bitmapCopy(input, output);
}

} // namespace quadrel
