// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The numeric parameters of a context, addressed by their identifiers.
//
// 100-102 go to line and table detection, 200-203 to line removal, 300-301
// to inverse text detection, 400 to picture detection and the noise rule of
// the zone table. 500 is the pipe, carried as its number in the pipe table.
// 600 is the skew angle in hundredths of a degree, read only.
#pragma once

#include "library/la_api.h"

#include <cstdint>

namespace quadrel {

// Stores a parameter. Unknown ids, and 600, are accepted and ignored. Id 500
// installs the live pipe with that number, 0 installs none, and a number that
// names no live pipe changes nothing. Always status 0.
std::int32_t setParameter(LaContext& context, std::int32_t id, std::int32_t value);

// Reads a parameter into `value`. Id 500 gives the number of the installed
// pipe, 0 when there is none or it has been destroyed. Id 600 gives the skew
// angle × 100 truncated toward zero, or 0 with status 2 before code 1 has run
// on the context. Unknown ids leave `value` untouched. Status 0 otherwise.
std::int32_t getParameter(const LaContext& context, std::int32_t id, std::int32_t& value);

// Sets the parameters that go with the default pipe, in this order:
// 100 = 80, 101 = 120, 102 = 3, 400 = 9, 300 = 80, 301 = 120, 200 = 80,
// 201 = 120, 202 = 3, 203 = 7.
void setDefaultPipeParameters(LaContext& context);

} // namespace quadrel
