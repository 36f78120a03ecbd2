// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "library/dispatcher.h"

#include "library/la_api.h"

#include <memory>
#include <new>
#include <utility>
#include <vector>

namespace quadrel {

namespace {

const AnalysisTable kAnalysisFunctions{};
const AnalysisTable* gAnalysisTable = &kAnalysisFunctions;

// Page row of a bitmap row, computed wide so that no record value can overflow.
std::int32_t pageRow(std::int32_t height, std::int32_t y) {
    return std::int32_t(std::int64_t(height) - 1 - std::int64_t(y));
}

template <class Record, class Field>
void convertRows(LaList<Record>& list, std::int32_t height, Field Record::*first,
                 Field Record::*second) {
    for (Record& record : list) {
        record.*first = pageRow(height, record.*first);
        record.*second = pageRow(height, record.*second);
    }
}

// A fresh copy of the bitmap the next function works on.
std::unique_ptr<LaBitmap> copyOfCurrent(const LaContext& context) {
    auto copy = std::make_unique<LaBitmap>();
    if (context.currentBitmap) {
        if (bitmapCopy(*context.currentBitmap, *copy) != LA_STATUS_OK) return nullptr;
    } else {
        bitmapReset(*copy);
    }
    return copy;
}

// The input of a function that replaces the imported page as the current
// bitmap: the page's own pixels, since nothing reads the page after it.
// That spares a copy of the page while the function runs.
std::unique_ptr<LaBitmap> takePage(LaContext& context) {
    auto input = std::make_unique<LaBitmap>(std::move(*context.pageBitmap));
    context.pageBitmap->bufferSize = 0;
    context.pageBitmap->firstRow = nullptr;
    return input;
}

bool takesPage(const LaContext& context, std::int32_t code) {
    const bool replacesCurrent = code == LA_FUNCTION_SKEW || code == LA_FUNCTION_LINE_REMOVAL;
    return replacesCurrent && context.pageBitmap &&
           context.currentBitmap == context.pageBitmap.get();
}

// A function's input copy is not read once the function has returned: its
// pixels go at once (a page each), its size and polarity stay.
void releasePixels(LaBitmap& input) {
    input.buffer = std::vector<std::uint8_t>();
    input.bufferSize = 0;
    input.firstRow = nullptr;
}

// Calls a function, turning an allocation failure inside it into its status 1:
// like any failing function it does not stop the run.
template <class Call> std::int32_t callFunction(Call&& call) {
    try {
        return call();
    } catch (const std::bad_alloc&) {
        return LA_STATUS_OUT_OF_MEMORY;
    }
}

void runSkew(LaContext& c, std::unique_ptr<LaBitmap>& input) {
    auto output = std::make_unique<LaBitmap>();
    c.skewInput = std::move(input);
    c.skewOutput = std::move(output);
    // The deskewed page becomes current whatever the function returns; set
    // at once so that the context never points at the released old output.
    c.currentBitmap = c.skewOutput.get();
    c.skewStatus = callFunction(
        [&] { return gAnalysisTable->skew(*c.skewInput, *c.skewOutput, &c.skewAngle); });
    c.skewValid = 1;
    releasePixels(*c.skewInput);
}

void runLinesAndTables(LaContext& c, std::unique_ptr<LaBitmap>& input) {
    auto output = std::make_unique<LaList<LaRegionRecord>>();
    c.linesInput = std::move(input);
    c.linesList = std::move(output);
    c.linesStatus = callFunction([&] {
        return gAnalysisTable->linesAndTables(*c.linesInput, *c.linesList, c.param100, c.param101,
                                              c.param102, 0);
    });
    convertRows(*c.linesList, c.linesInput->height, &LaRegionRecord::yMin, &LaRegionRecord::yMax);
    releasePixels(*c.linesInput);
}

void runLineRemoval(LaContext& c, std::unique_ptr<LaBitmap>& input) {
    auto output = std::make_unique<LaBitmap>();
    c.removalInput = std::move(input);
    c.removalOutput = std::move(output);
    c.currentBitmap = c.removalOutput.get();
    c.removalStatus = callFunction([&] {
        return gAnalysisTable->lineRemoval(*c.removalInput, *c.removalOutput, c.param200,
                                           c.param203, c.param201, c.param202, 0);
    });
    releasePixels(*c.removalInput);
}

void runInverseText(LaContext& c, std::unique_ptr<LaBitmap>& input) {
    auto output = std::make_unique<LaList<LaRegionRecord>>();
    c.inverseInput = std::move(input);
    c.inverseList = std::move(output);
    c.inverseStatus = callFunction([&] {
        return gAnalysisTable->inverseText(*c.inverseInput, *c.inverseList, c.param300, c.param301);
    });
    convertRows(*c.inverseList, c.inverseInput->height, &LaRegionRecord::yMin,
                &LaRegionRecord::yMax);
    releasePixels(*c.inverseInput);
}

void runPictures(LaContext& c, std::unique_ptr<LaBitmap>& input) {
    auto output = std::make_unique<LaList<LaPictureRecord>>();
    c.pictureInput = std::move(input);
    c.pictureList = std::move(output);
    c.pictureStatus = callFunction(
        [&] { return gAnalysisTable->pictures(*c.pictureInput, c.param400, *c.pictureList); });
    convertRows(*c.pictureList, c.pictureInput->height, &LaPictureRecord::yMin,
                &LaPictureRecord::yMax);
    releasePixels(*c.pictureInput);
}

void runTextBlocks(LaContext& c, std::unique_ptr<LaBitmap>& input) {
    auto output = std::make_unique<LaList<LaTextBlock>>();
    c.textInput = std::move(input);
    c.textList = std::move(output);
    // The line list the context holds now: this run's code 2 if it ran
    // before, else one left by an earlier run, else none.
    c.textStatus = callFunction([&] {
        return gAnalysisTable->textBlocks(*c.textInput, c.linesList.get(), *c.textList, 0);
    });
    convertRows(*c.textList, c.textInput->height, &LaTextBlock::yMin, &LaTextBlock::yMax);
}

// A runner takes the input only once the function's empty output is made.
using Runner = void (*)(LaContext&, std::unique_ptr<LaBitmap>&);

// The runner of a function code; null for a code that names no function.
Runner runnerFor(std::int32_t code) {
    switch (code) {
    case LA_FUNCTION_SKEW:
        return runSkew;
    case LA_FUNCTION_LINES_AND_TABLES:
        return runLinesAndTables;
    case LA_FUNCTION_LINE_REMOVAL:
        return runLineRemoval;
    case LA_FUNCTION_INVERSE_TEXT:
        return runInverseText;
    case LA_FUNCTION_PICTURES:
        return runPictures;
    case LA_FUNCTION_TEXT_BLOCKS:
        return runTextBlocks;
    default:
        return nullptr;
    }
}

} // namespace

void setAnalysisTableForTesting(const AnalysisTable* table) {
    gAnalysisTable = table ? table : &kAnalysisFunctions;
}

std::int32_t runFunctionCode(LaContext& context, std::int32_t code) {
    const Runner run = runnerFor(code);
    if (!run) return LA_STATUS_OK;
    // The copy is made before any slot is released: the current bitmap may be
    // the very output this function is about to replace.
    const bool pageTaken = takesPage(context, code);
    std::unique_ptr<LaBitmap> input;
    try {
        input = pageTaken ? takePage(context) : copyOfCurrent(context);
    } catch (const std::bad_alloc&) {
        return LA_STATUS_OUT_OF_MEMORY;
    }
    if (!input) return LA_STATUS_OUT_OF_MEMORY;
    try {
        run(context, input);
    } catch (const std::bad_alloc&) {
        // The empty output could not be made; the page stays current.
        if (pageTaken && input) *context.pageBitmap = std::move(*input);
        return LA_STATUS_OUT_OF_MEMORY;
    }
    return LA_STATUS_OK;
}

std::int32_t functionStatus(const LaContext& context, std::int32_t code) {
    switch (code) {
    case LA_FUNCTION_SKEW:
        return context.skewStatus;
    case LA_FUNCTION_LINES_AND_TABLES:
        return context.linesStatus;
    case LA_FUNCTION_LINE_REMOVAL:
        return context.removalStatus;
    case LA_FUNCTION_INVERSE_TEXT:
        return context.inverseStatus;
    case LA_FUNCTION_PICTURES:
        return context.pictureStatus;
    case LA_FUNCTION_TEXT_BLOCKS:
        return context.textStatus;
    default:
        return LA_STATUS_OK;
    }
}

} // namespace quadrel
