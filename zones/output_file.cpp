// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "zones/output_file.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <sys/stat.h>
#include <unistd.h>

namespace zones {
namespace {

constexpr int kMaxLinkHops = 40; // as the kernel's own limit on nested links

std::string displayName(const std::filesystem::path& name) {
    return name == kStandardOutput ? std::string("standard output") : name.string();
}

[[noreturn]] void fail(const std::filesystem::path& name, int error) {
    throw OutputError(displayName(name), std::strerror(error));
}

// 0, or the errno of the write that failed.
int writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        if (n == 0) return EIO;
        bytes.remove_prefix(std::size_t(n));
    }
    return 0;
}

// 0, or the errno of a failed close; an earlier error wins.
int closeChecked(int fd, int error) {
    if (::close(fd) != 0 && error == 0) return errno;
    return error;
}

// The file a chain of symbolic links ends at (the name itself when it is no link).
std::filesystem::path followLinks(const std::filesystem::path& name) {
    std::filesystem::path path = name;
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        struct stat status {};
        if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return path;
        std::error_code error;
        const std::filesystem::path target = std::filesystem::read_symlink(path, error);
        if (error) fail(name, error.value());
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    fail(name, ELOOP);
}

std::filesystem::path temporaryPathFor(const std::filesystem::path& target) {
    // Process id and a counter keep concurrent writers (threads or worker
    // processes) apart; the leading dot keeps the file out of plain listings.
    static std::atomic<unsigned> counter{0};
    std::string name = ".";
    name += target.filename().string();
    name += '.';
    name += std::to_string(::getpid());
    name += '.';
    name += std::to_string(counter++);
    name += ".tmp";
    return target.parent_path() / name;
}

void writeThrough(const std::filesystem::path& name, const std::filesystem::path& file,
                  std::string_view bytes) {
    const int fd = ::open(file.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) fail(name, errno);
    if (const int error = closeChecked(fd, writeAll(fd, bytes))) fail(name, error);
}

// `existing`: the target's status when it is a regular file, else null.
void replaceFile(const std::filesystem::path& name, const std::filesystem::path& file,
                 std::string_view bytes, const struct stat* existing) {
    const std::filesystem::path temporary = temporaryPathFor(file);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) fail(name, errno);
    int error = writeAll(fd, bytes);
    if (error == 0 && existing && ::fchmod(fd, existing->st_mode & 07777) != 0) error = errno;
    if (error == 0 && ::fsync(fd) != 0) error = errno;
    error = closeChecked(fd, error);
    if (error == 0 && ::rename(temporary.c_str(), file.c_str()) != 0) error = errno;
    if (error != 0) {
        ::unlink(temporary.c_str());
        fail(name, error);
    }
}

} // namespace

OutputError::OutputError(std::string file, std::string reason)
    : std::runtime_error("cannot write " + file + ": " + reason), file_(std::move(file)),
      reason_(std::move(reason)) {}

void WriteOutput(const std::filesystem::path& name, std::string_view bytes) {
    if (name == kStandardOutput) {
        std::cout.flush(); // what was printed before goes first
        if (const int error = writeAll(STDOUT_FILENO, bytes)) fail(name, error);
        return;
    }
    const std::filesystem::path file = followLinks(name);
    struct stat status {};
    if (::stat(file.c_str(), &status) != 0) {
        if (errno != ENOENT) fail(name, errno);
        replaceFile(name, file, bytes, nullptr);
    } else if (S_ISDIR(status.st_mode)) {
        fail(name, EISDIR);
    } else if (S_ISREG(status.st_mode)) {
        replaceFile(name, file, bytes, &status);
    } else {
        writeThrough(name, file, bytes);
    }
}

void CloseStandardOutput() {
    std::cout.flush();
    const bool flushed = std::cout.good() && std::fflush(stdout) == 0;
    int error = flushed ? 0 : (errno ? errno : EIO);
    error = closeChecked(STDOUT_FILENO, error);
    if (error != 0 && error != EBADF) fail(kStandardOutput, error); // EBADF: never opened
}

} // namespace zones
