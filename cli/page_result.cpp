// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "cli/page_result.h"

#include "quadrel/version.h"

namespace quadrel_cli {
namespace {

// The fields a result shares with a layout page, paired once for both
// directions: `copy(pageField, resultField)` copies one way or the other.
template <class Page, class Result, class Copy>
void pairFields(Page& page, Result& result, Copy&& copy) {
    copy(page.imageFile, result.file);
    copy(page.pageIndex, result.page);
    copy(page.width, result.width);
    copy(page.height, result.height);
    copy(page.xDpi, result.xDpi);
    copy(page.yDpi, result.yDpi);
    copy(page.skewMeasured, result.skewMeasured);
    copy(page.skewHundredths, result.skew);
}

} // namespace

zones::LayoutDocument layoutDocumentOf(const PageResult& result) {
    zones::LayoutDocument document;
    pairFields(document.page, result, [](auto& to, const auto& from) { to = from; });
    document.zones = result.zones;
    document.creator = std::string("quadrel ") + QUADREL_VERSION;
    return document;
}

PageResult resultOf(const zones::LayoutDocument& document) {
    PageResult result;
    pairFields(document.page, result, [](const auto& from, auto& to) { to = from; });
    result.zones = document.zones;
    return result;
}

} // namespace quadrel_cli
