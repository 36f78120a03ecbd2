// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// What a failed analysis tells its user: the reason behind a non-zero status
// of LA_Execute, worded the same by both programs.
#pragma once

#include <cstdint>
#include <string>

namespace zones {

// "the analysis ran out of memory (status 1)" and the like; statuses without
// a reason of their own read "the analysis failed with status N".
std::string AnalysisStatusReason(std::int32_t status);

} // namespace zones
