// Analysis functions whose algorithms have not landed yet: each leaves its
// output empty and succeeds, so that pipes naming them still run.
// NOT YET BUILT: remove each stub when its own source file lands.
#include "library/functions/analysis_functions.h"

namespace quadrel {

std::int32_t detectSkew(const LaBitmap&, LaBitmap&, double* angle) {
    if (angle) *angle = 0.0;
    return 0;
}

std::int32_t detectLinesAndTables(const LaBitmap&, LaList<LaRegionRecord>&, std::int32_t,
                                  std::int32_t, std::int32_t, std::int32_t) {
    return 0;
}

std::int32_t removeLines(const LaBitmap& input, LaBitmap& output, std::int32_t, std::int32_t,
                         std::int32_t, std::int32_t, std::int32_t) {
    return bitmapCopy(input, output);
}

std::int32_t detectInverseText(const LaBitmap&, LaList<LaRegionRecord>&, std::int32_t,
                               std::int32_t) {
    return 0;
}

std::int32_t detectPictures(const LaBitmap&, std::int32_t, LaList<LaPictureRecord>&) { return 0; }

std::int32_t segmentTextBlocks(const LaBitmap&, const LaList<LaRegionRecord>*,
                               LaList<LaTextBlock>&, std::int32_t) {
    return 0;
}

} // namespace quadrel
