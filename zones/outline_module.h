// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The outlined-image writer as a module of its own, libquadrel_outline.so.
//
// Drawing the zone numbers needs Qt's GUI module (fonts), which the command
// line loads only when it is asked for an outlined image: it opens the module
// with dlopen and reaches it through the one entry point below. The module is
// built from the same sources in the same build as the program, so the entry
// point passes C++ types; a caller refuses a module of another version.
#pragma once

#include "imaging/dib_image.h"
#include "zones/outlined_image.h"
#include "zones/zone_source.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zones {

inline constexpr const char* kOutlineModuleFile = "libquadrel_outline.so";
inline constexpr const char* kOutlineModuleEntry = "quadrel_outline_module";

enum class OutlineStatus { Written, OutOfMemory, Failed };

struct OutlineModule {
    // The version the module was built as (the project's version).
    const char* version;
    // Makes the off-screen Qt application that drawing text needs (once,
    // before any worker process is forked, so that each inherits it), and
    // ends it; the caller ends it before the program returns from main.
    void (*startSession)();
    void (*endSession)();
    // outlinedImageTiff into `tiff` with every failure caught: OutOfMemory,
    // or Failed with FailureReason of what went wrong in `reason`. The caller
    // writes the bytes where they belong.
    OutlineStatus (*encode)(const imaging::TDIB& page, int divisor, const ZoneSource& zones,
                            ZoneLabels labels, std::vector<std::uint8_t>& tiff,
                            std::string& reason);
};

using OutlineModuleEntry = const OutlineModule* (*)();

} // namespace zones
