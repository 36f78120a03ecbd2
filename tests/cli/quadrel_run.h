// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Runs the built quadrel program and captures what it says.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace clitest {

struct RunResult {
    int exitCode = -1; // -1: did not exit normally
    std::string out;
    std::string err;
};

// `addressSpaceLimit`, in bytes, caps the program's address space (0: no cap).
RunResult runQuadrel(const std::vector<std::string>& args, std::uint64_t addressSpaceLimit = 0);
// The same for a copy of the program elsewhere.
RunResult runProgram(const std::string& program, const std::vector<std::string>& args,
                     std::uint64_t addressSpaceLimit = 0);

// The same with standard input read from `inFile` (nothing when empty) and
// standard output written to `outFile` (captured when empty; `out` is then
// left empty otherwise).
RunResult runQuadrelWithStreams(const std::vector<std::string>& args, const std::string& inFile,
                                const std::string& outFile);

// The same with stderr on a pseudo-terminal (stdout still captured apart);
// `err` is what the terminal received.
RunResult runQuadrelOnTerminal(const std::vector<std::string>& args);

// Lines of `text` without their line ends.
std::vector<std::string> linesOf(const std::string& text);

} // namespace clitest
