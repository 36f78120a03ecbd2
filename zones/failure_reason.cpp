// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "zones/failure_reason.h"

#include "imaging/image_error.h"

#include <filesystem>

namespace zones {

std::string FailureReason(const std::exception& e) {
    if (const auto* image = dynamic_cast<const imaging::ImageError*>(&e))
        if (!image->detail().empty()) return std::string(e.what()) + ": " + image->detail();
    if (const auto* fs = dynamic_cast<const std::filesystem::filesystem_error*>(&e))
        return fs->code().message();
    return e.what();
}

} // namespace zones
