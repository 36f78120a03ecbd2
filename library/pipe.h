// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The pipe: the ordered function codes that LA_Execute runs, and the
// process-wide table that names every live pipe by a number.
//
// Parameter values cross the C interface as 32-bit integers, and parameter
// 500 carries a pipe. Pointers are wider than that on 64-bit systems, so a
// context refers to its pipe by number and looks it up when it needs it. A
// pipe that has been destroyed is simply not found: a context can never reach
// a freed pipe through a stale number.
#pragma once

#include "library/la_api.h"

#include <array>
#include <cstdint>
#include <optional>

struct LaPipe {
    std::int32_t count = 0;               // 0 to 20
    std::array<std::int32_t, 20> codes{}; // codes beyond count mean nothing
};

namespace quadrel {

constexpr std::int32_t kPipeCapacity = 20;

// A pipe's number in the process-wide table; 0 stands for no pipe.
using PipeNumber = std::int32_t;

// Appends a code (not validated). Status 0, or 2 when the pipe holds 20 codes.
std::int32_t appendFunctionCode(LaPipe& pipe, std::int32_t code);

// Appends a code to a live pipe of the table, under the table's lock. A pipe
// the table does not know (null, or already destroyed) is treated like null:
// status 1, nothing written.
std::int32_t appendFunctionCodeToPipe(const LaPipe* pipe, std::int32_t code);

struct CreatedPipe {
    LaPipe* pipe = nullptr; // owned by the table until destroyPipe
    PipeNumber number = 0;
};

// Makes an empty pipe and gives it a fresh nonzero number; nullopt when memory
// runs out. Numbers are not reused until the 31-bit counter wraps.
std::optional<CreatedPipe> createPipe();

// Destroys a pipe of the table; a pointer the table does not know (null, or a
// pipe already destroyed) is ignored.
void destroyPipe(const LaPipe* pipe);
void destroyPipe(PipeNumber number);

// The number of a live pipe, 0 when the table does not know it.
PipeNumber pipeNumberOf(const LaPipe* pipe);
bool pipeExists(PipeNumber number);

// A copy of the live pipe with that number, taken under the table's lock so
// that a run reads a consistent set of codes; nullopt when there is none.
std::optional<LaPipe> pipeSnapshot(PipeNumber number);

// Owner of one pipe of the table: destroys it when it goes out of scope.
class OwnedPipe {
  public:
    OwnedPipe() = default;
    explicit OwnedPipe(PipeNumber number) noexcept : number_(number) {}
    OwnedPipe(const OwnedPipe&) = delete;
    OwnedPipe& operator=(const OwnedPipe&) = delete;
    OwnedPipe(OwnedPipe&& other) noexcept : number_(other.number_) { other.number_ = 0; }
    OwnedPipe& operator=(OwnedPipe&& other) noexcept;
    ~OwnedPipe() { reset(); }

    PipeNumber number() const noexcept { return number_; }
    void reset() noexcept;

  private:
    PipeNumber number_ = 0;
};

} // namespace quadrel
