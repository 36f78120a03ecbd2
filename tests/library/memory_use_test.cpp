// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Repeated analyses keep memory flat: what a context holds after a run is
// replaced, not added to, by the next run, and a released context gives
// everything back. Measured with glibc's count of bytes in use, which
// sanitizer builds do not keep (there the leak checker covers the same).
#include "library/la_api.h"
#include "tests/library/every_function_pipe.h"
#include "tests/support/synthetic_pages.h"
#include "tests/support/zone_rows.h"

#include <gtest/gtest.h>

#include <malloc.h>

#include <cstdint>

namespace {

using namespace testsupport;

std::int64_t bytesInUse() {
    return std::int64_t(mallinfo2().uordblks);
}

// Slack for the allocator's own bookkeeping.
constexpr std::int64_t kMargin = 64 * 1024;

TEST(MemoryUseTest, RepeatedRunsOnOneContextHoldTheSameMemory) {
    const auto dib = textLikePage(1240, 1754, 150).toDib();
    ContextHandle ctx = openContext();
    std::int64_t afterSecond = 0;
    for (int run = 1; run <= 10; ++run) {
        ASSERT_EQ(LA_Execute(ctx.get(), dib.get()), LA_STATUS_OK);
        if (run == 2) afterSecond = bytesInUse();
    }
    EXPECT_NEAR(double(bytesInUse()), double(afterSecond), double(kMargin));
}

TEST(MemoryUseTest, ReleasedContextsGiveBackWhatTheyHeld) {
    const auto dib = textLikePage(1240, 1754, 150).toDib();
    auto runOnce = [&](bool everyFunction) {
        ContextHandle ctx = openContext();
        PipeHandle pipe;
        if (everyFunction) pipe = installEveryFunctionPipe(ctx.get());
        EXPECT_EQ(LA_Execute(ctx.get(), dib.get()), LA_STATUS_OK);
        ctx.reset();
    };
    runOnce(false);
    runOnce(true);
    const std::int64_t afterSecond = bytesInUse();
    for (int run = 3; run <= 10; ++run) runOnce(run % 2 == 0);
    EXPECT_NEAR(double(bytesInUse()), double(afterSecond), double(kMargin));
}

} // namespace
