// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "tests/library/fake_analysis.h"

#include <new>

namespace testsupport {

namespace {

using namespace quadrel;

FakeResults gResults;

std::int32_t finish(FakeCall call) {
    const bool outOfMemory = gResults.throwOutOfMemory || call.code == gResults.outOfMemoryCode;
    gResults.calls.push_back(std::move(call));
    if (outOfMemory) throw std::bad_alloc();
    return gResults.status;
}

// A copy one column wider: marks the output of codes 1 and 4.
void widerCopy(const LaBitmap& input, LaBitmap& output) {
    bitmapAllocate(output, input.height, input.width + 1, rowLengthForWidth(input.width + 1),
                   input.blackIsZero);
}

std::int32_t skew(const LaBitmap& input, LaBitmap& output, double* angle) {
    widerCopy(input, output);
    *angle = gResults.skewAngle;
    return finish({1, {}, input.height, nullptr, &input, input.buffer});
}

std::int32_t lines(const LaBitmap& input, LaList<LaRegionRecord>& output, std::int32_t a,
                   std::int32_t b, std::int32_t c, std::int32_t d) {
    output = gResults.lines;
    return finish({2, {a, b, c, d}, input.height, nullptr, &input, input.buffer});
}

std::int32_t removal(const LaBitmap& input, LaBitmap& output, std::int32_t a, std::int32_t b,
                     std::int32_t c, std::int32_t d, std::int32_t e) {
    widerCopy(input, output);
    return finish({4, {a, b, c, d, e}, input.height, nullptr, &input, input.buffer});
}

std::int32_t inverse(const LaBitmap& input, LaList<LaRegionRecord>& output, std::int32_t a,
                     std::int32_t b) {
    output = gResults.inverse;
    return finish({8, {a, b}, input.height, nullptr, &input, input.buffer});
}

std::int32_t pictures(const LaBitmap& input, std::int32_t a, LaList<LaPictureRecord>& output) {
    output = gResults.pictures;
    return finish({16, {a}, input.height, nullptr, &input, input.buffer});
}

std::int32_t blocks(const LaBitmap& input, const LaList<LaRegionRecord>* lineList,
                    LaList<LaTextBlock>& output, std::int32_t a) {
    output = gResults.blocks;
    return finish({32, {a}, input.height, lineList, &input, input.buffer});
}

const AnalysisTable kFakes{skew, lines, removal, inverse, pictures, blocks};

} // namespace

FakeAnalysis::FakeAnalysis() {
    gResults = FakeResults{};
    setAnalysisTableForTesting(&kFakes);
}

FakeAnalysis::~FakeAnalysis() {
    setAnalysisTableForTesting(nullptr);
}

FakeResults& FakeAnalysis::results() {
    return gResults;
}

std::vector<std::int32_t> FakeAnalysis::calledCodes() const {
    std::vector<std::int32_t> codes;
    for (const FakeCall& call : gResults.calls) codes.push_back(call.code);
    return codes;
}

} // namespace testsupport
