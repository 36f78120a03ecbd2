// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "cli/pipe_setup.h"

#include "cli/analysis_catalogue.h"

#include <new>

namespace quadrel_cli {
namespace {

// The library's default pipe; the parameter values it sets with it are the
// catalogue's defaults.
const std::vector<std::int32_t> kDefaultPipe{LA_FUNCTION_LINES_AND_TABLES, LA_FUNCTION_INVERSE_TEXT,
                                             LA_FUNCTION_LINE_REMOVAL, LA_FUNCTION_TEXT_BLOCKS};

} // namespace

LibrarySetup librarySetupFrom(const Options& options) {
    LibrarySetup setup;
    setup.parameters = options.parameters;
    if (options.pipe)
        setup.pipe = options.pipe;
    else if (!options.parameters.empty())
        setup.pipe = kDefaultPipe;
    return setup;
}

AnalysisContext::AnalysisContext(const LibrarySetup& setup) {
    context_ = LA_Init("quadrel", "quadrel");
    if (!context_) throw std::bad_alloc();
    if (!setup.pipe) return;
    pipe_ = LA_CreatePipe(context_);
    if (!pipe_) {
        LA_Done(context_);
        throw std::bad_alloc();
    }
    for (std::int32_t code : *setup.pipe) LA_AddFunctionToPipe(pipe_, code);
    // A pipe of the caller's own gets no default values from the library.
    for (const ParameterInfo& p : tunableParameters())
        LA_SetParameter(context_, p.id, p.defaultValue);
    for (const ParameterSetting& p : setup.parameters) LA_SetParameter(context_, p.id, p.value);
}

AnalysisContext::~AnalysisContext() {
    LA_Done(context_);
    if (pipe_) LA_DestroyPipe(pipe_);
}

} // namespace quadrel_cli
