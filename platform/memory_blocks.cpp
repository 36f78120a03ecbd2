// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Movable memory blocks behind opaque handles.
//
// A handle is a number, never an address: every call looks it up in the
// table of live blocks, so a null, unknown or freed handle is refused without
// reading freed memory, and numbers are never reused, so a stale handle
// cannot reach a later block. One mutex guards the table; calls are short.
#include "platform/quadrel_memory.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_map>

namespace {

struct Block {
    // calloc'd, at least one byte so that an empty block still locks to a
    // distinct address. Freed only by QM_Free: a block the program never
    // frees stays visible to leak checkers.
    unsigned char* bytes = nullptr;
    std::size_t size = 0;
    std::int32_t lockCount = 0;
};

class BlockTable {
  public:
    ~BlockTable() { gone_ = true; }

    // The table outlives every ordinary caller; a call made while static
    // objects are destroyed after it finds no block.
    static BlockTable* instance() {
        static BlockTable table;
        return gone_ ? nullptr : &table;
    }

    std::mutex mutex;

    Block* find(QmHandle h) {
        const auto it = blocks_.find(key(h));
        return it == blocks_.end() ? nullptr : &it->second;
    }
    QmHandle add(const Block& block) {
        const std::uintptr_t id = ++lastId_;
        blocks_.emplace(id, block);
        byAddress_.emplace(block.bytes, id);
        return handleOf(id);
    }
    void moved(QmHandle h, const unsigned char* from, const unsigned char* to) {
        byAddress_.erase(from);
        byAddress_.emplace(to, key(h));
    }
    void remove(QmHandle h, const unsigned char* bytes) {
        byAddress_.erase(bytes);
        blocks_.erase(key(h));
    }
    QmHandle handleAt(const void* address) const {
        const auto it = byAddress_.find(address);
        return it == byAddress_.end() ? nullptr : handleOf(it->second);
    }

  private:
    static std::uintptr_t key(QmHandle h) { return reinterpret_cast<std::uintptr_t>(h); }
    // Handles are numbers that are never dereferenced, only looked up.
    static QmHandle handleOf(std::uintptr_t id) {
        return reinterpret_cast<QmHandle>(id); // NOLINT(performance-no-int-to-ptr)
    }

    static inline bool gone_ = false;
    std::uintptr_t lastId_ = 0;
    std::unordered_map<std::uintptr_t, Block> blocks_;
    std::unordered_map<const void*, std::uintptr_t> byAddress_;
};

// Runs `body(table, block)` under the table's mutex when `h` is a live
// block, else returns `refused`.
template <class Result, class Body> Result withBlock(QmHandle h, Result refused, Body&& body) {
    BlockTable* table = BlockTable::instance();
    if (!table || !h) return refused;
    try {
        const std::lock_guard<std::mutex> guard(table->mutex);
        Block* block = table->find(h);
        return block ? body(*table, *block) : refused;
    } catch (...) {
        return refused;
    }
}

std::size_t storageFor(std::size_t size) {
    return size == 0 ? 1 : size;
}

// No object may be larger than PTRDIFF_MAX bytes; such a request (often a
// negative count converted to size_t) is refused before the allocator sees it.
bool allocatable(std::size_t size) {
    return size <= std::size_t(PTRDIFF_MAX);
}

} // namespace

extern "C" {

QmHandle QM_Alloc(std::size_t size) {
    BlockTable* table = BlockTable::instance();
    if (!table || !allocatable(size)) return nullptr;
    Block block;
    block.bytes = static_cast<unsigned char*>(std::calloc(1, storageFor(size)));
    if (!block.bytes) return nullptr;
    block.size = size;
    try {
        const std::lock_guard<std::mutex> guard(table->mutex);
        return table->add(block);
    } catch (...) {
        std::free(block.bytes);
        return nullptr;
    }
}

QmHandle QM_ReAlloc(QmHandle h, std::size_t size) {
    if (!allocatable(size)) return nullptr;
    return withBlock(h, QmHandle{}, [&](BlockTable& table, Block& block) -> QmHandle {
        auto* bytes = static_cast<unsigned char*>(std::realloc(block.bytes, storageFor(size)));
        if (!bytes) return nullptr;
        if (size > block.size) std::memset(bytes + block.size, 0, size - block.size);
        table.moved(h, block.bytes, bytes);
        block.bytes = bytes;
        block.size = size;
        return h;
    });
}

void* QM_Lock(QmHandle h) {
    return withBlock(h, static_cast<void*>(nullptr), [](BlockTable&, Block& block) -> void* {
        ++block.lockCount;
        return block.bytes;
    });
}

std::int32_t QM_Unlock(QmHandle h) {
    return withBlock(h, std::int32_t{-1}, [](BlockTable&, Block& block) {
        return block.lockCount > 0 ? --block.lockCount : std::int32_t{-1};
    });
}

std::int32_t QM_LockCount(QmHandle h) {
    return withBlock(h, std::int32_t{0}, [](BlockTable&, Block& block) { return block.lockCount; });
}

std::size_t QM_Size(QmHandle h) {
    return withBlock(h, std::size_t{0}, [](BlockTable&, Block& block) { return block.size; });
}

QmHandle QM_Free(QmHandle h) {
    return withBlock(h, h, [&](BlockTable& table, Block& block) -> QmHandle {
        unsigned char* bytes = block.bytes;
        table.remove(h, bytes);
        std::free(bytes);
        return nullptr;
    });
}

QmHandle QM_HandleOf(const void* address) {
    BlockTable* table = BlockTable::instance();
    if (!table || !address) return nullptr;
    const std::lock_guard<std::mutex> guard(table->mutex);
    return table->handleAt(address);
}

} // extern "C"
