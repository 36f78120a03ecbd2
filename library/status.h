// Status values shared by every library operation.
#pragma once

#include <cstdint>

namespace quadrel {

enum Status : std::int32_t {
    kOk = 0,
    kOutOfMemory = 1,
    kNotImportable = 2, // also: pipe full, default pipe not allocatable, skew not measured
    kNullArgument = 3,
    kNoBlackPixel = 4,
    kBadIndex = 11,
};

} // namespace quadrel
