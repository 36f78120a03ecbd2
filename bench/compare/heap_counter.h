// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Counts every byte this process holds from the C heap. The program that
// links heap_counter.cpp replaces malloc, calloc, realloc, free and the
// aligned allocators, so allocations made by any library (operator new,
// Leptonica's allocations) pass through the count. Sizes are the usable
// sizes glibc hands out.
#pragma once

#include <cstdint>

namespace heapcount {

// Bytes held now.
std::int64_t inUse();

// Most bytes held at once since the last resetPeak().
std::int64_t peak();

// Starts a new peak from what is held now.
void resetPeak();

} // namespace heapcount
