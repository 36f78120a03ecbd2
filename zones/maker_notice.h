// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The maker's notice shown in the About box and in the header comments of
// the XML layout file.
#pragma once

#include <string_view>

namespace zones {

inline constexpr std::string_view kLegalNotice =
    "Copyright (C) 2006 Folivane. All rights reserved.";
inline constexpr std::string_view kContactLine =
    "http://www.folivane.example - contact@folivane.example";

} // namespace zones
