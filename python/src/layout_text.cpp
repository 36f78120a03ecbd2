// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "python/src/layout_text.h"

#include "cli/page_result.h"
#include "zones/layout_json.h"
#include "zones/layout_xml.h"

namespace quadrel_python {
namespace {

// The writers read zones through the library's accessor signatures; here the
// "context" is the stored table itself.
const std::vector<zones::ZoneRecord>& tableOf(LaContext* context) {
    return *reinterpret_cast<const std::vector<zones::ZoneRecord>*>(context);
}

std::int32_t storedCount(LaContext* context) {
    return std::int32_t(tableOf(context).size());
}

std::int32_t storedRect(LaContext* context, std::int32_t i, std::int32_t* left, std::int32_t* top,
                        std::int32_t* right, std::int32_t* bottom) {
    const zones::ZoneRecord& z = tableOf(context).at(std::size_t(i));
    *left = z.left, *top = z.top, *right = z.right, *bottom = z.bottom;
    return LA_STATUS_OK;
}

std::int32_t storedContent(LaContext* context, std::int32_t i, std::int32_t* content) {
    *content = tableOf(context).at(std::size_t(i)).content;
    return LA_STATUS_OK;
}

} // namespace

zones::LayoutDocument layoutDocument(const std::string& file, int page, const PageLayout& layout) {
    quadrel_cli::PageResult result;
    result.file = file;
    result.page = page;
    result.width = layout.width;
    result.height = layout.height;
    result.xDpi = layout.xDpi;
    result.yDpi = layout.yDpi;
    result.skew = layout.skew;
    result.skewMeasured = layout.skewMeasured;
    result.zones = layout.zones;
    return quadrel_cli::layoutDocumentOf(result);
}

std::string layoutJson(const std::string& file, int page, const PageLayout& layout) {
    return zones::LayoutPageJson(layoutDocument(file, page, layout))
        .dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

std::string layoutXml(const PageLayout& layout) {
    auto* table =
        reinterpret_cast<LaContext*>(const_cast<std::vector<zones::ZoneRecord>*>(&layout.zones));
    return zones::layoutXmlText({table, storedCount, storedRect, storedContent});
}

} // namespace quadrel_python
