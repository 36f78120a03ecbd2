// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The movable memory blocks of libquadrel_memory (quadrel_memory.h) under
// the names the library and the image code use inside this tree.
//
// A page crosses from the image library to the analysis library as such a
// handle; both sides link the one shared memory library, so they read and
// lock the same block identically. Reallocation may move the data; the
// handle stays the same.
#pragma once

#include "platform/quadrel_memory.h"

#include <cstddef>

namespace platform {

using GlobalHandle = QmHandle;

inline GlobalHandle globalAlloc(std::size_t size) noexcept {
    return QM_Alloc(size);
}

// Returns the same handle, or null (the block unchanged).
inline GlobalHandle globalReAlloc(GlobalHandle h, std::size_t size) noexcept {
    return QM_ReAlloc(h, size);
}

// Locks nest; null for a null or invalid handle.
inline void* globalLock(GlobalHandle h) noexcept {
    return QM_Lock(h);
}

// Undoes one lock. Returns true while the block is still locked.
inline bool globalUnlock(GlobalHandle h) noexcept {
    return QM_Unlock(h) > 0;
}

// Number of nested locks (0 for an invalid handle).
inline unsigned globalLockCount(GlobalHandle h) noexcept {
    return unsigned(QM_LockCount(h));
}

inline std::size_t globalSize(GlobalHandle h) noexcept {
    return QM_Size(h);
}

// Returns null on success, h when it was not a valid block.
inline GlobalHandle globalFree(GlobalHandle h) noexcept {
    return QM_Free(h);
}

inline GlobalHandle globalHandleOf(const void* address) noexcept {
    return QM_HandleOf(address);
}

// Owner of a block: frees it when it goes out of scope.
class GlobalBlockOwner {
  public:
    GlobalBlockOwner() = default;
    explicit GlobalBlockOwner(GlobalHandle h) noexcept : handle_(h) {}
    GlobalBlockOwner(const GlobalBlockOwner&) = delete;
    GlobalBlockOwner& operator=(const GlobalBlockOwner&) = delete;
    GlobalBlockOwner(GlobalBlockOwner&& o) noexcept : handle_(o.release()) {}
    GlobalBlockOwner& operator=(GlobalBlockOwner&& o) noexcept {
        if (this != &o) reset(o.release());
        return *this;
    }
    ~GlobalBlockOwner() { reset(); }

    GlobalHandle get() const noexcept { return handle_; }
    GlobalHandle release() noexcept {
        GlobalHandle h = handle_;
        handle_ = nullptr;
        return h;
    }
    void reset(GlobalHandle h = nullptr) noexcept {
        if (handle_) globalFree(handle_);
        handle_ = h;
    }

  private:
    GlobalHandle handle_ = nullptr;
};

} // namespace platform
