// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "cli/options.h"

#include "cli/analysis_catalogue.h"
#include "cli/exit_status.h"
#include "cli/help_text.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <charconv>
#include <iostream>

#include "quadrel/version.h"

namespace quadrel_cli {
namespace {

constexpr std::size_t kPipeCapacity = 20;

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

std::string parameterIds() {
    std::string ids;
    for (const ParameterInfo& p : tunableParameters())
        ids += (ids.empty() ? "" : ", ") + std::to_string(p.id);
    return ids;
}

// Standard input feeds one file, and standard output carries one thing.
void requireOneUseOfEachStream(const Options& options) {
    if (std::count(options.files.begin(), options.files.end(), "-") > 1)
        throw UsageError("standard input (-) can be read only once");
    const std::vector<std::string> outputs = options.outputPaths();
    const int onStdout = int(options.json) + int(std::count(outputs.begin(), outputs.end(), "-"));
    if (onStdout > 1)
        throw UsageError("only one of --json and the outputs given as - can write to standard "
                         "output");
}

} // namespace

std::vector<std::int32_t> parsePipeCodes(const std::string& text) {
    std::vector<std::int32_t> codes;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        const std::string item = text.substr(start, comma - start);
        const std::optional<std::int32_t> code = parseInt32(item);
        if (!code || !findFunction(*code))
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
    const ParameterInfo* info = id ? findParameter(*id) : nullptr;
    if (!info)
        throw UsageError("--param: '" + trimmed(text.substr(0, equals)) +
                         "' is not a parameter id (" + parameterIds() + ")");
    const std::optional<std::int32_t> value = parseInt32(text.substr(equals + 1));
    if (!value)
        throw UsageError("--param: '" + trimmed(text.substr(equals + 1)) +
                         "' is not a 32-bit integer");
    if (*value < info->min || *value > info->max)
        throw UsageError("--param " + std::to_string(*id) + "=" + std::to_string(*value) +
                         ": out of range; parameter " + std::to_string(*id) + " (" + info->meaning +
                         ") takes " + std::to_string(info->min) + " to " +
                         std::to_string(info->max) + " " + info->unit);
    return {*id, *value};
}

CommandLine parseCommandLine(int argc, char** argv) {
    CLI::App app{"Analyses the layout of scanned pages (TIFF, PNG, PBM, PGM, PPM) and reports "
                 "their zones.",
                 "quadrel"};
    app.set_version_flag("--version", std::string("quadrel ") + QUADREL_VERSION);
    app.footer(helpFooter());
    Options options;
    int page = 0;
    bool allPages = false;
    bool noLabels = false;
    std::string pipeText;
    std::vector<std::string> parameterTexts;
    app.add_option("FILE", options.files, "pages to analyse; - reads standard input")->required();
    auto* pageOption =
        app.add_option("--page", page, "analyse only page N (from 0); default: every page")
            ->check(CLI::NonNegativeNumber);
    app.add_flag("--all-pages", allPages, "analyse every page of every file (the default)")
        ->excludes(pageOption);
    auto* pipe = app.add_option("--pipe", pipeText,
                                "comma-separated function codes to run, e.g. 1,2,8,4,16,32 "
                                "(default: the library's default pipe 2,8,4,32)");
    app.add_option("--param", parameterTexts, "set a parameter, e.g. 400=7 (repeatable)")
        ->allow_extra_args(false);
    // Each output names a file for one page, a folder when several pages are
    // analysed, and "-" for standard output.
    struct Output {
        const char* name;
        const char* what;
        std::string* path;
    };
    const Output outputs[] = {
        {"--xml", "write the XML layout file", &options.xmlPath},
        {"--outlined", "write the half-size outlined TIFF", &options.outlinedPath},
        {"--page-xml", "write the layout as PAGE XML 2019-07-15", &options.pageXmlPath},
        {"--alto", "write the layout as ALTO 4.4", &options.altoPath},
        {"--hocr", "write the layout as hOCR 1.2 XHTML", &options.hocrPath},
        {"--deskewed",
         "write the page the zones lie on, straightened by skew detection (code 1), as a "
         "Group 4 TIFF",
         &options.deskewedPath},
    };
    for (const Output& output : outputs)
        app.add_option(output.name, *output.path,
                       std::string(output.what) +
                           " (a folder when several pages are analysed; - for standard output)");
    app.add_flag("--no-labels", noLabels, "leave the zone numbers out of the outlined image");
    app.add_flag("--json", options.json, "print one JSON document on stdout");
    app.add_option("--jobs", options.jobs, "worker processes analysing pages in parallel")
        ->check(CLI::Range(1, 256));
    app.add_flag("--binarize", options.binarize,
                 "turn grey and colour pages into 1-bit pages by a global Otsu threshold");
    app.add_flag("--photometric-as-written", options.photometricAsWritten,
                 "read Group 3/4 TIFF pages as their photometric tag says (default: "
                 "white-is-zero, as fax software writes them)");
    app.add_flag("--quiet", options.quiet, "print no zone tables, summary or progress");
    try {
        app.parse(argc, argv);
        if (pageOption->count() > 0) options.page = page;
        options.labels = !noLabels;
        if (pipe->count() > 0) options.pipe = parsePipeCodes(pipeText);
        for (const std::string& text : parameterTexts)
            options.parameters.push_back(parseParameterSetting(text));
        requireOneUseOfEachStream(options);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e); // prints help, version or the error
        return {std::nullopt, code == 0 ? kExitAllAnalysed : kExitBadUsage};
    } catch (const UsageError& e) {
        std::cerr << "quadrel: " << e.what() << "\nRun with --help for more information.\n";
        return {std::nullopt, kExitBadUsage};
    }
    return {std::move(options), kExitAllAnalysed};
}

} // namespace quadrel_cli
