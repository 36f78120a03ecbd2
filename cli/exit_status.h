// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The exit statuses of the quadrel program.
#pragma once

namespace quadrel_cli {

constexpr int kExitAllAnalysed = 0; // also --help and --version
constexpr int kExitSomeFailed = 1;  // a page or an output failed; the others went on
constexpr int kExitBadUsage = 2;    // the command line cannot be used

} // namespace quadrel_cli
