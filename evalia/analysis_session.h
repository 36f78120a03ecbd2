// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// One analysis context of the bound library, alive as long as its owner.
//
// Wraps the run-time binding: every call goes through the looked-up exports
// with the one context, and statuses are passed back for the caller to
// ignore or use. Without a bound library the session is inert: nothing can
// be processed and the zone table is empty.
#pragma once

#include "evalia/quadrel_library.h"
#include "zones/zone_source.h"

#include <cstdint>
#include <memory>

namespace evalia {

class TAnalysisSession {
  public:
    // Takes the binding and, when it is bound, creates the context.
    explicit TAnalysisSession(std::unique_ptr<TQuadrelLibrary> library);
    // Releases the context before the library is unloaded.
    ~TAnalysisSession();
    TAnalysisSession(const TAnalysisSession&) = delete;
    TAnalysisSession& operator=(const TAnalysisSession&) = delete;

    bool CanProcess() const { return context_ != nullptr; }
    // Why processing is not available; empty when it is.
    std::string UnavailableReason() const;

    std::int32_t Execute(LaDibHandle dib);
    // The skew angle of the last analysis in hundredths of a degree (0 when
    // none was measured or the library is missing).
    std::int32_t SkewAngle() const;
    // The zone accessors bound to this context; an empty source (no zones)
    // without a library.
    zones::ZoneSource Zones() const;

  private:
    std::unique_ptr<TQuadrelLibrary> library_;
    LaContext* context_ = nullptr;
};

} // namespace evalia
