// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "tests/cli/cli_fixture.h"

#include "tests/cli/tiff_files.h"

#include <unistd.h>

namespace clitest {

using testsupport::TestPage;

TestPage letterAndTablePage() {
    TestPage page(1200, 900);
    auto fillFromTop = [&](int x, int y, int w, int h) { page.fillRect(x, 900 - y - h, w, h); };
    for (int line = 0; line < 8; ++line)
        for (int letter = 0; letter < 40; ++letter)
            fillFromTop(100 + letter * 22 + (letter % 6 == 5 ? 10 : 0), 120 + line * 40, 14, 20);
    fillFromTop(80, 500, 1000, 3);
    fillFromTop(80, 700, 1000, 3);
    fillFromTop(80, 500, 3, 203);
    fillFromTop(580, 500, 3, 203);
    fillFromTop(1077, 500, 3, 203);
    return page;
}

std::set<int> contentsOf(const nlohmann::json& page) {
    std::set<int> codes;
    for (const nlohmann::json& zone : page.at("zones")) codes.insert(zone.at("content").get<int>());
    return codes;
}

void QuadrelCli::SetUp() {
    dir_ = std::filesystem::temp_directory_path() /
           ("quadrel-cli-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
}

void QuadrelCli::TearDown() {
    std::filesystem::remove_all(dir_);
}

std::string QuadrelCli::generatedPage(const std::string& name) const {
    writeBilevelTiff(path(name), {letterAndTablePage()});
    return path(name);
}

nlohmann::json QuadrelCli::runJson(std::vector<std::string> args, int expectedExit) {
    args.push_back("--json");
    const RunResult r = runQuadrel(args);
    EXPECT_EQ(r.exitCode, expectedExit) << r.err;
    return nlohmann::json::parse(r.out);
}

std::set<std::string> QuadrelCli::filesIn(const std::string& folder) const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir_ / folder))
        names.insert(entry.path().filename().string());
    return names;
}

} // namespace clitest
