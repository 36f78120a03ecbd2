// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "library/pipe.h"

#include "library/la_api.h"

#include <algorithm>
#include <limits>
#include <map>
#include <memory>
#include <mutex>
#include <new>

namespace quadrel {

namespace {

// Parameter calls and pipe calls do not take the library lock, so the table
// has a small lock of its own.
struct PipeTable {
    std::mutex lock;
    std::map<PipeNumber, std::unique_ptr<LaPipe>> pipes;
    PipeNumber lastNumber = 0;

    // The next positive number not in use; it wraps after 2^31 - 1 pipes.
    PipeNumber nextFreeNumber() {
        do {
            lastNumber = lastNumber == std::numeric_limits<PipeNumber>::max() ? 1 : lastNumber + 1;
        } while (pipes.count(lastNumber) != 0);
        return lastNumber;
    }

    // Pipes are few: a scan is cheap, and it never reads through a pointer
    // that may already be freed.
    std::map<PipeNumber, std::unique_ptr<LaPipe>>::iterator findByAddress(const LaPipe* pipe) {
        return std::find_if(pipes.begin(), pipes.end(),
                            [pipe](const auto& entry) { return entry.second.get() == pipe; });
    }
};

PipeTable& pipeTable() {
    // Destroyed when the library is unloaded, so that a program that loads
    // and unloads it repeatedly leaks nothing.
    static PipeTable table;
    return table;
}

} // namespace

std::int32_t appendFunctionCode(LaPipe& pipe, std::int32_t code) {
    if (pipe.count < 0 || pipe.count >= kPipeCapacity) return LA_STATUS_NOT_AVAILABLE;
    pipe.codes[std::size_t(pipe.count)] = code;
    ++pipe.count;
    return LA_STATUS_OK;
}

std::int32_t appendFunctionCodeToPipe(const LaPipe* pipe, std::int32_t code) {
    if (!pipe) return LA_STATUS_OUT_OF_MEMORY;
    PipeTable& table = pipeTable();
    std::lock_guard guard(table.lock);
    const auto found = table.findByAddress(pipe);
    if (found == table.pipes.end()) return LA_STATUS_OUT_OF_MEMORY;
    return appendFunctionCode(*found->second, code);
}

std::optional<CreatedPipe> createPipe() {
    try {
        auto pipe = std::make_unique<LaPipe>();
        PipeTable& table = pipeTable();
        std::lock_guard guard(table.lock);
        const PipeNumber number = table.nextFreeNumber();
        LaPipe* address = pipe.get();
        table.pipes.emplace(number, std::move(pipe));
        return CreatedPipe{address, number};
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

void destroyPipe(const LaPipe* pipe) {
    if (!pipe) return;
    PipeTable& table = pipeTable();
    std::lock_guard guard(table.lock);
    const auto found = table.findByAddress(pipe);
    if (found != table.pipes.end()) table.pipes.erase(found);
}

void destroyPipe(PipeNumber number) {
    if (number == 0) return;
    PipeTable& table = pipeTable();
    std::lock_guard guard(table.lock);
    table.pipes.erase(number);
}

PipeNumber pipeNumberOf(const LaPipe* pipe) {
    if (!pipe) return 0;
    PipeTable& table = pipeTable();
    std::lock_guard guard(table.lock);
    const auto found = table.findByAddress(pipe);
    return found == table.pipes.end() ? 0 : found->first;
}

bool pipeExists(PipeNumber number) {
    if (number == 0) return false;
    PipeTable& table = pipeTable();
    std::lock_guard guard(table.lock);
    return table.pipes.count(number) != 0;
}

std::optional<LaPipe> pipeSnapshot(PipeNumber number) {
    if (number == 0) return std::nullopt;
    PipeTable& table = pipeTable();
    std::lock_guard guard(table.lock);
    const auto found = table.pipes.find(number);
    if (found == table.pipes.end()) return std::nullopt;
    return *found->second;
}

OwnedPipe& OwnedPipe::operator=(OwnedPipe&& other) noexcept {
    if (this != &other) {
        reset();
        number_ = other.number_;
        other.number_ = 0;
    }
    return *this;
}

void OwnedPipe::reset() noexcept {
    destroyPipe(number_);
    number_ = 0;
}

} // namespace quadrel
