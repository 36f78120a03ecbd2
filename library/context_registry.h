// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The contexts LA_Init has made and LA_Done has not yet released.
//
// A context handle is a plain pointer in the caller's hands; a caller may
// pass one again after LA_Done, or pass something that never was a context.
// Every export looks the handle up here first, so such a handle gets a status
// instead of a use after free or a double free.
#pragma once

#include "library/context.h"

#include <memory>

namespace quadrel {

// Makes a context and records it as live; the caller owns it until it hands
// it back through takeLiveContext. Null when memory runs out.
LaContext* makeLiveContext();

// Removes a live context from the registry and returns it for release; null
// when the registry does not know `context` (null, released, never made).
std::unique_ptr<LaContext> takeLiveContext(LaContext* context);

// True while `context` is a live context.
bool isLiveContext(const LaContext* context);

} // namespace quadrel
