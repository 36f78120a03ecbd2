// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The one process-wide lock of the library.
//
// LA_Execute holds it from its first step to its last, so at most one
// analysis runs at a time in the process, whichever context it uses. The
// analysis keeps process-wide working values (the page size of the zone
// clean-up, the post-processing's pass state) that rely on it. No other
// export takes it.
#pragma once

#include <mutex>

namespace quadrel {

std::mutex& libraryLock();

} // namespace quadrel
