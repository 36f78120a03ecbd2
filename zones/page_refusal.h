// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The pages the analysis takes as they are, and the message both programs
// give for the others.
#pragma once

#include "imaging/dib_image.h"

#include <optional>
#include <string_view>

namespace zones {

inline constexpr std::string_view kNotBlackAndWhite =
    "Images is not black and white: analysis is not possible. Please threshold the image "
    "before to process it !";

// Why the analysis cannot take `page`, or nothing when it can: it reads
// 1-bit pages only, so any other depth gets kNotBlackAndWhite.
std::optional<std::string_view> AnalysisRefusal(const imaging::TDIB& page);

} // namespace zones
