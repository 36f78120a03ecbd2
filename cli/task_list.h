// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Expands the command line's files into the list of pages to analyse, and
// names the output files of each page.
#pragma once

#include "cli/options.h"
#include "cli/page_result.h"

#include <functional>
#include <vector>

namespace quadrel_cli {

// Counts the pages of a file; throws with the reason when it cannot.
using PageCounter = std::function<int(const std::string& file)>;

// One task per page, in command-line order: every page of each file in turn,
// or the page --page names. A file whose pages cannot be counted becomes one
// failed task. When several pages are analysed (several files, or a file of
// several pages), the output options name folders and every page writes <stem>-p<page> with
// the option's extension there (.xml, .tif, .page.xml, .alto.xml, .hocr,
// .deskewed.tif; stem "stdin" for "-").
// Throws UsageError when two inputs would write the same output file, or
// when an output meant for standard output would get several pages.
std::vector<PageTask> makeTasks(const Options& options, const PageCounter& countPages);

// Whether --xml and --outlined name folders for these tasks.
bool outputsAreFolders(const Options& options, const std::vector<PageTask>& tasks);

} // namespace quadrel_cli
