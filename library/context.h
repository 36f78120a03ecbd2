// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The analysis context: what one caller keeps between calls. It owns the
// imported page, every function's input copy, output and status, the
// parameters, the zone table, and the default pipe it may have made. An
// input copy keeps its pixels only while its function runs, except that of
// text block segmentation, which the zone table measures text on.
//
// Every bitmap and list slot is empty until its function runs; a function
// that does not run keeps its slots from earlier runs, and their results are
// gathered into the zone table again.
#pragma once

#include "library/image/bitmap.h"
#include "library/la_api.h"
#include "library/pipe.h"
#include "library/records.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

struct LaContext {
    LaDibHandle dibHandle = nullptr; // stored, never read again

    std::unique_ptr<quadrel::LaBitmap> pageBitmap;

    // Code 1: skew detection and deskew.
    std::unique_ptr<quadrel::LaBitmap> skewInput;
    double skewAngle = 0.0; // degrees, from the last run of code 1
    std::int32_t skewStatus = 0;
    std::unique_ptr<quadrel::LaBitmap> skewOutput;

    // Code 2: line and table detection.
    std::unique_ptr<quadrel::LaBitmap> linesInput;
    std::int32_t param100 = 0;
    std::int32_t param101 = 0;
    std::int32_t param102 = 0;
    std::unique_ptr<quadrel::LaList<quadrel::LaRegionRecord>> linesList;
    std::int32_t linesStatus = 0;

    // Code 4: line removal.
    std::unique_ptr<quadrel::LaBitmap> removalInput;
    std::unique_ptr<quadrel::LaBitmap> removalOutput;
    std::int32_t param200 = 0;
    std::int32_t param201 = 0;
    std::int32_t param203 = 0;
    std::int32_t param202 = 0;
    std::int32_t removalStatus = 0;

    // Code 8: inverse text detection.
    std::unique_ptr<quadrel::LaBitmap> inverseInput;
    std::unique_ptr<quadrel::LaList<quadrel::LaRegionRecord>> inverseList;
    std::int32_t param300 = 0;
    std::int32_t param301 = 0;
    std::int32_t inverseStatus = 0;

    // Code 32: text block segmentation. Its input copy is also the bitmap on
    // which the zone post-processing measures text.
    std::unique_ptr<quadrel::LaBitmap> textInput;
    std::unique_ptr<quadrel::LaList<quadrel::LaTextBlock>> textList;
    std::int32_t textStatus = 0;

    // Code 16: picture detection. param400 is also the noise size of the zone table.
    std::unique_ptr<quadrel::LaBitmap> pictureInput;
    std::int32_t param400 = 5;
    std::unique_ptr<quadrel::LaList<quadrel::LaPictureRecord>> pictureList;
    std::int32_t pictureStatus = 0;

    // The bitmap the next function copies: pageBitmap, skewOutput or removalOutput.
    quadrel::LaBitmap* currentBitmap = nullptr;

    // The installed pipe, by its number in the pipe table (0: none). It may be
    // the caller's or the context's own; a number whose pipe has been
    // destroyed counts as no pipe.
    quadrel::PipeNumber pipe = 0;

    std::vector<quadrel::LaZone> zones; // the public zone table

    // The default pipe this context made itself. Only this one is destroyed
    // with the context; a pipe the caller installs stays the caller's, and
    // installing it does not make the context forget its own.
    quadrel::OwnedPipe ownPipe;
    std::int32_t pipeOwned = 0; // 1 once ownPipe holds the default pipe

    std::int32_t skewValid = 0; // 1 once code 1 has run; never cleared
};

namespace quadrel {

// The codes of the default pipe, in running order: lines and tables, inverse
// text, line removal, text blocks.
inline constexpr std::int32_t kDefaultPipeCodes[] = {
    LA_FUNCTION_LINES_AND_TABLES, LA_FUNCTION_INVERSE_TEXT, LA_FUNCTION_LINE_REMOVAL,
    LA_FUNCTION_TEXT_BLOCKS};

// The pipe to run now. When the context has no live pipe it installs its
// default pipe, making it on first need, and sets the default parameters
// (overwriting the caller's). nullopt when the default pipe cannot be made.
std::optional<LaPipe> pipeForRun(LaContext& context);

} // namespace quadrel
