#include "cli/parallel_jobs.h"

#include "cli/json_report.h"

#include <cerrno>
#include <cstdio>
#include <optional>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quadrel_cli {
namespace {

// Analyses one task; never throws.
PageResult runOne(const PageTask& task, const PageAnalysis& analyse) {
    if (!task.error.empty()) return failedResult(task, task.error);
    try {
        return analyse(task);
    } catch (const std::bad_alloc&) {
        return failedResult(task, "out of memory");
    } catch (const std::exception& e) {
        return failedResult(task, e.what());
    }
}

struct Worker {
    pid_t pid = -1;
    int fd = -1;
    std::size_t task = 0;
    std::string received;
};

void writeAll(int fd, const std::string& data) {
    std::size_t written = 0;
    while (written < data.size()) {
        const ssize_t n = ::write(fd, data.data() + written, data.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        written += std::size_t(n);
    }
}

[[noreturn]] void runChild(const PageTask& task, const PageAnalysis& analyse, int fd) {
    const PageResult result = runOne(task, analyse);
    writeAll(fd, pageToJson(result).dump(-1, ' ', false,
                                         nlohmann::ordered_json::error_handler_t::replace));
    ::close(fd);
    // Skip exit handlers and static destructors: they belong to the parent.
    ::_exit(0);
}

std::optional<Worker> startWorker(const std::vector<PageTask>& tasks, std::size_t index,
                                  const std::vector<Worker>& running, const PageAnalysis& analyse) {
    int fds[2];
    if (::pipe(fds) != 0) return std::nullopt;
    std::fflush(nullptr); // buffered output must not be written twice
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return std::nullopt;
    }
    if (pid == 0) {
        ::close(fds[0]);
        for (const Worker& w : running) ::close(w.fd);
        runChild(tasks[index], analyse, fds[1]);
    }
    ::close(fds[1]);
    Worker worker;
    worker.pid = pid;
    worker.fd = fds[0];
    worker.task = index;
    return worker;
}

std::string describeExit(int status) {
    if (WIFSIGNALED(status))
        return "the worker process was ended by signal " + std::to_string(WTERMSIG(status));
    return "the worker process exited with status " + std::to_string(WEXITSTATUS(status));
}

// Collects a finished worker's result: what it sent, or why it sent nothing usable.
PageResult finishWorker(Worker& worker, const PageTask& task) {
    ::close(worker.fd);
    int status = 0;
    while (::waitpid(worker.pid, &status, 0) < 0 && errno == EINTR) {
    }
    const bool exitedCleanly = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (exitedCleanly && !worker.received.empty()) {
        try {
            PageResult result = pageFromJson(nlohmann::ordered_json::parse(worker.received));
            result.file = task.file; // the name as given, whatever its encoding
            result.page = task.page;
            return result;
        } catch (const std::exception&) {
        }
    }
    return failedResult(task,
                        exitedCleanly ? "the worker process sent no result" : describeExit(status));
}

// Reads what is available from one worker; true once it has closed its end.
bool readFromWorker(Worker& worker) {
    char buffer[65536];
    const ssize_t n = ::read(worker.fd, buffer, sizeof buffer);
    if (n < 0) return errno != EINTR && errno != EAGAIN;
    if (n == 0) return true;
    worker.received.append(buffer, std::size_t(n));
    return false;
}

std::vector<PageResult> runInWorkers(const std::vector<PageTask>& tasks, std::size_t jobs,
                                     const PageAnalysis& analyse,
                                     const std::function<void()>& pageDone) {
    std::vector<std::optional<PageResult>> results(tasks.size());
    std::vector<Worker> running;
    std::size_t next = 0;
    while (next < tasks.size() || !running.empty()) {
        while (running.size() < jobs && next < tasks.size()) {
            const std::size_t index = next++;
            std::optional<Worker> worker;
            if (tasks[index].error.empty()) worker = startWorker(tasks, index, running, analyse);
            if (worker) {
                running.push_back(std::move(*worker));
                continue;
            }
            // A failed task, or no process to spare: handle it here.
            results[index] = runOne(tasks[index], analyse);
            pageDone();
        }
        if (running.empty()) continue;
        std::vector<pollfd> polls;
        for (const Worker& w : running) polls.push_back({w.fd, POLLIN, 0});
        if (::poll(polls.data(), polls.size(), -1) < 0) continue; // interrupted: poll again
        for (std::size_t i = running.size(); i-- > 0;) {
            if (polls[i].revents == 0 || !readFromWorker(running[i])) continue;
            results[running[i].task] = finishWorker(running[i], tasks[running[i].task]);
            running.erase(running.begin() + std::ptrdiff_t(i));
            pageDone();
        }
    }
    std::vector<PageResult> ordered;
    ordered.reserve(results.size());
    for (auto& r : results) ordered.push_back(std::move(*r));
    return ordered;
}

} // namespace

std::vector<PageResult> runPages(const std::vector<PageTask>& tasks, int jobs,
                                 const PageAnalysis& analyse,
                                 const std::function<void()>& pageDone) {
    if (jobs > 1 && tasks.size() > 1)
        return runInWorkers(tasks, std::size_t(jobs), analyse, pageDone);
    std::vector<PageResult> results;
    results.reserve(tasks.size());
    for (const PageTask& task : tasks) {
        results.push_back(runOne(task, analyse));
        pageDone();
    }
    return results;
}

} // namespace quadrel_cli
