// Movable, zero-filled memory blocks addressed by a handle.
//
// A page crosses from the image library to the analysis library as such a
// handle. The handle points to a small self-describing record, so that two
// separately linked copies of this code (the shared library and the program
// that loads it) read and lock the same block identically. Reallocation may
// move the data; the handle stays the same.
#pragma once

#include <cstddef>

namespace platform {

struct GlobalBlock;
using GlobalHandle = GlobalBlock*;

// Allocates a zero-filled block of `size` bytes; null when memory runs out.
GlobalHandle globalAlloc(std::size_t size) noexcept;

// Resizes the block; bytes beyond the old size are zero. Returns the same
// handle, or null (the block unchanged) when memory runs out or h is invalid.
GlobalHandle globalReAlloc(GlobalHandle h, std::size_t size) noexcept;

// Locks the block and returns the address of its first byte; null for a null
// or invalid handle. Locks nest.
void* globalLock(GlobalHandle h) noexcept;

// Undoes one lock. Returns true while the block is still locked.
bool globalUnlock(GlobalHandle h) noexcept;

// Number of nested locks (0 for an invalid handle).
unsigned globalLockCount(GlobalHandle h) noexcept;

// Size of the block in bytes, 0 for a null or invalid handle.
std::size_t globalSize(GlobalHandle h) noexcept;

// Frees the block. Returns null on success, h when it was not a valid block.
GlobalHandle globalFree(GlobalHandle h) noexcept;

// The handle of the block whose data starts at `address`; null when the
// address is not the start of a live block's data.
GlobalHandle globalHandleOf(const void* address) noexcept;

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
