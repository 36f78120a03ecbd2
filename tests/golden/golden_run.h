// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Zone tables of whole pages as short text, for regression fixtures: the
// pages, the two pipes they are analysed with, and the text form.
#pragma once

#include "library/la_api.h"
#include "tests/support/test_page.h"

#include <optional>
#include <string>
#include <vector>

namespace golden {

enum class Pipe {
    kDefault, // no pipe installed: the library's own pipe and parameters
    kFull,    // codes 1, 2, 8, 4, 16, 32 with the default parameter values
};

// A page of the fixture set: "ccitt1" ... "ccitt8" and the generated pages.
struct PageCase {
    std::string name;
    // Null when the page cannot be made here (CCITT test data missing).
    std::optional<testsupport::TestPage> (*load)(const std::string& name);
};

const std::vector<PageCase>& pageCases();
const std::vector<Pipe>& pipes();

// "ccitt1.default.txt", "banner.full.txt", ...
std::string fixtureName(const std::string& page, Pipe pipe);

// A context set up with one pipe, reusable for several pages.
class Analysis {
  public:
    explicit Analysis(Pipe pipe);
    ~Analysis();
    Analysis(const Analysis&) = delete;
    Analysis& operator=(const Analysis&) = delete;

    // Runs the pipe on the page through the C interface and writes the
    // result: a first line "status S" (with " skew A" for the full pipe, A
    // the angle in hundredths of a degree), then one line
    // "left top right bottom content" per zone, in table order.
    std::string zoneTableText(const testsupport::TestPage& page);

  private:
    Pipe pipe_;
    LaContext* context_;
    LaPipe* ownPipe_ = nullptr;
};

// The same with a fresh context.
std::string zoneTableText(const testsupport::TestPage& page, Pipe pipe);

} // namespace golden
