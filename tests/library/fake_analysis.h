// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Stand-in analysis functions for tests of the pipe, the dispatcher and the
// zone table: each logs its call and returns records the test chose.
#pragma once

#include "library/dispatcher.h"

#include <cstdint>
#include <vector>

namespace testsupport {

struct FakeCall {
    std::int32_t code;
    std::vector<std::int32_t> parameters;
    std::int32_t inputHeight;
    const void* lines; // code 32: the line list it was given
    const quadrel::LaBitmap* input = nullptr;
    std::vector<std::uint8_t> inputPixels; // the input's buffer during the call
};

// What the stand-ins return; reset by each FakeAnalysis.
struct FakeResults {
    double skewAngle = 0.0;
    std::int32_t status = 0;          // returned by every stand-in
    bool throwOutOfMemory = false;    // every stand-in throws std::bad_alloc
    std::int32_t outOfMemoryCode = 0; // only the stand-in of this code throws
    std::vector<quadrel::LaRegionRecord> lines;
    std::vector<quadrel::LaRegionRecord> inverse;
    std::vector<quadrel::LaPictureRecord> pictures;
    std::vector<quadrel::LaTextBlock> blocks;
    std::vector<FakeCall> calls;
};

// Installs the stand-ins for its lifetime. Codes 1 and 4 give a copy of their
// input one column wider, so a test can follow which bitmap was current.
class FakeAnalysis {
  public:
    FakeAnalysis();
    ~FakeAnalysis();
    FakeAnalysis(const FakeAnalysis&) = delete;
    FakeAnalysis& operator=(const FakeAnalysis&) = delete;

    FakeResults& results();
    std::vector<std::int32_t> calledCodes() const;
};

} // namespace testsupport
