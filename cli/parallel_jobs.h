// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Runs the analysis of many pages, either in this process or in worker
// processes. The analysis library serialises analyses within a process, so
// parallel pages need separate processes: `jobs` workers are forked once and
// handed pages one at a time through a pipe, so that each keeps its warm heap
// from page to page. A worker that dies (a crash on one page) costs only that
// page; a new worker takes its place for the pages that remain.
#pragma once

#include "cli/page_result.h"

#include <functional>
#include <vector>

namespace quadrel_cli {

using PageAnalysis = std::function<PageResult(const PageTask&)>;

// Results in task order, whatever order the pages complete in. `pageDone` is
// called once per task as its result arrives. With jobs <= 1 (or a single
// task) everything runs in this process, one page after the other.
std::vector<PageResult> runPages(const std::vector<PageTask>& tasks, int jobs,
                                 const PageAnalysis& analyse,
                                 const std::function<void()>& pageDone);

} // namespace quadrel_cli
