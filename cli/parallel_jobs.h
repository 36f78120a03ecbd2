// Runs the analysis of many pages, either in this process or in worker
// processes. The analysis library serialises analyses within a process, so
// parallel pages need separate processes: each page runs in a child forked for
// it, at most `jobs` children at a time, and sends its result back through a
// pipe. A child that dies (a crash on one page) costs only that page.
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
