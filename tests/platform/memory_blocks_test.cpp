// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The movable memory blocks of libquadrel_memory: sizes, nested locks,
// reallocation and refused handles.
#include "platform/quadrel_memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <thread>
#include <vector>

namespace {

TEST(MemoryBlocks, EmptyBlockIsLiveAndLocksToAnAddress) {
    QmHandle h = QM_Alloc(0);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(QM_Size(h), 0u);
    void* data = QM_Lock(h);
    EXPECT_NE(data, nullptr);
    EXPECT_EQ(QM_HandleOf(data), h);
    EXPECT_EQ(QM_Unlock(h), 0);
    EXPECT_EQ(QM_Free(h), nullptr);
}

TEST(MemoryBlocks, SizesNoAllocationCanHoldAreRefused) {
    // A negative count handed over as size_t, and the first size past PTRDIFF_MAX.
    EXPECT_EQ(QM_Alloc(static_cast<std::size_t>(-1)), nullptr);
    EXPECT_EQ(QM_Alloc(std::size_t(PTRDIFF_MAX) + 1), nullptr);
    QmHandle h = QM_Alloc(16);
    EXPECT_EQ(QM_ReAlloc(h, static_cast<std::size_t>(-16)), nullptr);
    EXPECT_EQ(QM_Size(h), 16u); // unchanged
    QM_Free(h);
}

TEST(MemoryBlocks, BlocksStartZeroAndGrowWithZeros) {
    QmHandle h = QM_Alloc(8);
    auto* bytes = static_cast<unsigned char*>(QM_Lock(h));
    EXPECT_EQ(std::vector<unsigned char>(bytes, bytes + 8), std::vector<unsigned char>(8, 0));
    std::memset(bytes, 0xAB, 8);
    QM_Unlock(h);

    ASSERT_EQ(QM_ReAlloc(h, 4096), h); // the handle stays, the bytes may move
    EXPECT_EQ(QM_Size(h), 4096u);
    bytes = static_cast<unsigned char*>(QM_Lock(h));
    EXPECT_EQ(bytes[7], 0xAB);
    EXPECT_EQ(bytes[8], 0);
    EXPECT_EQ(bytes[4095], 0);
    EXPECT_EQ(QM_HandleOf(bytes), h);
    EXPECT_EQ(QM_HandleOf(bytes + 1), nullptr); // only a block's first byte leads back
    QM_Unlock(h);
    QM_Free(h);
}

TEST(MemoryBlocks, LocksNestAndUnlockCountsDown) {
    QmHandle h = QM_Alloc(4);
    void* first = QM_Lock(h);
    EXPECT_EQ(QM_Lock(h), first);
    EXPECT_EQ(QM_Lock(h), first);
    EXPECT_EQ(QM_LockCount(h), 3);
    EXPECT_EQ(QM_Unlock(h), 2);
    EXPECT_EQ(QM_Unlock(h), 1);
    EXPECT_EQ(QM_Unlock(h), 0);
    EXPECT_EQ(QM_Unlock(h), -1); // not locked: refused, the count stays 0
    EXPECT_EQ(QM_LockCount(h), 0);
    QM_Free(h);
}

TEST(MemoryBlocks, FreedAndNullHandlesAreRefusedEverywhere) {
    QmHandle h = QM_Alloc(32);
    void* data = QM_Lock(h); // freeing a locked block is allowed
    ASSERT_EQ(QM_Free(h), nullptr);
    for (QmHandle refused : {h, QmHandle{}}) {
        EXPECT_EQ(QM_Free(refused), refused);
        EXPECT_EQ(QM_Lock(refused), nullptr);
        EXPECT_EQ(QM_Unlock(refused), -1);
        EXPECT_EQ(QM_LockCount(refused), 0);
        EXPECT_EQ(QM_Size(refused), 0u);
        EXPECT_EQ(QM_ReAlloc(refused, 8), nullptr);
    }
    EXPECT_EQ(QM_HandleOf(data), nullptr);
    EXPECT_EQ(QM_HandleOf(nullptr), nullptr);
    // A later block never gets the freed handle back.
    QmHandle next = QM_Alloc(32);
    EXPECT_NE(next, h);
    EXPECT_EQ(QM_Lock(h), nullptr);
    QM_Free(next);
}

TEST(MemoryBlocks, ThreadsAllocateAndFreeIndependently) {
    auto churn = [] {
        for (int i = 0; i < 2000; ++i) {
            QmHandle h = QM_Alloc(std::size_t(i % 64));
            auto* bytes = static_cast<unsigned char*>(QM_Lock(h));
            if (i % 64) bytes[0] = 1;
            QM_Unlock(h);
            QM_Free(h);
        }
    };
    std::thread a(churn), b(churn);
    a.join();
    b.join();
}

} // namespace
