// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The one way the programs write an output (XML layout file, outlined image,
// JSON report, ...): a name on the command line or in a dialog becomes
// bytes in the right place, or a failure that names the file and the
// operating system's reason.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

namespace zones {

// The output name that means standard output.
inline constexpr std::string_view kStandardOutput = "-";

// "cannot write <file>: <reason>", <reason> being strerror's text.
class OutputError : public std::runtime_error {
  public:
    OutputError(std::string file, std::string reason);
    const std::string& file() const { return file_; }     // as given; "standard output" for "-"
    const std::string& reason() const { return reason_; } // the system's message

  private:
    std::string file_;
    std::string reason_;
};

// Writes `bytes` to the output `name`:
//  - "-": standard output;
//  - a symbolic link: followed (through links of links) to the file it
//    names, which is then written as below, so the link stays a link;
//  - a FIFO, a device or another file that is not a regular file: opened
//    and written through, never replaced;
//  - a regular file or a new name: written under a temporary name in the
//    same folder, synced, then renamed over the target, so a failure never
//    leaves a half-written file; an existing file keeps its permissions.
// Every write, sync and close is checked; throws OutputError on failure.
void WriteOutput(const std::filesystem::path& name, std::string_view bytes);

// Flushes what the C and C++ streams still hold for standard output and
// closes it, so that a late failure (a full disk, a broken pipe) is seen.
// Throws OutputError for "standard output".
void CloseStandardOutput();

} // namespace zones
