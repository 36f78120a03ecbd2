// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "library/context.h"

#include "library/parameters.h"

namespace quadrel {

namespace {

// Makes the context's own default pipe. False when memory runs out.
bool makeDefaultPipe(LaContext& context) {
    const std::optional<CreatedPipe> created = createPipe();
    if (!created) return false;
    context.ownPipe = OwnedPipe(created->number);
    context.pipeOwned = 1;
    for (const std::int32_t code : kDefaultPipeCodes) appendFunctionCode(*created->pipe, code);
    return true;
}

} // namespace

std::optional<LaPipe> pipeForRun(LaContext& context) {
    if (std::optional<LaPipe> installed = pipeSnapshot(context.pipe)) return installed;
    // No live pipe: install the default pipe. A context that made one before
    // (and has since had another pipe installed, or none) goes back to it
    // instead of making a second one, so its own pipe is never lost.
    if (!pipeExists(context.ownPipe.number()) && !makeDefaultPipe(context)) {
        context.pipe = 0;
        return std::nullopt;
    }
    context.pipe = context.ownPipe.number();
    setDefaultPipeParameters(context);
    return pipeSnapshot(context.pipe);
}

} // namespace quadrel
