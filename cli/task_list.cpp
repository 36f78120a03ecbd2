#include "cli/task_list.h"

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
    if (options.files.size() < 2 || (options.xmlPath.empty() && options.outlinedPath.empty()))
        return;
    std::set<std::string> stems;
    for (const std::string& file : options.files)
        if (!stems.insert(stemOf(file)).second)
            throw UsageError("two inputs named '" + stemOf(file) +
                             "' would write the same output files");
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
    if (inFolder && options.outputOnStdout())
        throw UsageError("standard output (-) takes the output of one page, and " +
                         std::to_string(tasks.size()) +
                         " pages are analysed; pick one with --page");
    for (PageTask& task : tasks) {
        if (!task.error.empty()) continue;
        task.xmlOutput = outputFor(options.xmlPath, task.file, task.page, ".xml", inFolder);
        task.outlinedOutput =
            outputFor(options.outlinedPath, task.file, task.page, ".tif", inFolder);
    }
    return tasks;
}

} // namespace quadrel_cli
