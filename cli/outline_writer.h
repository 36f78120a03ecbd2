// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The outlined image for the command line, drawn by libquadrel_outline.so.
// The module (and with it Qt) is loaded only when an outlined image is asked
// for, so plain analyses start without Qt.
#pragma once

#include "imaging/dib_image.h"
#include "zones/outline_module.h"
#include "zones/zone_source.h"

#include <cstdint>
#include <vector>

namespace quadrel_cli {

class OutlineWriter {
  public:
    // Loads the module (next to the program, or in the lib folder once
    // installed) and starts its Qt session. Throws std::runtime_error naming
    // the module and the reason when it cannot be loaded.
    OutlineWriter();
    // Ends the Qt session. The module stays loaded: Qt is not made to be
    // unloaded from a running process.
    ~OutlineWriter();
    OutlineWriter(const OutlineWriter&) = delete;
    OutlineWriter& operator=(const OutlineWriter&) = delete;

    // zones::outlinedImageTiff through the module. Throws std::bad_alloc,
    // or std::runtime_error with the reason the image was not made.
    std::vector<std::uint8_t> tiff(const imaging::TDIB& page, int divisor,
                                   const zones::ZoneSource& zones, zones::ZoneLabels labels) const;

  private:
    const zones::OutlineModule* module_ = nullptr;
};

} // namespace quadrel_cli
