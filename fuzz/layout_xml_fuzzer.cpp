// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The XML layout writer on arbitrary zone tables, read through stand-in zone
// accessors that may also report a count the table does not hold (as a
// faulty or foreign library could).
//
// An input is a flags byte, a 32-bit zone count (taken modulo 301, sign
// kept), then 20 bytes per zone (left, top, right, bottom, content as 32-bit
// values). The text must have the documented shape, carry back exactly the
// values the accessors gave, and a written file must hold exactly that text.
#include "fuzz/fuzz_input.h"
#include "zones/layout_xml.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using fuzzing::FuzzInput;

// Counts stay small enough for thousands of runs a second.
constexpr std::int32_t kMaxCount = 300;

void check(bool condition) {
    if (!condition) __builtin_trap();
}

struct Table {
    std::int32_t count = 0;
    std::vector<zones::ZoneRecord> zones;
};

// The accessors see the table through the context pointer, as the library's do.
Table* tableOf(LaContext* ctx) {
    return reinterpret_cast<Table*>(ctx);
}

std::int32_t countOf(LaContext* ctx) {
    return tableOf(ctx)->count;
}

bool inTable(LaContext* ctx, std::int32_t index) {
    return index >= 0 && std::size_t(index) < tableOf(ctx)->zones.size();
}

std::int32_t rectOf(LaContext* ctx, std::int32_t index, std::int32_t* left, std::int32_t* top,
                    std::int32_t* right, std::int32_t* bottom) {
    if (!inTable(ctx, index)) return 11;
    const zones::ZoneRecord& z = tableOf(ctx)->zones[std::size_t(index)];
    *left = z.left;
    *top = z.top;
    *right = z.right;
    *bottom = z.bottom;
    return 0;
}

std::int32_t contentOf(LaContext* ctx, std::int32_t index, std::int32_t* content) {
    if (!inTable(ctx, index)) return 11;
    *content = tableOf(ctx)->zones[std::size_t(index)].content;
    return 0;
}

const std::array<std::string, 8> kContentLines = {
    "<content>line</content>",          "<content>table</content>",
    "<content>column table</content>",  "<content>cell table</content>",
    "<content>inverted text</content>", "<content>image</content>",
    "<content>text</content>",          "<content>noise</content>"};

std::string element(const char* tag, std::int32_t value) {
    return std::string("<") + tag + ">" + std::to_string(value) + "</" + tag + ">";
}

void checkLines(const std::vector<std::string>& lines, const Table& table) {
    const std::int32_t n = table.count;
    const std::size_t zones = std::size_t(std::max(n, 0));
    check(lines.size() == 5 + 7 * zones);
    for (const std::string& line : lines)
        for (char c : line) check(c >= 0x20 && c < 0x7F);
    check(lines[3] == "<zones count=\"" + std::to_string(n) + "\">");
    for (std::size_t i = 0; i < zones; ++i) {
        // A zone the table does not hold reads as zeros.
        const zones::ZoneRecord z = i < table.zones.size() ? table.zones[i] : zones::ZoneRecord{};
        const std::string* at = &lines[4 + 7 * i];
        check(at[0] == "<zone index=\"" + std::to_string(i) + "\">");
        check(at[1] == element("left", z.left));
        check(at[2] == element("top", z.top));
        check(at[3] == element("right", z.right));
        check(at[4] == element("bottom", z.bottom));
        const std::size_t kind = z.content >= 0 && z.content < 7 ? std::size_t(z.content) : 7;
        check(at[5] == kContentLines[kind]);
        check(at[6] == "</zone>");
    }
    check(lines.back() == "</zones>");
}

// A folder of this process for the written files, under the temporary
// directory (scripts/run-fuzz.sh points TMPDIR into the build directory).
const std::filesystem::path& scratchFolder() {
    static const std::filesystem::path dir = [] {
        auto d = std::filesystem::temp_directory_path() /
                 ("quadrel-xml-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(d);
        return d;
    }();
    return dir;
}

void checkWrittenFile(const zones::ZoneSource& source, const std::string& text) {
    const std::filesystem::path& dir = scratchFolder();
    const auto file = dir / "zones.xml";
    zones::WriteLayoutXml(file, source);
    std::ifstream in(file, std::ios::binary);
    const std::string written((std::istreambuf_iterator<char>(in)),
                              std::istreambuf_iterator<char>());
    check(written == text);
    // Only the finished file is left behind.
    check(std::distance(std::filesystem::directory_iterator(dir),
                        std::filesystem::directory_iterator()) == 1);
    // A folder that does not exist is reported, not ignored.
    bool refused = false;
    try {
        zones::WriteLayoutXml(dir / "missing" / "zones.xml", source);
    } catch (const std::runtime_error&) {
        refused = true;
    }
    check(refused);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const std::uint8_t flags = in.byte();
    Table table;
    table.count = std::int32_t(in.u32()) % (kMaxCount + 1);
    while (in.rest().size() >= 20 && table.zones.size() < std::size_t(kMaxCount)) {
        zones::ZoneRecord z;
        z.left = std::int32_t(in.u32());
        z.top = std::int32_t(in.u32());
        z.right = std::int32_t(in.u32());
        z.bottom = std::int32_t(in.u32());
        z.content = std::int32_t(in.u32());
        table.zones.push_back(z);
    }
    zones::ZoneSource source;
    source.context = reinterpret_cast<LaContext*>(&table);
    source.count = countOf;
    source.rect = rectOf;
    source.content = contentOf;

    const std::vector<std::string> lines = zones::layoutXmlLines(source);
    checkLines(lines, table);
    const std::string text = zones::layoutXmlText(source);
    std::string joined;
    for (const std::string& line : lines) joined += line + "\r\n";
    check(text == joined);
    if (flags & 1) checkWrittenFile(source, text);
    return 0;
}
