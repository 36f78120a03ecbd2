// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The quadrel program under an address-space limit: whatever the limit, a
// page is either analysed completely or reported as failed, never reported
// with zones missing.
#include "tests/cli/quadrel_run.h"
#include "tests/cli/tiff_files.h"
#include "tests/support/synthetic_pages.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <unistd.h>

namespace {

using clitest::runQuadrel;
using nlohmann::json;

constexpr std::uint64_t kMiB = 1024 * 1024;
constexpr int kExitLoaderFailed = 127; // the program's libraries could not be mapped

TEST(QuadrelMemoryLimit, PagesAreAnalysedWhollyOrFailed) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "sanitizers reserve more address space than any limit allows";
#endif
    const std::filesystem::path page = std::filesystem::temp_directory_path() /
                                       ("quadrel-memory-" + std::to_string(::getpid()) + ".tif");
    // An A4 page at 600 dpi: the analysis needs some tens of MiB.
    clitest::writeBilevelTiff(page.string(), {testsupport::textLikePage(4960, 7016, 600)});
    const clitest::RunResult unlimited = runQuadrel({"--json", page.string()});
    ASSERT_EQ(unlimited.exitCode, 0) << unlimited.err;
    const json zones = json::parse(unlimited.out)["pages"][0]["zones"];
    ASSERT_GT(zones.size(), 10u);

    // Raise the limit until the page is analysed a few times in a row.
    int started = 0, failed = 0, analysed = 0;
    for (std::uint64_t limit = 32 * kMiB; limit <= 2048 * kMiB && analysed < 3; limit += 4 * kMiB) {
        const clitest::RunResult r = runQuadrel({"--json", page.string()}, limit);
        const std::string at = std::to_string(limit / kMiB) + " MiB: " + r.err;
        if (r.exitCode == kExitLoaderFailed && started == 0) continue;
        ++started;
        ASSERT_TRUE(r.exitCode == 0 || r.exitCode == 1) << at << "exit " << r.exitCode;
        if (r.exitCode == 0) {
            ++analysed;
            EXPECT_EQ(json::parse(r.out)["pages"][0]["zones"], zones) << at;
        } else {
            ++failed;
            EXPECT_NE(r.err.find(page.string() + ", page 0: "), std::string::npos) << at;
        }
    }
    std::filesystem::remove(page);
    EXPECT_EQ(analysed, 3);
    EXPECT_GT(failed, 0) << "no limit was tight enough for the analysis";
}

} // namespace
