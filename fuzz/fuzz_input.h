// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Reads the control values of a fuzz input: small integers taken from the
// front of the bytes, zero once they run out, so that every input is valid.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace fuzzing {

class FuzzInput {
  public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : bytes_(data, size) {}

    std::uint8_t byte() {
        if (bytes_.empty()) return 0;
        const std::uint8_t b = bytes_.front();
        bytes_ = bytes_.subspan(1);
        return b;
    }

    std::uint16_t u16() { return std::uint16_t(byte() | byte() << 8); }

    std::uint32_t u32() { return std::uint32_t(u16()) | std::uint32_t(u16()) << 16; }

    // A value in [0, n) for n > 0.
    std::uint32_t below(std::uint32_t n) { return n ? u32() % n : 0; }

    // What is left, for the payload.
    std::span<const std::uint8_t> rest() const { return bytes_; }

  private:
    std::span<const std::uint8_t> bytes_;
};

} // namespace fuzzing
