// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The quadrel program reuses its heap from page to page: once the first
// pages have warmed it, further pages take few fresh memory pages from the
// system (with glibc's defaults each took over a thousand).
#include "tests/cli/cli_fixture.h"

#include <sys/resource.h>

namespace clitest {
namespace {

// Minor page faults of one run of the program over `copies` rounds of `pages`.
long faultsOfRun(const std::vector<std::string>& pages, int copies) {
    std::vector<std::string> args{"--quiet"};
    for (int k = 0; k < copies; ++k) args.insert(args.end(), pages.begin(), pages.end());
    rusage before{}, after{};
    getrusage(RUSAGE_CHILDREN, &before);
    const RunResult run = runQuadrel(args);
    getrusage(RUSAGE_CHILDREN, &after);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    return after.ru_minflt - before.ru_minflt;
}

TEST_F(QuadrelCli, FurtherPagesTakeFewFreshMemoryPages) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "the sanitizers bring their own allocator";
#endif
    std::vector<std::string> pages{generatedPage()};
    if (!ccitt(4).empty()) pages.push_back(ccitt(4));
    constexpr int kFew = 2, kMany = 10;
    const long few = faultsOfRun(pages, kFew);
    const long many = faultsOfRun(pages, kMany);
    const double perPage = double(many - few) / double((kMany - kFew) * long(pages.size()));
    EXPECT_LT(perPage, 200.0) << few << " faults for " << kFew << " rounds, " << many << " for "
                              << kMany;
}

} // namespace
} // namespace clitest
