// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The white gaps the line finder bridges in line detection (code 2) and line
// removal (code 4). Both search the same page, so line detection finds the
// removal's column segments while it reads the columns (findLines'
// laterGap).
#pragma once

#include <cstdint>

namespace quadrel {

// Line detection bridges only small gaps: a dashed rule stays in pieces.
inline constexpr std::int32_t kDetectionBridgingGap = 3;
// Removal bridges gaps of up to 6 white pixels, so dashed rules go whole.
inline constexpr std::int32_t kRemovalBridgingGap = 7;

} // namespace quadrel
