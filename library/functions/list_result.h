// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The boundary of an analysis function that fills a list: the list starts
// empty, and a function that fails (or runs out of memory) leaves it empty.
#pragma once

#include "library/la_api.h"

#include <cstdint>
#include <new>

namespace quadrel {

template <class List, class Body> std::int32_t fillListOrLeaveEmpty(List& output, Body&& body) {
    output.clear();
    try {
        const std::int32_t status = body();
        if (status != LA_STATUS_OK) output.clear();
        return status;
    } catch (const std::bad_alloc&) {
        output.clear();
        output.shrink_to_fit();
        return LA_STATUS_OUT_OF_MEMORY;
    }
}

} // namespace quadrel
