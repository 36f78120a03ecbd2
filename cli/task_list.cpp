#include "cli/task_list.h"

#include <algorithm>
#include <set>

namespace quadrel_cli {
namespace {

std::filesystem::path outputFor(const std::string& target, const std::string& file, int page,
                                const char* extension, bool inFolder) {
    if (target.empty()) return {};
    if (!inFolder) return target;
    const std::string name =
        std::filesystem::path(file).stem().string() + "-p" + std::to_string(page) + extension;
    return std::filesystem::path(target) / name;
}

void requireDistinctStems(const Options& options) {
    const std::vector<std::string> outputs = options.outputPaths();
    const bool anyOutput = std::any_of(outputs.begin(), outputs.end(),
                                       [](const std::string& path) { return !path.empty(); });
    if (!options.outputsAreFolders() || !anyOutput) return;
    std::set<std::string> stems;
    for (const std::string& file : options.files)
        if (!stems.insert(std::filesystem::path(file).stem().string()).second)
            throw UsageError("two inputs named '" + std::filesystem::path(file).stem().string() +
                             "' would write the same output files");
}

// With one page, every output option names a file: two naming the same file
// would leave only the last one written.
void requireDistinctFiles(const Options& options) {
    if (options.outputsAreFolders()) return;
    std::set<std::string> files;
    for (const std::string& path : options.outputPaths())
        if (!path.empty() && !files.insert(path).second)
            throw UsageError("two outputs would write the same file '" + path + "'");
}

} // namespace

PageResult failedResult(const PageTask& task, std::string reason) {
    PageResult result;
    result.file = task.file;
    result.page = task.page;
    result.error = std::move(reason);
    return result;
}

std::vector<PageTask> makeTasks(const Options& options, const PageCounter& countPages) {
    requireDistinctStems(options);
    requireDistinctFiles(options);
    const bool inFolder = options.outputsAreFolders();
    std::vector<PageTask> tasks;
    auto add = [&](const std::string& file, int page) {
        PageTask task;
        task.file = file;
        task.page = page;
        task.xmlOutput = outputFor(options.xmlPath, file, page, ".xml", inFolder);
        task.outlinedOutput = outputFor(options.outlinedPath, file, page, ".tif", inFolder);
        task.pageXmlOutput = outputFor(options.pageXmlPath, file, page, ".page.xml", inFolder);
        task.altoOutput = outputFor(options.altoPath, file, page, ".alto.xml", inFolder);
        task.hocrOutput = outputFor(options.hocrPath, file, page, ".hocr", inFolder);
        task.deskewedOutput =
            outputFor(options.deskewedPath, file, page, ".deskewed.tif", inFolder);
        tasks.push_back(std::move(task));
    };
    for (const std::string& file : options.files) {
        if (!options.allPages) {
            add(file, options.page);
            continue;
        }
        int pages = 0;
        try {
            pages = countPages(file);
        } catch (const std::exception& e) {
            PageTask failed;
            failed.file = file;
            failed.page = -1;
            failed.error = e.what();
            tasks.push_back(std::move(failed));
            continue;
        }
        for (int page = 0; page < pages; ++page) add(file, page);
    }
    return tasks;
}

} // namespace quadrel_cli
