// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "evalia/quadrel_library.h"

#include <dlfcn.h>

namespace evalia {

namespace {

template <typename Function>
void Lookup(void* module, const char* name, Function& target, std::vector<std::string>& missing) {
    dlerror();
    void* symbol = dlsym(module, name);
    if (symbol == nullptr) {
        missing.emplace_back(name);
        return;
    }
    target = reinterpret_cast<Function>(symbol);
}

} // namespace

TQuadrelLibrary::TQuadrelLibrary(const std::vector<std::string>& candidates) {
    LoadFirst(candidates);
    if (module_ != nullptr) BindExports();
}

TQuadrelLibrary::~TQuadrelLibrary() {
    if (module_ != nullptr) dlclose(module_);
}

void TQuadrelLibrary::LoadFirst(const std::vector<std::string>& candidates) {
    std::string lastError;
    for (const std::string& candidate : candidates) {
        module_ = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (module_ != nullptr) {
            loadedFrom_ = candidate;
            return;
        }
        if (const char* why = dlerror()) lastError = why;
    }
    errorText_ = "The analysis library libquadrel.so could not be loaded";
    if (!lastError.empty()) errorText_ += " (" + lastError + ")";
    errorText_ += ". Processing is disabled.";
}

void TQuadrelLibrary::BindExports() {
    std::vector<std::string> missing;
    Lookup(module_, "LA_Init", exports_.LA_Init, missing);
    Lookup(module_, "LA_Done", exports_.LA_Done, missing);
    Lookup(module_, "LA_Execute", exports_.LA_Execute, missing);
    Lookup(module_, "LA_GetZonesCount", exports_.LA_GetZonesCount, missing);
    Lookup(module_, "LA_GetZoneRect", exports_.LA_GetZoneRect, missing);
    Lookup(module_, "LA_GetZoneContent", exports_.LA_GetZoneContent, missing);
    Lookup(module_, "LA_SetParameter", exports_.LA_SetParameter, missing);
    Lookup(module_, "LA_GetParameter", exports_.LA_GetParameter, missing);
    if (missing.empty()) {
        bound_ = true;
        return;
    }
    errorText_ = "The analysis library " + loadedFrom_ + " lacks the export";
    if (missing.size() > 1) errorText_ += "s";
    for (std::size_t i = 0; i < missing.size(); ++i)
        errorText_ += (i == 0 ? " " : ", ") + missing[i];
    errorText_ += ". Processing is disabled.";
    exports_ = QuadrelExports{};
}

std::vector<std::string> DefaultLibraryCandidates(const std::string& programDirectory) {
    std::vector<std::string> candidates;
    if (!programDirectory.empty()) {
        candidates.push_back(programDirectory + "/libquadrel.so.1");
        candidates.push_back(programDirectory + "/libquadrel.so");
    }
    candidates.emplace_back("libquadrel.so.1");
    candidates.emplace_back("libquadrel.so");
    return candidates;
}

} // namespace evalia
