// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The part of --help that teaches: inputs, outputs, the function codes, the
// parameters, the exit statuses and examples.
#pragma once

#include <string>

namespace quadrel_cli {

// Printed after the option list.
std::string helpFooter();

} // namespace quadrel_cli
