// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Command-line options of the quadrel program.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace quadrel_cli {

struct ParameterSetting {
    std::int32_t id = 0;
    std::int32_t value = 0;
};

struct Options {
    std::vector<std::string> files; // "-": standard input
    std::optional<int> page;        // none: every page of each file
    // Function codes of a pipe of the caller's own; none: the library's default pipe.
    std::optional<std::vector<std::int32_t>> pipe;
    std::vector<ParameterSetting> parameters; // in command-line order; the last one wins
    std::string xmlPath;                      // empty: no XML file; "-": standard output
    std::string outlinedPath;                 // empty: no outlined image; "-": standard output
    std::string pageXmlPath;                  // empty: no PAGE XML file; "-": standard output
    std::string altoPath;                     // empty: no ALTO file; "-": standard output
    std::string hocrPath;                     // empty: no hOCR file; "-": standard output
    std::string deskewedPath;                 // empty: no straightened page; "-": standard output
    bool json = false;
    bool binarize = false;
    bool photometricAsWritten = false; // CCITT pages read as their photometric tag says
    bool labels = true;                // zone numbers in the outlined image
    bool quiet = false;
    int jobs = 1;

    // Every output option's path, empty ones included.
    std::vector<std::string> outputPaths() const {
        return {xmlPath, outlinedPath, pageXmlPath, altoPath, hocrPath, deskewedPath};
    }
    // An output option names standard output.
    bool outputOnStdout() const {
        for (const std::string& path : outputPaths())
            if (path == "-") return true;
        return false;
    }
};

// A command line that cannot be used; the message says why.
class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// "1,2,8,4,16,32": analysis function codes, at most 20 of them.
std::vector<std::int32_t> parsePipeCodes(const std::string& text);

// "400=7": a tunable parameter id and a value within its range.
ParameterSetting parseParameterSetting(const std::string& text);

struct CommandLine {
    std::optional<Options> options; // none: nothing to analyse, exit with exitCode
    int exitCode = 0;
};

// Parses argv. --help and --version print to stdout and give exit code 0;
// a bad command line prints the reason to stderr and gives exit code 2.
CommandLine parseCommandLine(int argc, char** argv);

} // namespace quadrel_cli
