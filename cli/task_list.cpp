// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "cli/task_list.h"

#include <algorithm>
#include <set>

namespace quadrel_cli {
namespace {

std::string stemOf(const std::string& file) {
    return file == "-" ? std::string("stdin") : std::filesystem::path(file).stem().string();
}

std::filesystem::path outputFor(const std::string& target, const std::string& file, int page,
                                const char* extension, bool inFolder) {
    if (target.empty()) return {};
    if (!inFolder) return target;
    return std::filesystem::path(target) / (stemOf(file) + "-p" + std::to_string(page) + extension);
}

void requireDistinctStems(const Options& options) {
    const std::vector<std::string> outputs = options.outputPaths();
    const bool anyOutput = std::any_of(outputs.begin(), outputs.end(),
                                       [](const std::string& path) { return !path.empty(); });
    if (options.files.size() < 2 || !anyOutput) return;
    std::set<std::string> stems;
    for (const std::string& file : options.files)
        if (!stems.insert(stemOf(file)).second)
            throw UsageError("two inputs named '" + stemOf(file) +
                             "' would write the same output files");
}

// With one page, every output option names a file: two naming the same file
// would leave only the last one written.
void requireDistinctFiles(const Options& options, bool inFolder) {
    if (inFolder) return;
    std::set<std::string> files;
    for (const std::string& path : options.outputPaths())
        if (!path.empty() && path != "-" && !files.insert(path).second)
            throw UsageError("two outputs would write the same file '" + path + "'");
}

// The pages of one file: the one --page names, or all of them.
void addPages(std::vector<PageTask>& tasks, const Options& options, const std::string& file,
              const PageCounter& countPages) {
    PageTask task;
    task.file = file;
    if (options.page) {
        task.page = *options.page;
        tasks.push_back(task);
        return;
    }
    int pages = 0;
    try {
        pages = countPages(file);
    } catch (const std::exception& e) {
        task.page = -1;
        task.error = e.what();
        tasks.push_back(task);
        return;
    }
    for (task.page = 0; task.page < pages; ++task.page) tasks.push_back(task);
}

} // namespace

PageResult failedResult(const PageTask& task, std::string reason) {
    PageResult result;
    result.file = task.file;
    result.page = task.page;
    result.error = std::move(reason);
    return result;
}

bool outputsAreFolders(const Options& options, const std::vector<PageTask>& tasks) {
    return options.files.size() > 1 || tasks.size() > 1;
}

std::vector<PageTask> makeTasks(const Options& options, const PageCounter& countPages) {
    requireDistinctStems(options);
    std::vector<PageTask> tasks;
    for (const std::string& file : options.files) addPages(tasks, options, file, countPages);
    const bool inFolder = outputsAreFolders(options, tasks);
    requireDistinctFiles(options, inFolder);
    if (inFolder && options.outputOnStdout())
        throw UsageError("standard output (-) takes the output of one page, and " +
                         std::to_string(tasks.size()) +
                         " pages are analysed; pick one with --page");
    for (PageTask& task : tasks) {
        if (!task.error.empty()) continue;
        task.xmlOutput = outputFor(options.xmlPath, task.file, task.page, ".xml", inFolder);
        task.outlinedOutput =
            outputFor(options.outlinedPath, task.file, task.page, ".tif", inFolder);
        task.pageXmlOutput =
            outputFor(options.pageXmlPath, task.file, task.page, ".page.xml", inFolder);
        task.altoOutput = outputFor(options.altoPath, task.file, task.page, ".alto.xml", inFolder);
        task.hocrOutput = outputFor(options.hocrPath, task.file, task.page, ".hocr", inFolder);
        task.deskewedOutput =
            outputFor(options.deskewedPath, task.file, task.page, ".deskewed.tif", inFolder);
    }
    return tasks;
}

} // namespace quadrel_cli
