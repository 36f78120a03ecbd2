// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// How the batch program's heap behaves from page to page.
#pragma once

namespace quadrel_cli {

// Keeps the memory freed after one page for the next instead of handing it
// back to the system. By default glibc maps each block above a threshold
// afresh and trims the heap's top whenever its free end passes twice that
// threshold, so every page of a batch faulted in megabytes of fresh, zeroed
// pages (about 800 per page, most of the kernel time of a run). Here blocks
// up to 32 MiB come from the heap and up to 128 MiB of free heap stays: a
// process holds about the largest page's working set, flat, and reuses it.
// Left alone when the environment sets glibc's malloc tunables.
void keepHeapBetweenPages();

} // namespace quadrel_cli
