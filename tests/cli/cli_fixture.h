// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// What the command line's end-to-end tests share: a page with text and a
// ruled table, a scratch folder per test, and JSON runs.
#pragma once

#include "tests/cli/quadrel_run.h"
#include "tests/support/test_page.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace clitest {

inline const char* const kNotBlackAndWhite =
    "Images is not black and white: analysis is not possible. Please threshold the image "
    "before to process it !";

// Eight lines of letter-like marks above a ruled table of two columns (1200 x 900).
testsupport::TestPage letterAndTablePage();

// Content codes of a JSON page's zones.
std::set<int> contentsOf(const nlohmann::json& page);

class QuadrelCli : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    // letterAndTablePage() as a Group 4 TIFF in the scratch folder.
    std::string generatedPage(const std::string& name = "generated.tif") const;
    static std::string ccitt(int n) { return testsupport::ccittTiffPath(n); }
    // Runs with --json added; expects `expectedExit` and returns the document.
    static nlohmann::json runJson(std::vector<std::string> args, int expectedExit = 0);
    // Files in the scratch folder, by name.
    std::set<std::string> filesIn(const std::string& folder = ".") const;

    std::filesystem::path dir_;
};

} // namespace clitest
