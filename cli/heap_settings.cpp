// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "cli/heap_settings.h"

#include <cstdlib>
#include <cstring>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace quadrel_cli {

namespace {

constexpr int kMiB = 1024 * 1024;
constexpr int kLargestHeapBlock = 32 * kMiB; // glibc's ceiling for the mapping threshold
constexpr int kFreeHeapKept = 128 * kMiB;

bool environmentTunesMalloc() {
    const char* tunables = std::getenv("GLIBC_TUNABLES");
    return (tunables && std::strstr(tunables, "glibc.malloc.")) ||
           std::getenv("MALLOC_MMAP_THRESHOLD_") || std::getenv("MALLOC_TRIM_THRESHOLD_");
}

} // namespace

void keepHeapBetweenPages() {
#if defined(__GLIBC__)
    if (environmentTunesMalloc()) return;
    mallopt(M_MMAP_THRESHOLD, kLargestHeapBlock);
    mallopt(M_TRIM_THRESHOLD, kFreeHeapKept);
#endif
}

} // namespace quadrel_cli
