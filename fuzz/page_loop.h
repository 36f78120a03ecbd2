// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The page loop of the reader fuzz targets: every page up to a few, and one
// past the count, each read from the start of the stream.
#pragma once

#include "imaging/image_stream.h"

#include <algorithm>

namespace fuzzing {

// Calls load(stream, page) for pages 0 .. min(pages, maxPages): the page past
// the count must be refused or read, never over-read.
template <class Load>
void loadEachPage(imaging::ImageStream& stream, int pages, int maxPages, Load&& load) {
    for (int page = 0; page <= std::min(pages, maxPages); ++page) {
        stream.Seek(0, imaging::SeekOrigin::Begin);
        load(stream, page);
    }
}

} // namespace fuzzing
