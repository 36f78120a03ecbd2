// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Edge profiles and pixel counts of components (kEdgeProfiles,
// kPixelCounts), gathered from their labelled runs.
#pragma once

#include "library/image/components.h"

#include <cstdint>
#include <vector>

namespace quadrel {

// Appends to `profiles` one entry per component, with the vectors `options`
// ask for, from runs labelled with the components' numbers.
void recordProfiles(const RunTable& runs, const std::vector<LaComponent>& components,
                    std::int32_t options, std::vector<ComponentProfiles>& profiles);

} // namespace quadrel
