// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "library/library_lock.h"

namespace quadrel {

namespace {
// Constant-initialised: it exists before any code of the library runs and
// lives until the library is unloaded.
std::mutex gLibraryLock;
} // namespace

std::mutex& libraryLock() {
    return gLibraryLock;
}

} // namespace quadrel
