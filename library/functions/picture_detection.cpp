// NOT YET BUILT: this analysis function leaves its output empty and succeeds.
#include "library/functions/analysis_functions.h"

namespace quadrel {

std::int32_t detectPictures(const LaBitmap&, std::int32_t, LaList<LaPictureRecord>&) { return 0; }

} // namespace quadrel
