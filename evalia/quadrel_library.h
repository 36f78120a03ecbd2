// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The analysis library bound at run time.
//
// Evalia does not link libquadrel: it loads it with dlopen when the main
// window is created, looks up the eight exports it calls by name, and keeps
// the library loaded until the window is destroyed. When the library or one
// of the exports is missing, the binding is left unbound with a message that
// names what is missing, so the window can open with processing disabled.
#pragma once

#include "library/la_api.h"

#include <string>
#include <vector>

namespace evalia {

struct QuadrelExports {
    decltype(&::LA_Init) LA_Init = nullptr;
    decltype(&::LA_Done) LA_Done = nullptr;
    decltype(&::LA_Execute) LA_Execute = nullptr;
    decltype(&::LA_GetZonesCount) LA_GetZonesCount = nullptr;
    decltype(&::LA_GetZoneRect) LA_GetZoneRect = nullptr;
    decltype(&::LA_GetZoneContent) LA_GetZoneContent = nullptr;
    decltype(&::LA_SetParameter) LA_SetParameter = nullptr;
    decltype(&::LA_GetParameter) LA_GetParameter = nullptr;
};

class TQuadrelLibrary {
  public:
    // Tries each candidate in order (a path, or a bare name for the dynamic
    // loader's usual search) and binds the first one that loads.
    explicit TQuadrelLibrary(const std::vector<std::string>& candidates);
    ~TQuadrelLibrary();
    TQuadrelLibrary(const TQuadrelLibrary&) = delete;
    TQuadrelLibrary& operator=(const TQuadrelLibrary&) = delete;

    // The library is loaded and all eight exports were found.
    bool IsBound() const { return bound_; }
    // Why the binding failed; empty when bound.
    const std::string& ErrorText() const { return errorText_; }
    // The file that was loaded; empty when none.
    const std::string& LoadedFrom() const { return loadedFrom_; }
    const QuadrelExports& Exports() const { return exports_; }

  private:
    void LoadFirst(const std::vector<std::string>& candidates);
    void BindExports();

    void* module_ = nullptr;
    bool bound_ = false;
    std::string errorText_;
    std::string loadedFrom_;
    QuadrelExports exports_;
};

// Where Evalia looks for the library: next to the program first, then the
// dynamic loader's usual search.
std::vector<std::string> DefaultLibraryCandidates(const std::string& programDirectory);

} // namespace evalia
