// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// quadrel: analyses the layout of scanned pages in batch and reports their zones.
#include "cli/exit_status.h"
#include "cli/heap_settings.h"
#include "cli/json_report.h"
#include "cli/options.h"
#include "cli/outline_writer.h"
#include "cli/page_analysis.h"
#include "cli/page_loading.h"
#include "cli/parallel_jobs.h"
#include "cli/progress_bar.h"
#include "cli/task_list.h"
#include "cli/text_report.h"
#include "zones/output_file.h"

#include <filesystem>
#include <iostream>
#include <optional>
#include <sstream>

using namespace quadrel_cli;

namespace {

// Folders named by the output options for several pages are made up front;
// a folder that cannot be made shows up as a failure of each page that writes there.
void makeOutputFolders(const Options& options, const std::vector<PageTask>& tasks) {
    if (!outputsAreFolders(options, tasks)) return;
    for (const std::string& folder : options.outputPaths()) {
        std::error_code ignored;
        if (!folder.empty()) std::filesystem::create_directories(folder, ignored);
    }
}

// What goes to standard output: the JSON document, or the zone tables and
// the summary (nothing when an output file goes there instead).
std::string reportText(const Options& options, const std::vector<PageResult>& results) {
    if (options.json)
        return reportToJson(results).dump(2, ' ', false,
                                          nlohmann::ordered_json::error_handler_t::replace) +
               "\n";
    if (options.quiet || options.outputOnStdout()) return {};
    std::ostringstream out;
    for (const PageResult& result : results) {
        if (!result.ok()) continue;
        printZoneTable(out, result);
        out << "\n";
    }
    printSummary(out, results);
    return out.str();
}

// Writes the report and closes standard output; false (with the reason on
// stderr) when either fails.
bool report(const Options& options, const std::vector<PageResult>& results) {
    bool written = true;
    try {
        zones::WriteOutput(zones::kStandardOutput, reportText(options, results));
        zones::CloseStandardOutput();
    } catch (const zones::OutputError& e) {
        std::cerr << "quadrel: " << e.what() << "\n";
        written = false;
    }
    for (const PageResult& result : results)
        if (!result.ok()) std::cerr << failureLine(result) << "\n";
    return written;
}

int run(int argc, char** argv) {
    const CommandLine commandLine = parseCommandLine(argc, argv);
    if (!commandLine.options) return commandLine.exitCode;
    const Options& options = *commandLine.options;

    std::vector<PageTask> tasks;
    try {
        tasks = makeTasks(options, countPages);
    } catch (const UsageError& e) {
        std::cerr << "quadrel: " << e.what() << "\n";
        return kExitBadUsage;
    }
    makeOutputFolders(options, tasks);

    // Loaded (with Qt) only for outlined images, and before any worker
    // process is forked, so that each inherits it.
    std::optional<OutlineWriter> outlines;
    if (!options.outlinedPath.empty()) outlines.emplace();

    const AnalysisSettings settings =
        analysisSettingsFrom(options, outlines ? &*outlines : nullptr);
    std::vector<PageResult> results;
    {
        ProgressBar progress(tasks.size(),
                             !options.quiet && tasks.size() > 1 && stderrIsTerminal());
        results = runPages(
            tasks, options.jobs, [&](const PageTask& task) { return analysePage(task, settings); },
            [&] { progress.advance(); });
    }
    if (!report(options, results)) return kExitSomeFailed;
    for (const PageResult& result : results)
        if (!result.ok()) return kExitSomeFailed;
    return kExitAllAnalysed;
}

} // namespace

int main(int argc, char** argv) {
    keepHeapBetweenPages(); // before the first page, for this process and its workers
    try {
        return run(argc, argv);
    } catch (const std::exception& e) { // out of memory before any page, for instance
        std::cerr << "quadrel: " << e.what() << "\n";
        return kExitSomeFailed;
    }
}
