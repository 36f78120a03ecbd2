// quadrel: analyses the layout of TIFF pages in batch and reports their zones.
#include "cli/json_report.h"
#include "cli/options.h"
#include "cli/outline_writer.h"
#include "cli/page_analysis.h"
#include "cli/page_loading.h"
#include "cli/parallel_jobs.h"
#include "cli/progress_bar.h"
#include "cli/task_list.h"
#include "cli/text_report.h"

#include <filesystem>
#include <iostream>
#include <optional>

using namespace quadrel_cli;

namespace {

constexpr int kExitAllAnalysed = 0;
constexpr int kExitSomeFailed = 1;
constexpr int kExitBadUsage = 2;

// Folders named by the output options for several pages are made up front;
// a folder that cannot be made shows up as a failure of each page that writes there.
void makeOutputFolders(const Options& options) {
    if (!options.outputsAreFolders()) return;
    for (const std::string& folder : options.outputPaths()) {
        std::error_code ignored;
        if (!folder.empty()) std::filesystem::create_directories(folder, ignored);
    }
}

void report(const Options& options, const std::vector<PageResult>& results) {
    if (options.json) {
        std::cout << reportToJson(results).dump(2, ' ', false,
                                                nlohmann::ordered_json::error_handler_t::replace)
                  << "\n";
    } else if (!options.quiet) {
        for (const PageResult& result : results) {
            if (!result.ok()) continue;
            printZoneTable(std::cout, result);
            std::cout << "\n";
        }
        printSummary(std::cout, results);
    }
    std::cout.flush();
    for (const PageResult& result : results)
        if (!result.ok()) std::cerr << failureLine(result) << "\n";
}

int run(int argc, char** argv) {
    const CommandLine commandLine = parseCommandLine(argc, argv);
    if (!commandLine.options) return commandLine.exitCode;
    const Options& options = *commandLine.options;

    std::vector<PageTask> tasks;
    try {
        tasks = makeTasks(options, countTiffPages);
    } catch (const UsageError& e) {
        std::cerr << "quadrel: " << e.what() << "\n";
        return kExitBadUsage;
    }
    makeOutputFolders(options);

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
    report(options, results);
    for (const PageResult& result : results)
        if (!result.ok()) return kExitSomeFailed;
    return kExitAllAnalysed;
}

} // namespace

int main(int argc, char** argv) {
    try {
        return run(argc, argv);
    } catch (const std::exception& e) { // out of memory before any page, for instance
        std::cerr << "quadrel: " << e.what() << "\n";
        return kExitSomeFailed;
    }
}
