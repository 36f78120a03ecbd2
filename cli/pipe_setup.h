// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The analysis context of one page: made, configured and released together.
#pragma once

#include "cli/options.h"
#include "library/la_api.h"

#include <optional>
#include <vector>

namespace quadrel_cli {

// How every page is analysed.
struct LibrarySetup {
    // Function codes of the pipe to install; none: the library makes its
    // default pipe (codes 2, 8, 4, 32 with their default parameters) itself.
    std::optional<std::vector<std::int32_t>> pipe;
    // Parameter settings applied after the default values.
    std::vector<ParameterSetting> parameters;
};

// --pipe, or --param alone (the library would overwrite parameters set before
// it makes its default pipe, so the same pipe is built here instead).
LibrarySetup librarySetupFrom(const Options& options);

// An analysis context with its pipe, released together.
class AnalysisContext {
  public:
    // Throws std::bad_alloc when the library cannot make the context or pipe.
    explicit AnalysisContext(const LibrarySetup& setup);
    ~AnalysisContext();
    AnalysisContext(const AnalysisContext&) = delete;
    AnalysisContext& operator=(const AnalysisContext&) = delete;

    LaContext* get() const { return context_; }

  private:
    LaContext* context_ = nullptr;
    LaPipe* pipe_ = nullptr; // a pipe of our own; the context does not release it
};

} // namespace quadrel_cli
