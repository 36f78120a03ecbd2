// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The reason a failure gives a user: what the exception says, with the image
// library's detail or the system's message where there is one.
#pragma once

#include <exception>
#include <string>

namespace zones {

// imaging::ImageError: "<what>: <detail>" (just <what> without detail);
// std::filesystem::filesystem_error: the system's message for its code;
// anything else: what().
std::string FailureReason(const std::exception& e);

} // namespace zones
