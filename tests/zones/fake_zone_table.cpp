// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "tests/zones/fake_zone_table.h"

namespace zonestest {
namespace {

std::vector<zones::ZoneRecord> gTable;

std::int32_t count(LaContext*) {
    return std::int32_t(gTable.size());
}
std::int32_t rect(LaContext*, std::int32_t i, std::int32_t* l, std::int32_t* t, std::int32_t* r,
                  std::int32_t* b) {
    const zones::ZoneRecord& z = gTable.at(std::size_t(i));
    *l = z.left, *t = z.top, *r = z.right, *b = z.bottom;
    return LA_STATUS_OK;
}
std::int32_t content(LaContext*, std::int32_t i, std::int32_t* c) {
    *c = gTable.at(std::size_t(i)).content;
    return LA_STATUS_OK;
}

} // namespace

zones::ZoneSource fakeZoneSource(std::vector<zones::ZoneRecord> table) {
    gTable = std::move(table);
    return {nullptr, count, rect, content};
}

} // namespace zonestest
