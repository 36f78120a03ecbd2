// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "tests/cli/quadrel_run.h"

#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <pty.h>
#include <sstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace clitest {
namespace {

std::string slurp(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::string scratchName(const char* suffix) {
    static int counter = 0;
    std::string name = "quadrel-run-";
    name += std::to_string(::getpid());
    name += '-';
    name += std::to_string(counter++);
    name += suffix;
    return (std::filesystem::temp_directory_path() / name).string();
}

// In the forked child: stdin from `inFile` when given, stdout (and stderr
// when `errFile` is given) to files, then the program.
[[noreturn]] void execQuadrel(const std::string& program, const std::vector<std::string>& args,
                              const std::string& outFile, const std::string* errFile,
                              const std::string& inFile = {}) {
    if (!inFile.empty()) ::dup2(::open(inFile.c_str(), O_RDONLY), STDIN_FILENO);
    ::dup2(::open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), STDOUT_FILENO);
    if (errFile)
        ::dup2(::open(errFile->c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), STDERR_FILENO);
    std::vector<std::string> argv{program};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> raw;
    for (std::string& a : argv) raw.push_back(a.data());
    raw.push_back(nullptr);
    ::execv(raw[0], raw.data());
    ::_exit(127);
}

int waitForExit(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

RunResult runQuadrel(const std::vector<std::string>& args, std::uint64_t addressSpaceLimit) {
    return runProgram(QUADREL_CLI_PATH, args, addressSpaceLimit);
}

RunResult runProgram(const std::string& program, const std::vector<std::string>& args,
                     std::uint64_t addressSpaceLimit) {
    const std::string outFile = scratchName(".out"), errFile = scratchName(".err");
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (addressSpaceLimit != 0) {
            const rlimit limit{rlim_t(addressSpaceLimit), rlim_t(addressSpaceLimit)};
            ::setrlimit(RLIMIT_AS, &limit);
        }
        execQuadrel(program, args, outFile, &errFile);
    }
    RunResult result;
    result.exitCode = waitForExit(pid);
    result.out = slurp(outFile);
    result.err = slurp(errFile);
    std::filesystem::remove(outFile);
    std::filesystem::remove(errFile);
    return result;
}

RunResult runQuadrelWithStreams(const std::vector<std::string>& args, const std::string& inFile,
                                const std::string& outFile) {
    const std::string captured = outFile.empty() ? scratchName(".out") : outFile;
    const std::string errFile = scratchName(".err");
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) execQuadrel(QUADREL_CLI_PATH, args, captured, &errFile, inFile);
    RunResult result;
    result.exitCode = waitForExit(pid);
    if (outFile.empty()) {
        result.out = slurp(captured);
        std::filesystem::remove(captured);
    }
    result.err = slurp(errFile);
    std::filesystem::remove(errFile);
    return result;
}

RunResult runQuadrelOnTerminal(const std::vector<std::string>& args) {
    const std::string outFile = scratchName(".out");
    std::fflush(nullptr);
    int terminal = -1;
    const pid_t pid = ::forkpty(&terminal, nullptr, nullptr, nullptr);
    if (pid == 0) execQuadrel(QUADREL_CLI_PATH, args, outFile, nullptr);
    RunResult result;
    char buffer[4096];
    // Read until the program has closed the terminal (EIO on Linux).
    for (ssize_t n; (n = ::read(terminal, buffer, sizeof buffer)) > 0;)
        result.err.append(buffer, std::size_t(n));
    ::close(terminal);
    result.exitCode = waitForExit(pid);
    result.out = slurp(outFile);
    std::filesystem::remove(outFile);
    return result;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

} // namespace clitest
