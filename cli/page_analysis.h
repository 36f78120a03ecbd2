// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The analysis of one page, as the desktop utility's Process does it: the
// page's DIB handle goes to LA_Execute (the image keeps owning the block),
// the skew angle is read back, the page is straightened by it for the
// outlined image, and the zones are read and written out.
#pragma once

#include "cli/options.h"
#include "cli/outline_writer.h"
#include "cli/page_result.h"
#include "cli/pipe_setup.h"
#include "imaging/tiff_io.h"
#include "zones/outlined_image.h"

#include <string>

namespace quadrel_cli {

struct AnalysisSettings {
    LibrarySetup library;
    bool binarize = false;
    imaging::CcittPhotometric ccitt = imaging::CcittPhotometric::FaxConvention;
    zones::ZoneLabels labels = zones::ZoneLabels::Numbered;
    // Draws the outlined images; null when none is asked for.
    const OutlineWriter* outlines = nullptr;
};

AnalysisSettings analysisSettingsFrom(const Options& options, const OutlineWriter* outlines);

// Analyses task.page of task.file and writes the task's output files. Every
// failure (missing file, unreadable page, page that is not 1-bit, analysis
// status, unwritable output) comes back as the result's error.
PageResult analysePage(const PageTask& task, const AnalysisSettings& settings);

} // namespace quadrel_cli
