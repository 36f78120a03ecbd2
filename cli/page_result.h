// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// One page to analyse, and what its analysis gave.
#pragma once

#include "zones/layout_document.h"
#include "zones/zone_source.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace quadrel_cli {

struct PageTask {
    std::string file;
    int page = 0;                         // -1: the file's pages could not be counted
    std::filesystem::path xmlOutput;      // empty: none
    std::filesystem::path outlinedOutput; // empty: none
    std::filesystem::path pageXmlOutput;  // empty: none
    std::filesystem::path altoOutput;     // empty: none
    std::filesystem::path hocrOutput;     // empty: none
    std::filesystem::path deskewedOutput; // empty: none
    std::string error;                    // set: the task failed before analysis
};

struct PageResult {
    std::string file;
    int page = 0;
    std::string error; // empty: the page was analysed
    int width = 0;
    int height = 0;
    int xDpi = 0; // pixels per inch; 0: unknown
    int yDpi = 0;
    std::int32_t skew = 0;     // hundredths of a degree; 0 when not measured
    bool skewMeasured = false; // the pipe ran skew detection
    std::vector<zones::ZoneRecord> zones;

    bool ok() const { return error.empty(); }
};

// A result that only says why the task failed.
PageResult failedResult(const PageTask& task, std::string reason);

// An analysed page as the layout writers and the JSON report take it, and back.
zones::LayoutDocument layoutDocumentOf(const PageResult& result);
PageResult resultOf(const zones::LayoutDocument& document);

} // namespace quadrel_cli
