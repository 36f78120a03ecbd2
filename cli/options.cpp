#include "cli/options.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <array>
#include <charconv>
#include <iostream>

#ifndef QUADREL_VERSION
#define QUADREL_VERSION "unknown"
#endif

namespace quadrel_cli {
namespace {

constexpr std::array<std::int32_t, 6> kFunctionCodes{1, 2, 4, 8, 16, 32};
constexpr std::size_t kPipeCapacity = 20;
// Parameter 500 carries the pipe itself and 600 is read only: neither is set by hand.
constexpr std::array<std::int32_t, 10> kTunableParameters{100, 101, 102, 200, 201,
                                                          202, 203, 300, 301, 400};

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::optional<std::int32_t> parseInt32(const std::string& text) {
    const std::string t = trimmed(text);
    std::int32_t value = 0;
    const char* end = t.data() + t.size();
    const auto [ptr, ec] =
        std::from_chars(t.data() + (t.size() > 1 && t[0] == '+' ? 1 : 0), end, value);
    if (t.empty() || ec != std::errc() || ptr != end) return std::nullopt;
    return value;
}

template <std::size_t N> bool contains(const std::array<std::int32_t, N>& values, std::int32_t v) {
    return std::find(values.begin(), values.end(), v) != values.end();
}

} // namespace

std::vector<std::int32_t> parsePipeCodes(const std::string& text) {
    std::vector<std::int32_t> codes;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        const std::string item = text.substr(start, comma - start);
        const std::optional<std::int32_t> code = parseInt32(item);
        if (!code || !contains(kFunctionCodes, *code))
            throw UsageError("--pipe: '" + trimmed(item) +
                             "' is not a function code (1, 2, 4, 8, 16 or 32)");
        codes.push_back(*code);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    if (codes.size() > kPipeCapacity)
        throw UsageError("--pipe: a pipe holds at most 20 function codes");
    return codes;
}

ParameterSetting parseParameterSetting(const std::string& text) {
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos)
        throw UsageError("--param: '" + text + "' is not of the form ID=VALUE");
    const std::optional<std::int32_t> id = parseInt32(text.substr(0, equals));
    if (!id || !contains(kTunableParameters, *id))
        throw UsageError("--param: '" + trimmed(text.substr(0, equals)) +
                         "' is not a parameter id (100, 101, 102, 200, 201, 202, 203, 300, "
                         "301 or 400)");
    const std::optional<std::int32_t> value = parseInt32(text.substr(equals + 1));
    if (!value)
        throw UsageError("--param: '" + trimmed(text.substr(equals + 1)) +
                         "' is not a 32-bit integer");
    return {*id, *value};
}

CommandLine parseCommandLine(int argc, char** argv) {
    CLI::App app{"Analyses the layout of 1-bit scanned TIFF pages and reports their zones.",
                 "quadrel"};
    app.set_version_flag("--version", std::string("quadrel ") + QUADREL_VERSION);
    Options options;
    std::string pipeText;
    std::vector<std::string> parameterTexts;
    app.add_option("FILE", options.files, "TIFF files to analyse")->required();
    auto* page = app.add_option("--page", options.page, "page to analyse, from 0 (default 0)")
                     ->check(CLI::NonNegativeNumber);
    app.add_flag("--all-pages", options.allPages, "analyse every page of every file")
        ->excludes(page);
    auto* pipe = app.add_option("--pipe", pipeText,
                                "comma-separated function codes to run, e.g. 1,2,8,4,16,32 "
                                "(default: the library's default pipe 2,8,4,32)");
    app.add_option("--param", parameterTexts, "set a parameter, e.g. 400=7 (repeatable)")
        ->allow_extra_args(false);
    app.add_option(
        "--xml", options.xmlPath,
        "write the XML layout file (a folder when several files or --all-pages are given)");
    app.add_option(
        "--outlined", options.outlinedPath,
        "write the half-size outlined TIFF (a folder when several files or --all-pages are given)");
    app.add_option("--page-xml", options.pageXmlPath,
                   "write the layout as PAGE XML 2019-07-15 (a folder when several pages)");
    app.add_option("--alto", options.altoPath,
                   "write the layout as ALTO 4.4 (a folder when several pages)");
    app.add_option("--hocr", options.hocrPath,
                   "write the layout as hOCR 1.2 XHTML (a folder when several pages)");
    app.add_option("--deskewed", options.deskewedPath,
                   "write the page the zones lie on, straightened by skew detection (code 1), "
                   "as a Group 4 TIFF (a folder when several pages)");
    app.add_flag("--json", options.json, "print one JSON document on stdout");
    app.add_option("--jobs", options.jobs, "worker processes analysing pages in parallel")
        ->check(CLI::Range(1, 256));
    app.add_flag("--binarize", options.binarize,
                 "turn grey and colour pages into 1-bit pages by a global Otsu threshold");
    app.add_flag("--quiet", options.quiet, "print no zone tables, summary or progress");
    try {
        app.parse(argc, argv);
        if (pipe->count() > 0) options.pipe = parsePipeCodes(pipeText);
        for (const std::string& text : parameterTexts)
            options.parameters.push_back(parseParameterSetting(text));
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e); // prints help, version or the error
        return {std::nullopt, code == 0 ? 0 : 2};
    } catch (const UsageError& e) {
        std::cerr << "quadrel: " << e.what() << "\nRun with --help for more information.\n";
        return {std::nullopt, 2};
    }
    return {std::move(options), 0};
}

} // namespace quadrel_cli
