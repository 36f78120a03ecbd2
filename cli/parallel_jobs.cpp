// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "cli/parallel_jobs.h"

#include "cli/result_message.h"

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <deque>
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

bool writeAll(int fd, const void* data, std::size_t size) {
    const char* bytes = static_cast<const char*>(data);
    std::size_t written = 0;
    while (written < size) {
        const ssize_t n = ::write(fd, bytes + written, size - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        written += std::size_t(n);
    }
    return true;
}

bool readAll(int fd, void* data, std::size_t size) {
    char* bytes = static_cast<char*>(data);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::read(fd, bytes + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += std::size_t(n);
    }
    return true;
}

// The worker's loop: read a task number, send back its result as a
// length-prefixed message, until the parent closes the task pipe.
[[noreturn]] void runWorker(const std::vector<PageTask>& tasks, const PageAnalysis& analyse,
                            int taskFd, int resultFd) {
    std::uint64_t index = 0;
    while (readAll(taskFd, &index, sizeof index) && index < tasks.size()) {
        const std::string text = encodeResult(runOne(tasks[index], analyse));
        const std::uint64_t length = text.size();
        if (!writeAll(resultFd, &length, sizeof length) ||
            !writeAll(resultFd, text.data(), text.size()))
            break;
    }
    // Skip exit handlers and static destructors: they belong to the parent.
    ::_exit(0);
}

struct Worker {
    pid_t pid = -1;
    int taskFd = -1;   // parent writes task numbers
    int resultFd = -1; // parent reads results
    std::optional<std::size_t> task;
    std::string received;
};

std::optional<Worker> startWorker(const std::vector<PageTask>& tasks,
                                  const std::vector<Worker>& running, const PageAnalysis& analyse) {
    int toChild[2];
    int fromChild[2];
    if (::pipe(toChild) != 0) return std::nullopt;
    if (::pipe(fromChild) != 0) {
        ::close(toChild[0]);
        ::close(toChild[1]);
        return std::nullopt;
    }
    std::fflush(nullptr); // buffered output must not be written twice
    const pid_t pid = ::fork();
    if (pid < 0) {
        for (int fd : {toChild[0], toChild[1], fromChild[0], fromChild[1]}) ::close(fd);
        return std::nullopt;
    }
    if (pid == 0) {
        ::close(toChild[1]);
        ::close(fromChild[0]);
        for (const Worker& w : running) {
            ::close(w.taskFd);
            ::close(w.resultFd);
        }
        runWorker(tasks, analyse, toChild[0], fromChild[1]);
    }
    ::close(toChild[0]);
    ::close(fromChild[1]);
    Worker worker;
    worker.pid = pid;
    worker.taskFd = toChild[1];
    worker.resultFd = fromChild[0];
    return worker;
}

std::string describeExit(int status) {
    if (WIFSIGNALED(status))
        return "the worker process was ended by signal " + std::to_string(WTERMSIG(status));
    return "the worker process exited with status " + std::to_string(WEXITSTATUS(status));
}

void stopWorker(Worker& worker, int* status) {
    ::close(worker.taskFd);
    ::close(worker.resultFd);
    int ignored = 0;
    while (::waitpid(worker.pid, status ? status : &ignored, 0) < 0 && errno == EINTR) {
    }
}

// A complete result at the front of what the worker sent, if there is one.
std::optional<std::string> takeMessage(Worker& worker) {
    std::uint64_t length = 0;
    if (worker.received.size() < sizeof length) return std::nullopt;
    std::memcpy(&length, worker.received.data(), sizeof length);
    if (worker.received.size() - sizeof length < length) return std::nullopt;
    std::string text = worker.received.substr(sizeof length, std::size_t(length));
    worker.received.erase(0, sizeof length + std::size_t(length));
    return text;
}

PageResult resultFromMessage(const std::string& text, const PageTask& task) {
    std::optional<PageResult> result = decodeResult(text);
    if (!result) return failedResult(task, "the worker process sent no usable result");
    result->file = task.file; // the name as given, whatever its encoding
    result->page = task.page;
    return std::move(*result);
}

class WorkerPool {
  public:
    WorkerPool(const std::vector<PageTask>& tasks, const PageAnalysis& analyse,
               const std::function<void()>& pageDone)
        : tasks_(tasks), analyse_(analyse), pageDone_(pageDone), results_(tasks.size()) {}

    std::vector<PageResult> run(std::size_t jobs) {
        // A worker that dies leaves a closed pipe: writing to it must fail
        // with an error, not end this process.
        const auto previous = std::signal(SIGPIPE, SIG_IGN);
        for (std::size_t i = 0; i < tasks_.size(); ++i) {
            if (tasks_[i].error.empty())
                pending_.push_back(i);
            else
                finish(i, failedResult(tasks_[i], tasks_[i].error));
        }
        for (std::size_t i = 0; i < jobs && i < pending_.size(); ++i) addWorker();
        while (!workers_.empty()) {
            for (Worker& w : workers_) feed(w);
            retireIdleWorkers();
            if (!workers_.empty()) waitForResults();
        }
        // Workers could not be started: analyse what is left here.
        while (!pending_.empty()) {
            const std::size_t index = pending_.front();
            pending_.pop_front();
            finish(index, runOne(tasks_[index], analyse_));
        }
        std::signal(SIGPIPE, previous);
        std::vector<PageResult> ordered;
        ordered.reserve(results_.size());
        for (auto& r : results_) ordered.push_back(std::move(*r));
        return ordered;
    }

  private:
    void addWorker() {
        if (std::optional<Worker> worker = startWorker(tasks_, workers_, analyse_))
            workers_.push_back(std::move(*worker));
    }

    void finish(std::size_t index, PageResult result) {
        results_[index] = std::move(result);
        pageDone_();
    }

    // Gives an idle worker the next page.
    void feed(Worker& worker) {
        if (worker.task || pending_.empty()) return;
        const std::uint64_t index = pending_.front();
        if (!writeAll(worker.taskFd, &index, sizeof index)) return; // its death is seen on read
        pending_.pop_front();
        worker.task = std::size_t(index);
    }

    void retireIdleWorkers() {
        for (std::size_t i = workers_.size(); i-- > 0;) {
            if (workers_[i].task) continue;
            stopWorker(workers_[i], nullptr);
            workers_.erase(workers_.begin() + std::ptrdiff_t(i));
        }
    }

    void waitForResults() {
        std::vector<pollfd> polls;
        for (const Worker& w : workers_) polls.push_back({w.resultFd, POLLIN, 0});
        if (::poll(polls.data(), polls.size(), -1) < 0) return; // interrupted: poll again
        for (std::size_t i = workers_.size(); i-- > 0;)
            if (polls[i].revents != 0) readFrom(i);
    }

    void readFrom(std::size_t i) {
        Worker& worker = workers_[i];
        char buffer[65536];
        const ssize_t n = ::read(worker.resultFd, buffer, sizeof buffer);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) return;
        if (n > 0) {
            worker.received.append(buffer, std::size_t(n));
            if (std::optional<std::string> text = takeMessage(worker)) {
                const std::size_t index = *worker.task;
                worker.task.reset();
                finish(index, resultFromMessage(*text, tasks_[index]));
            }
            return;
        }
        // The worker is gone: its page fails, and a new worker takes over.
        int status = 0;
        stopWorker(worker, &status);
        const std::optional<std::size_t> lost = worker.task;
        workers_.erase(workers_.begin() + std::ptrdiff_t(i));
        if (lost) finish(*lost, failedResult(tasks_[*lost], describeExit(status)));
        if (!pending_.empty()) addWorker();
    }

    const std::vector<PageTask>& tasks_;
    const PageAnalysis& analyse_;
    const std::function<void()>& pageDone_;
    std::vector<std::optional<PageResult>> results_;
    std::deque<std::size_t> pending_;
    std::vector<Worker> workers_;
};

} // namespace

std::vector<PageResult> runPages(const std::vector<PageTask>& tasks, int jobs,
                                 const PageAnalysis& analyse,
                                 const std::function<void()>& pageDone) {
    if (jobs > 1 && tasks.size() > 1)
        return WorkerPool(tasks, analyse, pageDone).run(std::size_t(jobs));
    std::vector<PageResult> results;
    results.reserve(tasks.size());
    for (const PageTask& task : tasks) {
        results.push_back(runOne(task, analyse));
        pageDone();
    }
    return results;
}

} // namespace quadrel_cli
