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
    std::vector<std::string> files;
    int page = 0;
    bool allPages = false;
    // Function codes of a pipe of the caller's own; none: the library's default pipe.
    std::optional<std::vector<std::int32_t>> pipe;
    std::vector<ParameterSetting> parameters; // in command-line order; the last one wins
    std::string xmlPath;                      // empty: no XML file
    std::string outlinedPath;                 // empty: no outlined image
    std::string pageXmlPath;                  // empty: no PAGE XML file
    std::string altoPath;                     // empty: no ALTO file
    std::string hocrPath;                     // empty: no hOCR file
    std::string deskewedPath;                 // empty: no straightened page
    bool json = false;
    bool binarize = false;
    bool quiet = false;
    int jobs = 1;

    // Several pages may be analysed: the output options then name folders.
    bool outputsAreFolders() const { return files.size() > 1 || allPages; }
    // Every output option's path, empty ones included.
    std::vector<std::string> outputPaths() const {
        return {xmlPath, outlinedPath, pageXmlPath, altoPath, hocrPath, deskewedPath};
    }
};

// A command line that cannot be used; the message says why.
class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// "1,2,8,4,16,32": analysis function codes, at most 20 of them.
std::vector<std::int32_t> parsePipeCodes(const std::string& text);

// "400=7": a tunable parameter id and its value.
ParameterSetting parseParameterSetting(const std::string& text);

struct CommandLine {
    std::optional<Options> options; // none: nothing to analyse, exit with exitCode
    int exitCode = 0;
};

// Parses argv. --help and --version print to stdout and give exit code 0;
// a bad command line prints the reason to stderr and gives exit code 2.
CommandLine parseCommandLine(int argc, char** argv);

} // namespace quadrel_cli
