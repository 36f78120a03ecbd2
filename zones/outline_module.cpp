// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The entry point of libquadrel_outline.so (see outline_module.h).
#include "zones/outline_module.h"
#include "quadrel/version.h"

#include "zones/failure_reason.h"
#include "zones/gui_session.h"

#include <new>
#include <optional>

namespace {

// Ended by the caller rather than at exit: Qt objects must not outlive main.
std::optional<zones::GuiSession> gSession;

void startSession() {
    if (!gSession) gSession.emplace();
}

void endSession() {
    gSession.reset();
}

zones::OutlineStatus encode(const imaging::TDIB& page, int divisor, const zones::ZoneSource& zones,
                            zones::ZoneLabels labels, std::vector<std::uint8_t>& tiff,
                            std::string& reason) {
    try {
        tiff = zones::outlinedImageTiff(page, divisor, zones, {}, labels);
        return zones::OutlineStatus::Written;
    } catch (const std::bad_alloc&) {
        return zones::OutlineStatus::OutOfMemory;
    } catch (const std::exception& e) {
        reason = zones::FailureReason(e);
        return zones::OutlineStatus::Failed;
    }
}

constexpr zones::OutlineModule kModule{QUADREL_VERSION, startSession, endSession, encode};

} // namespace

extern "C" __attribute__((visibility("default"))) const zones::OutlineModule*
quadrel_outline_module() {
    return &kModule;
}
