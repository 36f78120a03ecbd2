// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Every page of the fixture set, analysed now, must give exactly the zone
// table saved in tests/golden/data: any change of a zone, its order, its
// content code, the status or the skew angle fails.
#include "tests/golden/golden_run.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace golden {
// The pipe by name in test listings.
void PrintTo(Pipe pipe, std::ostream* out) {
    *out << (pipe == Pipe::kDefault ? "default pipe" : "full pipe");
}
} // namespace golden

namespace {

using golden::Pipe;

std::filesystem::path fixturePath(const std::string& page, Pipe pipe) {
    return std::filesystem::path(QUADREL_GOLDEN_DATA_DIR) / golden::fixtureName(page, pipe);
}

std::optional<std::string> readFixture(const std::string& page, Pipe pipe) {
    std::ifstream in(fixturePath(page, pipe));
    if (!in) return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

// The first line where the two tables differ, for a readable failure.
std::string firstDifference(const std::string& expected, const std::string& actual) {
    const auto a = lines(expected);
    const auto b = lines(actual);
    for (std::size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
        const std::string left = i < a.size() ? a[i] : "(none)";
        const std::string right = i < b.size() ? b[i] : "(none)";
        if (left != right)
            return "line " + std::to_string(i + 1) + ": expected \"" + left + "\", got \"" + right +
                   "\" (" + std::to_string(a.size()) + " vs " + std::to_string(b.size()) +
                   " lines)";
    }
    return "identical";
}

const testsupport::TestPage* pageNamed(const std::string& name) {
    static std::map<std::string, std::optional<testsupport::TestPage>> cache;
    auto it = cache.find(name);
    if (it == cache.end()) {
        for (const golden::PageCase& c : golden::pageCases())
            if (c.name == name) it = cache.emplace(name, c.load(name)).first;
        if (it == cache.end()) return nullptr;
    }
    return it->second ? &*it->second : nullptr;
}

// Zone lines of a fixture as numbers: left top right bottom content.
struct Zone {
    int left, top, right, bottom, content;
};

std::vector<Zone> zonesOf(const std::string& text) {
    std::vector<Zone> zones;
    const auto all = lines(text);
    for (std::size_t i = 1; i < all.size(); ++i) {
        Zone z{};
        std::istringstream(all[i]) >> z.left >> z.top >> z.right >> z.bottom >> z.content;
        zones.push_back(z);
    }
    return zones;
}

int countContent(const std::vector<Zone>& zones, int content) {
    int n = 0;
    for (const Zone& z : zones) n += z.content == content;
    return n;
}

class GoldenZoneTable : public testing::TestWithParam<std::tuple<std::string, Pipe>> {};

TEST_P(GoldenZoneTable, MatchesFixture) {
    const auto& [name, pipe] = GetParam();
    const testsupport::TestPage* page = pageNamed(name);
    if (!page) GTEST_SKIP() << name << " is not available here";
    const std::optional<std::string> expected = readFixture(name, pipe);
    ASSERT_TRUE(expected) << "missing fixture " << fixturePath(name, pipe);
    const std::string actual = golden::zoneTableText(*page, pipe);
    EXPECT_EQ(*expected, actual) << firstDifference(*expected, actual);
}

std::vector<std::tuple<std::string, Pipe>> allCases() {
    std::vector<std::tuple<std::string, Pipe>> cases;
    for (const golden::PageCase& c : golden::pageCases())
        for (Pipe pipe : golden::pipes()) cases.emplace_back(c.name, pipe);
    return cases;
}

std::string caseName(const testing::TestParamInfo<std::tuple<std::string, Pipe>>& info) {
    std::string name = std::get<0>(info.param) +
                       (std::get<1>(info.param) == Pipe::kDefault ? "_default" : "_full");
    for (char& ch : name)
        if (ch == '-') ch = '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Pages, GoldenZoneTable, testing::ValuesIn(allCases()), caseName);

// One context analysing every CCITT page in turn must give each page's own
// table: nothing of one run may leak into the next.
TEST(GoldenZoneTableReuse, OneContextForEveryCcittPage) {
    for (Pipe pipe : golden::pipes()) {
        golden::Analysis analysis(pipe);
        for (int n = 8; n >= 1; --n) {
            const std::string name = "ccitt" + std::to_string(n);
            const testsupport::TestPage* page = pageNamed(name);
            if (!page) GTEST_SKIP() << "CCITT pages not available";
            const std::optional<std::string> expected = readFixture(name, pipe);
            ASSERT_TRUE(expected);
            const std::string actual = analysis.zoneTableText(*page);
            EXPECT_EQ(*expected, actual) << name << ": " << firstDifference(*expected, actual);
        }
    }
}

// The generated pages are there to reach particular code paths; a fixture
// that no longer shows them would guard nothing.
TEST(GoldenFixtures, GeneratedPagesShowWhatTheyWereMadeFor) {
    const auto table = readFixture("a4-table", Pipe::kDefault);
    const auto banner = readFixture("banner", Pipe::kDefault);
    const auto picture = readFixture("picture", Pipe::kFull);
    const auto tilted = readFixture("tilted", Pipe::kFull);
    ASSERT_TRUE(table && banner && picture && tilted);
    EXPECT_EQ(countContent(zonesOf(*table), 1), 1) << "one table";
    EXPECT_GE(countContent(zonesOf(*table), 3), 30) << "its cells";
    EXPECT_GE(countContent(zonesOf(*table), 6), 2) << "text beside it";
    EXPECT_EQ(countContent(zonesOf(*banner), 4), 1) << "the white-on-black banner";
    EXPECT_GE(countContent(zonesOf(*picture), 5), 1) << "the drawing";
    int angle = 0;
    std::istringstream(lines(*tilted)[0].substr(lines(*tilted)[0].find("skew") + 5)) >> angle;
    EXPECT_GE(std::abs(angle), 100) << "a tilt large enough for the page to be turned back";
}

} // namespace
