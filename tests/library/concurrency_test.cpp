// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Several callers in one process: every context analyses under the one library
// lock, so threads that each own a context get exactly the tables that one
// thread gets; and the calls that do not take the lock (zone accessors,
// parameters, pipes, LA_Init and LA_Done) are safe on one context while
// another context analyses. Results are gathered in the threads and checked
// afterwards on the test's own thread.
#include "library/la_api.h"
#include "tests/library/every_function_pipe.h"
#include "tests/support/synthetic_pages.h"
#include "tests/support/zone_rows.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <set>
#include <thread>
#include <vector>

namespace {

using namespace testsupport;

constexpr int kThreads = 4;
constexpr int kRounds = 2;

struct Job {
    TestPage page;
    bool everyFunction = false;
};

// Small pages of different kinds, so that threads run different code at once.
std::vector<Job> makeJobs() {
    std::vector<Job> jobs;
    jobs.push_back({textLikePage(620, 877, 75, 1), false});
    jobs.push_back({textLikePage(827, 1169, 100, 2), true});
    jobs.push_back({noisePage(400, 300, 30, 3), false});
    jobs.push_back({checkerboardPage(300, 200, 6), true});
    jobs.push_back({textLikePage(700, 500, 80, 4), true});
    jobs.push_back({noisePage(300, 400, 400, 5), false});
    return jobs;
}

struct Outcome {
    std::int32_t status = -1;
    std::int32_t angle = 0;
    std::vector<ZoneRow> zones;
    bool operator==(const Outcome&) const = default;
};

// One analysis on a fresh context (with its own pipe of every function when
// asked); the context is released before returning.
Outcome analyse(const Job& job) {
    ContextHandle ctx = openContext();
    PipeHandle pipe;
    if (job.everyFunction) pipe = installEveryFunctionPipe(ctx.get());
    platform::GlobalBlockOwner dib = job.page.toDib();
    Outcome outcome;
    outcome.status = LA_Execute(ctx.get(), dib.get());
    LA_GetParameter(ctx.get(), LA_PARAM_SKEW_ANGLE, &outcome.angle);
    outcome.zones = readZoneRows(ctx.get());
    ctx.reset(); // LA_Done before the pipe goes
    return outcome;
}

std::vector<Outcome> analyseInOneThread(const std::vector<Job>& jobs) {
    std::vector<Outcome> outcomes;
    for (const Job& job : jobs) outcomes.push_back(analyse(job));
    return outcomes;
}

TEST(ConcurrencyTest, ThreadsWithTheirOwnContextsMatchOneThread) {
    const std::vector<Job> jobs = makeJobs();
    const std::vector<Outcome> expected = analyseInOneThread(jobs);
    for (const Outcome& o : expected) ASSERT_EQ(o.status, 0);

    // Thread t analyses jobs t, t + 1, ... so that every page is in flight
    // in several threads, each time on a context of its own.
    std::vector<std::vector<Outcome>> got(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            for (int round = 0; round < kRounds; ++round)
                for (std::size_t k = 0; k < jobs.size(); ++k)
                    got[std::size_t(t)].push_back(
                        analyse(jobs[(k + std::size_t(t)) % jobs.size()]));
        });
    for (std::thread& thread : threads) thread.join();

    for (int t = 0; t < kThreads; ++t)
        for (std::size_t i = 0; i < got[std::size_t(t)].size(); ++i) {
            const std::size_t job = (i + std::size_t(t)) % jobs.size();
            EXPECT_EQ(got[std::size_t(t)][i], expected[job]) << "thread " << t << " job " << job;
        }
}

// One context analyses again and again; meanwhile another thread reads the
// zone table of a second, finished context, changes its parameters and pipe,
// releases finished contexts (with the default pipes they made), and makes
// and releases fresh contexts and pipes.
TEST(ConcurrencyTest, OtherContextsStayUsableDuringAnAnalysis) {
    const std::vector<Job> jobs = makeJobs();
    const Outcome expectedBusy = analyse(jobs[1]);
    const Outcome expectedIdle = analyse(jobs[0]);
    const Outcome expectedFinished = analyse(jobs[2]);

    ContextHandle idle = openContext();
    platform::GlobalBlockOwner idleDib = jobs[0].page.toDib();
    ASSERT_EQ(LA_Execute(idle.get(), idleDib.get()), LA_STATUS_OK);
    std::vector<ContextHandle> finished;
    platform::GlobalBlockOwner finishedDib = jobs[2].page.toDib();
    for (int k = 0; k < 20; ++k) {
        finished.push_back(openContext());
        ASSERT_EQ(LA_Execute(finished.back().get(), finishedDib.get()), LA_STATUS_OK);
    }

    std::atomic<bool> busy{true};
    std::vector<Outcome> busyOutcomes;
    std::thread analyser([&] {
        for (int round = 0; round < 3; ++round) busyOutcomes.push_back(analyse(jobs[1]));
        busy = false;
    });

    int changes = 0;
    bool idleTableStable = true;
    bool finishedTablesIntact = true;
    std::int32_t lastParameter = 0;
    while (busy || changes < 50) {
        idleTableStable = idleTableStable && readZoneRows(idle.get()) == expectedIdle.zones;
        LA_SetParameter(idle.get(), LA_PARAM_LINES_MIN_SEED_LENGTH, 60 + changes % 40);
        LA_GetParameter(idle.get(), LA_PARAM_LINES_MIN_SEED_LENGTH, &lastParameter);
        PipeHandle pipe(LA_CreatePipe(idle.get()));
        LA_AddFunctionToPipe(pipe.get(), LA_FUNCTION_TEXT_BLOCKS);
        LA_SetParameter(idle.get(), LA_PARAM_PIPE, 0);
        pipe.reset();
        if (!finished.empty()) {
            finishedTablesIntact = finishedTablesIntact &&
                                   readZoneRows(finished.back().get()) == expectedFinished.zones;
            finished.pop_back(); // LA_Done, default pipe and all
        }
        ContextHandle passing = openContext();
        LA_SetParameter(passing.get(), LA_PARAM_NOISE_AND_PICTURES, changes);
        passing.reset();
        ++changes;
    }
    analyser.join();

    EXPECT_TRUE(idleTableStable);
    EXPECT_TRUE(finishedTablesIntact);
    EXPECT_EQ(lastParameter, 60 + (changes - 1) % 40);
    ASSERT_EQ(busyOutcomes.size(), 3u);
    for (const Outcome& o : busyOutcomes) EXPECT_EQ(o, expectedBusy);
}

// Contexts made and released in several threads at once while others
// analyse: each context's default pipe is its own and goes with it.
TEST(ConcurrencyTest, DefaultPipesOfParallelContextsStayApart) {
    const Job job{textLikePage(400, 560, 50, 7), false};
    const Outcome expected = analyse(job);
    std::vector<std::vector<std::int32_t>> pipeNumbers(kThreads);
    std::vector<std::vector<Outcome>> outcomes(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            platform::GlobalBlockOwner dib = job.page.toDib();
            for (int round = 0; round < 4; ++round) {
                ContextHandle ctx = openContext();
                Outcome o;
                o.status = LA_Execute(ctx.get(), dib.get());
                LA_GetParameter(ctx.get(), LA_PARAM_SKEW_ANGLE, &o.angle);
                o.zones = readZoneRows(ctx.get());
                std::int32_t pipe = 0;
                LA_GetParameter(ctx.get(), LA_PARAM_PIPE, &pipe);
                pipeNumbers[std::size_t(t)].push_back(pipe);
                outcomes[std::size_t(t)].push_back(o);
            }
        });
    for (std::thread& thread : threads) thread.join();
    std::set<std::int32_t> distinct;
    for (int t = 0; t < kThreads; ++t) {
        for (const Outcome& o : outcomes[std::size_t(t)]) EXPECT_EQ(o, expected);
        for (std::int32_t pipe : pipeNumbers[std::size_t(t)]) {
            EXPECT_NE(pipe, 0);
            distinct.insert(pipe);
        }
    }
    // Every context made a pipe of its own; none was handed another's.
    EXPECT_EQ(distinct.size(), std::size_t(kThreads) * 4);
}

} // namespace
