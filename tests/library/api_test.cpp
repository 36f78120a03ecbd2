// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The exported interface: parameters, pipes, statuses and the zone accessors.
#include "library/la_api.h"
#include "platform/global_memory.h"
#include "tests/library/fake_analysis.h"
#include "tests/support/test_page.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

using testsupport::FakeAnalysis;
using testsupport::TestPage;

struct ContextDeleter {
    void operator()(LaContext* ctx) const { LA_Done(ctx); }
};
using Context = std::unique_ptr<LaContext, ContextDeleter>;

Context makeContext() {
    return Context(LA_Init(nullptr, nullptr));
}

// The integer parameters, in identifier order.
constexpr std::int32_t kIntegerParameters[] = {
    LA_PARAM_LINES_MIN_SEED_LENGTH,   LA_PARAM_LINES_MAX_THICKNESS,   LA_PARAM_LINES_DIRECTIONS,
    LA_PARAM_REMOVAL_MIN_SEED_LENGTH, LA_PARAM_REMOVAL_MAX_THICKNESS, LA_PARAM_REMOVAL_DIRECTIONS,
    LA_PARAM_REMOVAL_RESERVED,        LA_PARAM_INVERSE_MIN_WIDTH,     LA_PARAM_INVERSE_RESERVED,
    LA_PARAM_NOISE_AND_PICTURES};

// The codes of the default pipe, in running order.
const std::vector<std::int32_t> kDefaultPipe{LA_FUNCTION_LINES_AND_TABLES, LA_FUNCTION_INVERSE_TEXT,
                                             LA_FUNCTION_LINE_REMOVAL, LA_FUNCTION_TEXT_BLOCKS};

std::int32_t parameter(LaContext* ctx, std::int32_t id) {
    std::int32_t value = -12345;
    LA_GetParameter(ctx, id, &value);
    return value;
}

platform::GlobalBlockOwner blankDib() {
    return TestPage(64, 40).toDib();
}

std::int32_t execute(LaContext* ctx) {
    auto dib = blankDib();
    return LA_Execute(ctx, dib.get());
}

struct ZoneRow {
    std::int32_t left, top, right, bottom, content;
    bool operator==(const ZoneRow&) const = default;
};

std::vector<ZoneRow> zoneTable(LaContext* ctx) {
    std::vector<ZoneRow> rows;
    for (std::int32_t k = 0; k < LA_GetZonesCount(ctx); ++k) {
        ZoneRow z{};
        EXPECT_EQ(LA_GetZoneRect(ctx, k, &z.left, &z.top, &z.right, &z.bottom), LA_STATUS_OK);
        EXPECT_EQ(LA_GetZoneContent(ctx, k, &z.content), LA_STATUS_OK);
        rows.push_back(z);
    }
    return rows;
}

TEST(ApiTest, FreshContextHasOnlyTheNoiseSizeSet) {
    Context ctx = makeContext();
    ASSERT_TRUE(ctx);
    for (std::int32_t id : kIntegerParameters) {
        const std::int32_t fresh = id == LA_PARAM_NOISE_AND_PICTURES ? 5 : 0;
        EXPECT_EQ(parameter(ctx.get(), id), fresh) << id;
    }
    EXPECT_EQ(parameter(ctx.get(), LA_PARAM_PIPE), 0);

    std::int32_t value = 77;
    EXPECT_EQ(LA_GetParameter(ctx.get(), LA_PARAM_SKEW_ANGLE, &value), LA_STATUS_NOT_AVAILABLE);
    EXPECT_EQ(value, 0);
    value = 77;
    EXPECT_EQ(LA_GetParameter(ctx.get(), 700, &value), LA_STATUS_OK); // no such parameter
    EXPECT_EQ(value, 77);
    EXPECT_EQ(LA_SetParameter(ctx.get(), LA_PARAM_SKEW_ANGLE, 99), LA_STATUS_OK);
    EXPECT_EQ(LA_GetParameter(ctx.get(), LA_PARAM_SKEW_ANGLE, &value), LA_STATUS_NOT_AVAILABLE);
}

TEST(ApiTest, NullReleasedOrUnknownContextsAreRefusedWithoutFault) {
    FakeAnalysis fake;
    LaContext* released = LA_Init(nullptr, nullptr);
    ASSERT_NE(released, nullptr);
    LA_Done(released);
    LA_Done(released); // ignored, not a double free
    int notAContext = 0;
    for (LaContext* ctx :
         {static_cast<LaContext*>(nullptr), released, reinterpret_cast<LaContext*>(&notAContext)}) {
        // The zone accessors answer a null context with 0, writing nothing.
        const std::int32_t zoneStatus = ctx ? 11 : 0;
        std::int32_t value = 5, left = 1;
        EXPECT_EQ(LA_SetParameter(ctx, 100, 1), 11);
        EXPECT_EQ(LA_GetParameter(ctx, 100, &value), 11);
        EXPECT_EQ(LA_GetZonesCount(ctx), 0);
        EXPECT_EQ(LA_GetZoneRect(ctx, 0, &left, &left, &left, &left), zoneStatus);
        EXPECT_EQ(LA_GetZoneContent(ctx, 0, &value), zoneStatus);
        EXPECT_EQ(left, 1);
        EXPECT_EQ(value, 5);
        EXPECT_EQ(LA_Execute(ctx, blankDib().get()), 11);
        EXPECT_EQ(LA_CreatePipe(ctx), nullptr);
        LA_Done(ctx);
    }
    EXPECT_TRUE(fake.results().calls.empty());
    EXPECT_EQ(notAContext, 0);
    EXPECT_EQ(LA_AddFunctionToPipe(nullptr, 2), 1);
    LA_DestroyPipe(nullptr);
}

TEST(ApiTest, FirstRunMakesTheDefaultPipeOverCallerParameters) {
    FakeAnalysis fake;
    Context ctx = makeContext();
    LA_SetParameter(ctx.get(), LA_PARAM_LINES_MIN_SEED_LENGTH, 50);
    ASSERT_EQ(execute(ctx.get()), LA_STATUS_OK);
    EXPECT_EQ(fake.calledCodes(), kDefaultPipe);
    const std::vector<std::int32_t> expected{80, 120, 3, 80, 120, 3, 7, 80, 120, 9};
    std::vector<std::int32_t> actual;
    for (std::int32_t id : kIntegerParameters) actual.push_back(parameter(ctx.get(), id));
    EXPECT_EQ(actual, expected);
    EXPECT_NE(parameter(ctx.get(), LA_PARAM_PIPE), 0);

    // Each function receives its parameters in its own order.
    const auto& calls = fake.results().calls;
    EXPECT_EQ(calls[0].parameters, (std::vector<std::int32_t>{80, 120, 3, 0}));
    EXPECT_EQ(calls[1].parameters, (std::vector<std::int32_t>{80, 120}));
    EXPECT_EQ(calls[2].parameters, (std::vector<std::int32_t>{80, 7, 120, 3, 0}));

    // Later runs keep the pipe and whatever the caller sets.
    const std::int32_t defaultPipe = parameter(ctx.get(), LA_PARAM_PIPE);
    LA_SetParameter(ctx.get(), LA_PARAM_LINES_MIN_SEED_LENGTH, 50);
    ASSERT_EQ(execute(ctx.get()), LA_STATUS_OK);
    EXPECT_EQ(parameter(ctx.get(), LA_PARAM_LINES_MIN_SEED_LENGTH), 50);
    EXPECT_EQ(parameter(ctx.get(), LA_PARAM_PIPE), defaultPipe);
}

TEST(ApiTest, CallerPipeRunsWithoutDefaultParameters) {
    FakeAnalysis fake;
    Context ctx = makeContext();
    LaPipe* pipe = LA_CreatePipe(ctx.get());
    ASSERT_NE(pipe, nullptr);
    // Codes that name no function are kept in the pipe and skipped when it runs.
    for (std::int32_t code : std::initializer_list<std::int32_t>{LA_FUNCTION_PICTURES, 3, 64, 0,
                                                                 LA_FUNCTION_LINES_AND_TABLES})
        EXPECT_EQ(LA_AddFunctionToPipe(pipe, code), LA_STATUS_OK);
    ASSERT_EQ(execute(ctx.get()), LA_STATUS_OK);
    EXPECT_EQ(fake.calledCodes(),
              (std::vector<std::int32_t>{LA_FUNCTION_PICTURES, LA_FUNCTION_LINES_AND_TABLES}));
    EXPECT_EQ(parameter(ctx.get(), LA_PARAM_LINES_MIN_SEED_LENGTH), 0);
    EXPECT_EQ(parameter(ctx.get(), LA_PARAM_NOISE_AND_PICTURES), 5);
    LA_Done(ctx.release());
    LA_DestroyPipe(pipe);
}

TEST(ApiTest, PipeHoldsTwentyCodes) {
    FakeAnalysis fake;
    Context ctx = makeContext();
    LaPipe* pipe = LA_CreatePipe(ctx.get());
    for (int k = 0; k < 20; ++k)
        ASSERT_EQ(LA_AddFunctionToPipe(pipe, LA_FUNCTION_INVERSE_TEXT), LA_STATUS_OK);
    EXPECT_EQ(LA_AddFunctionToPipe(pipe, LA_FUNCTION_LINES_AND_TABLES), LA_STATUS_NOT_AVAILABLE);
    ASSERT_EQ(execute(ctx.get()), LA_STATUS_OK);
    EXPECT_EQ(fake.calledCodes(), std::vector<std::int32_t>(20, LA_FUNCTION_INVERSE_TEXT));
    LA_DestroyPipe(pipe);
}

TEST(ApiTest, SkewAngleIsTruncatedHundredths) {
    FakeAnalysis fake;
    Context ctx = makeContext();
    LaPipe* pipe = LA_CreatePipe(ctx.get());
    LA_AddFunctionToPipe(pipe, LA_FUNCTION_SKEW);
    for (const auto& [angle, expected] : {std::pair{1.4, 140}, {-1.4, -140}, {0.019, 1}}) {
        fake.results().skewAngle = angle;
        ASSERT_EQ(execute(ctx.get()), LA_STATUS_OK);
        std::int32_t value = 0;
        EXPECT_EQ(LA_GetParameter(ctx.get(), LA_PARAM_SKEW_ANGLE, &value), LA_STATUS_OK);
        EXPECT_EQ(value, expected) << angle;
    }
    LA_DestroyPipe(pipe);
}

TEST(ApiTest, PipeMovesBetweenContextsByNumber) {
    FakeAnalysis fake;
    Context first = makeContext(), second = makeContext();
    LaPipe* pipe = LA_CreatePipe(first.get());
    LA_AddFunctionToPipe(pipe, LA_FUNCTION_PICTURES);
    const std::int32_t number = parameter(first.get(), LA_PARAM_PIPE);
    ASSERT_NE(number, 0);

    EXPECT_EQ(LA_SetParameter(second.get(), LA_PARAM_PIPE, number), LA_STATUS_OK);
    EXPECT_EQ(parameter(second.get(), LA_PARAM_PIPE), number);
    ASSERT_EQ(execute(second.get()), LA_STATUS_OK);
    EXPECT_EQ(fake.calledCodes(), std::vector<std::int32_t>{LA_FUNCTION_PICTURES});

    // An unknown number changes nothing; 0 installs no pipe.
    EXPECT_EQ(LA_SetParameter(second.get(), LA_PARAM_PIPE, number + 1000), LA_STATUS_OK);
    EXPECT_EQ(parameter(second.get(), LA_PARAM_PIPE), number);
    LA_SetParameter(second.get(), LA_PARAM_PIPE, 0);
    EXPECT_EQ(parameter(second.get(), LA_PARAM_PIPE), 0);
    LA_DestroyPipe(pipe);
}

TEST(ApiTest, DoneDestroysOnlyTheContextsOwnPipe) {
    FakeAnalysis fake;
    Context ctx = makeContext(), borrower = makeContext();
    ASSERT_EQ(execute(ctx.get()), LA_STATUS_OK);
    const std::int32_t defaultPipe = parameter(ctx.get(), LA_PARAM_PIPE);
    LA_SetParameter(borrower.get(), LA_PARAM_PIPE, defaultPipe);

    LaPipe* callerPipe = LA_CreatePipe(ctx.get());
    LA_Done(ctx.release());
    // The caller's pipe is alive; the default pipe is gone and no longer named.
    EXPECT_EQ(LA_AddFunctionToPipe(callerPipe, LA_FUNCTION_LINES_AND_TABLES), LA_STATUS_OK);
    EXPECT_EQ(parameter(borrower.get(), LA_PARAM_PIPE), 0);
    fake.results().calls.clear();
    ASSERT_EQ(execute(borrower.get()), LA_STATUS_OK);
    EXPECT_EQ(fake.calledCodes(), kDefaultPipe);
    LA_DestroyPipe(callerPipe);
}

TEST(ApiTest, DefaultPipeIsNeverLost) {
    FakeAnalysis fake;
    Context ctx = makeContext();
    ASSERT_EQ(execute(ctx.get()), LA_STATUS_OK);
    const std::int32_t defaultPipe = parameter(ctx.get(), LA_PARAM_PIPE);

    LaPipe* callerPipe = LA_CreatePipe(ctx.get());
    LA_AddFunctionToPipe(callerPipe, LA_FUNCTION_PICTURES);
    LA_SetParameter(ctx.get(), LA_PARAM_NOISE_AND_PICTURES, 33);
    fake.results().calls.clear();
    ASSERT_EQ(execute(ctx.get()), LA_STATUS_OK);
    EXPECT_EQ(fake.calledCodes(), std::vector<std::int32_t>{LA_FUNCTION_PICTURES});

    // Destroying the installed pipe leaves no dangling handle: the next run
    // goes back to the context's own pipe and its parameters.
    LA_DestroyPipe(callerPipe);
    EXPECT_EQ(parameter(ctx.get(), LA_PARAM_PIPE), 0);
    EXPECT_EQ(LA_AddFunctionToPipe(callerPipe, LA_FUNCTION_LINES_AND_TABLES),
              LA_STATUS_OUT_OF_MEMORY);
    LA_DestroyPipe(callerPipe);
    fake.results().calls.clear();
    ASSERT_EQ(execute(ctx.get()), LA_STATUS_OK);
    EXPECT_EQ(fake.calledCodes(), kDefaultPipe);
    EXPECT_EQ(parameter(ctx.get(), LA_PARAM_PIPE), defaultPipe);
    EXPECT_EQ(parameter(ctx.get(), LA_PARAM_NOISE_AND_PICTURES), 9);
}

TEST(ApiTest, DibThatIsNotOneBitIsRefused) {
    Context ctx = makeContext();
    for (std::uint8_t bits : {4, 24}) {
        auto dib = blankDib();
        static_cast<std::uint8_t*>(platform::globalLock(dib.get()))[14] = bits;
        platform::globalUnlock(dib.get());
        EXPECT_EQ(LA_Execute(ctx.get(), dib.get()), LA_STATUS_NOT_AVAILABLE) << int(bits);
    }
    EXPECT_EQ(LA_Execute(ctx.get(), nullptr), LA_STATUS_NOT_AVAILABLE);
}

TEST(ApiTest, FailedImportKeepsThePreviousTable) {
    FakeAnalysis fake;
    fake.results().pictures = {{10, 20, 5, 9}, {30, 40, 5, 9}};
    Context ctx = makeContext();
    LaPipe* pipe = LA_CreatePipe(ctx.get());
    LA_AddFunctionToPipe(pipe, LA_FUNCTION_PICTURES);
    ASSERT_EQ(execute(ctx.get()), LA_STATUS_OK);
    const auto before = zoneTable(ctx.get());
    ASSERT_EQ(before.size(), 2u);

    auto dib = blankDib();
    static_cast<std::uint8_t*>(platform::globalLock(dib.get()))[14] = 8;
    platform::globalUnlock(dib.get());
    EXPECT_EQ(LA_Execute(ctx.get(), dib.get()), LA_STATUS_NOT_AVAILABLE);
    EXPECT_EQ(zoneTable(ctx.get()), before);
    LA_DestroyPipe(pipe);
}

TEST(ApiTest, ZoneIndexOutOfRangeWritesNothing) {
    Context ctx = makeContext();
    LaPipe* pipe = LA_CreatePipe(ctx.get());
    ASSERT_EQ(execute(ctx.get()), LA_STATUS_OK); // an empty pipe still builds the table
    EXPECT_EQ(LA_GetZonesCount(ctx.get()), 0);
    std::int32_t a = 1, b = 2, c = 3, d = 4;
    EXPECT_EQ(LA_GetZoneRect(ctx.get(), 0, &a, &b, &c, &d), LA_STATUS_BAD_CONTEXT_OR_INDEX);
    EXPECT_EQ(LA_GetZoneRect(ctx.get(), -1, &a, &b, &c, &d), LA_STATUS_BAD_CONTEXT_OR_INDEX);
    EXPECT_EQ(LA_GetZoneContent(ctx.get(), -1, &a), LA_STATUS_BAD_CONTEXT_OR_INDEX);
    EXPECT_EQ(a + b + c + d, 10);
    LA_DestroyPipe(pipe);
}

TEST(ApiTest, FunctionOutOfMemoryIsReportedAfterTheWholeRun) {
    FakeAnalysis fake;
    fake.results().lines = {{10, 5, 40, 5, 0, 0, 0, 0, 0, 0, 0}};
    fake.results().pictures = {{50, 60, 20, 30}};
    Context ctx = makeContext();
    LaPipe* pipe = LA_CreatePipe(ctx.get());
    for (std::int32_t code : {2, 8, 16}) LA_AddFunctionToPipe(pipe, code);
    fake.results().outOfMemoryCode = 8;
    EXPECT_EQ(execute(ctx.get()), 1);
    // The functions after it ran, and the table holds what the others found.
    EXPECT_EQ(fake.calledCodes(), (std::vector<std::int32_t>{2, 8, 16}));
    EXPECT_EQ(zoneTable(ctx.get()),
              (std::vector<ZoneRow>{{10, 34, 40, 34, 0}, {50, 9, 60, 19, 5}}));

    fake.results().throwOutOfMemory = true;
    EXPECT_EQ(execute(ctx.get()), 1);

    // Any other failure of a function leaves the run a success.
    fake.results().throwOutOfMemory = false;
    fake.results().outOfMemoryCode = 0;
    for (std::int32_t status : {2, 4}) {
        fake.results().status = status;
        EXPECT_EQ(execute(ctx.get()), 0) << status;
        EXPECT_EQ(LA_GetZonesCount(ctx.get()), 2);
    }
    LA_Done(ctx.release());
    LA_DestroyPipe(pipe);
}

// With the real analysis functions: a drawn page analysed twice on one
// context gives the same table.
TEST(ApiTest, RepeatedRunsGiveTheSameTable) {
    TestPage page(400, 300);
    page.fillRect(20, 250, 360, 3);                                      // a ruling line
    for (int k = 0; k < 6; ++k) page.fillRect(30 + 50 * k, 200, 30, 12); // a row of words
    page.fillRect(100, 40, 120, 80);                                     // a dark band
    auto dib = page.toDib();
    Context ctx = makeContext();
    const std::int32_t first = LA_Execute(ctx.get(), dib.get());
    const auto table = zoneTable(ctx.get());
    EXPECT_EQ(LA_Execute(ctx.get(), dib.get()), first);
    EXPECT_EQ(zoneTable(ctx.get()), table);
}

} // namespace
