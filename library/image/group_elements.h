// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Cutting a group of components into elements: the members are sorted left
// to right and cut at gaps that are wide for the group (first pass, against
// the mean small gap), then each piece again at gaps wide for the piece
// (second pass, against its gap histogram's mode).
#pragma once

#include "library/image/grouping.h"

#include <cstdint>
#include <span>
#include <vector>

namespace quadrel {

// Sorts one group's members (component indices) left to right, cuts them into
// elements and writes every member's linkA (element) and linkB (groupIndex).
// A group whose narrowest gap is more than 12.5 times its tallest member is
// scattered dots, not a line: it gets no elements and its links stay as
// they were.
LaLineGroup cutGroupIntoElements(std::vector<std::int32_t>& members,
                                 std::vector<LaComponent>& components, std::int32_t groupIndex);

// Orders component indices by their components' xMin, ascending, with an
// in-place quicksort (middle pivot, ranges of fewer than nine finished by
// neighbour-swap passes). Members with equal xMin come out in the order this
// sort leaves them, which decides the gaps and so the elements on ties.
void sortByLeftEdge(std::span<std::int32_t> members, const std::vector<LaComponent>& components);

} // namespace quadrel
