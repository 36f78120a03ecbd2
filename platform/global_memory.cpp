#include "platform/global_memory.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace platform {

namespace {

constexpr std::uint64_t kLiveMagic = 0x4B434F4C42424C47ull; // "GLBBLOCK"
// The data is preceded by a back pointer to its record, so that a data
// address leads back to its handle.
constexpr std::size_t kPrefix = 16;

} // namespace

struct GlobalBlock {
    std::uint64_t magic;
    std::size_t size;
    unsigned lockCount;
    unsigned char* base; // allocation start; the data begins kPrefix bytes later
};

namespace {

bool isLive(GlobalHandle h) noexcept { return h != nullptr && h->magic == kLiveMagic; }

unsigned char* dataOf(GlobalHandle h) noexcept { return h->base + kPrefix; }

void writeBackPointer(GlobalHandle h) noexcept {
    std::memcpy(h->base, &h, sizeof h);
}

} // namespace

GlobalHandle globalAlloc(std::size_t size) noexcept {
    if (size > SIZE_MAX - kPrefix) return nullptr;
    auto* h = static_cast<GlobalBlock*>(std::calloc(1, sizeof(GlobalBlock)));
    if (!h) return nullptr;
    h->base = static_cast<unsigned char*>(std::calloc(1, size + kPrefix));
    if (!h->base) {
        std::free(h);
        return nullptr;
    }
    h->magic = kLiveMagic;
    h->size = size;
    writeBackPointer(h);
    return h;
}

GlobalHandle globalReAlloc(GlobalHandle h, std::size_t size) noexcept {
    if (!isLive(h) || size > SIZE_MAX - kPrefix) return nullptr;
    auto* base = static_cast<unsigned char*>(std::realloc(h->base, size + kPrefix));
    if (!base) return nullptr;
    if (size > h->size) std::memset(base + kPrefix + h->size, 0, size - h->size);
    h->base = base;
    h->size = size;
    return h;
}

void* globalLock(GlobalHandle h) noexcept {
    if (!isLive(h)) return nullptr;
    ++h->lockCount;
    return dataOf(h);
}

bool globalUnlock(GlobalHandle h) noexcept {
    if (!isLive(h) || h->lockCount == 0) return false;
    --h->lockCount;
    return h->lockCount > 0;
}

unsigned globalLockCount(GlobalHandle h) noexcept { return isLive(h) ? h->lockCount : 0; }

std::size_t globalSize(GlobalHandle h) noexcept { return isLive(h) ? h->size : 0; }

GlobalHandle globalFree(GlobalHandle h) noexcept {
    if (!isLive(h)) return h;
    h->magic = 0;
    std::free(h->base);
    std::free(h);
    return nullptr;
}

GlobalHandle globalHandleOf(const void* address) noexcept {
    if (!address) return nullptr;
    GlobalHandle h = nullptr;
    std::memcpy(&h, static_cast<const unsigned char*>(address) - kPrefix, sizeof h);
    if (!isLive(h) || dataOf(h) != address) return nullptr;
    return h;
}

} // namespace platform
