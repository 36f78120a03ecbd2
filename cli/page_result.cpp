#include "cli/page_result.h"

#ifndef QUADREL_VERSION
#define QUADREL_VERSION "unknown"
#endif

namespace quadrel_cli {

zones::LayoutDocument layoutDocumentOf(const PageResult& result) {
    zones::LayoutDocument document;
    zones::LayoutPage& page = document.page;
    page.imageFile = result.file;
    page.pageIndex = result.page;
    page.width = result.width;
    page.height = result.height;
    page.xDpi = result.xDpi;
    page.yDpi = result.yDpi;
    page.skewMeasured = result.skewMeasured;
    page.skewHundredths = result.skew;
    document.zones = result.zones;
    document.creator = std::string("quadrel ") + QUADREL_VERSION;
    return document;
}

PageResult resultOf(const zones::LayoutDocument& document) {
    const zones::LayoutPage& page = document.page;
    PageResult result;
    result.file = page.imageFile;
    result.page = page.pageIndex;
    result.width = page.width;
    result.height = page.height;
    result.xDpi = page.xDpi;
    result.yDpi = page.yDpi;
    result.skewMeasured = page.skewMeasured;
    result.skew = page.skewHundredths;
    result.zones = document.zones;
    return result;
}

} // namespace quadrel_cli
