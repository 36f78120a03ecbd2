// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The colour changes of every column of a block image, counted row by row:
// a pixel that differs from the one above it (white above the first row) is
// a change of its column. Rows of text differ from the row above in few
// pixels, so this reads the image once, a word at a time, and touches only
// the changed pixels, where turning the image a quarter reads every pixel
// again.
#pragma once

#include "library/functions/block_classifier.h"
#include "library/functions/transition_lists.h"
#include "library/image/bitmap.h"

#include <span>
#include <vector>

namespace quadrel {

// One entry per column: its changes and whether its first pixel is black. An
// image without pixels has no columns.
std::vector<LineChanges> columnChangesOf(const LaBitmap& image);

// The transition lists of the columns (as columnLists gives them), from the
// columns' changes counted by columnChangesOf.
TransitionLists columnListsOf(const LaBitmap& image, std::span<const LineChanges> columns);

} // namespace quadrel
