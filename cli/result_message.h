// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// A page's result as a worker process hands it to the parent through a pipe:
// every field as raw bytes, in this machine's byte order (both ends are the
// same program). Much cheaper than the JSON page object, which would work out
// the reading order and table parents in the worker and parse text in the
// parent for every page, work a run with one job never does. The parent
// fills in the file name and page number from its own task.
#pragma once

#include "cli/page_result.h"

#include <optional>
#include <string>
#include <string_view>

namespace quadrel_cli {

std::string encodeResult(const PageResult& result);

// The result, or nothing when the bytes are not exactly one encoded result.
std::optional<PageResult> decodeResult(std::string_view bytes);

} // namespace quadrel_cli
