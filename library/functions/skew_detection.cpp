// NOT YET BUILT: this analysis function leaves its output empty and succeeds.
#include "library/functions/analysis_functions.h"

namespace quadrel {

std::int32_t detectSkew(const LaBitmap&, LaBitmap&, double* angle) {
    if (angle) *angle = 0.0;
    return 0;
}

} // namespace quadrel
