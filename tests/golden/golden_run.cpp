// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "tests/golden/golden_run.h"

#include "library/la_api.h"
#include "tests/support/generated_pages.h"

#include <cstdint>
#include <sstream>
#include <stdexcept>

namespace golden {

namespace {

constexpr std::int32_t kFullPipe[] = {LA_FUNCTION_SKEW,         LA_FUNCTION_LINES_AND_TABLES,
                                      LA_FUNCTION_INVERSE_TEXT, LA_FUNCTION_LINE_REMOVAL,
                                      LA_FUNCTION_PICTURES,     LA_FUNCTION_TEXT_BLOCKS};

// The values the library gives its own pipe; a caller's pipe starts without them.
constexpr std::int32_t kDefaultParameters[][2] = {{100, 80}, {101, 120}, {102, 3},  {400, 9},
                                                  {300, 80}, {301, 120}, {200, 80}, {201, 120},
                                                  {202, 3},  {203, 7}};

constexpr std::int32_t kSkewAngleParameter = 600;

std::optional<testsupport::TestPage> loadCcitt(const std::string& name) {
    return testsupport::loadCcittPage(std::stoi(name.substr(5)));
}

std::optional<testsupport::TestPage> loadGenerated(const std::string& name) {
    for (const testsupport::NamedPage& page : testsupport::generatedPages())
        if (page.name == name) return page.make();
    return std::nullopt;
}

} // namespace

const std::vector<PageCase>& pageCases() {
    static const std::vector<PageCase> cases = [] {
        std::vector<PageCase> all;
        for (int n = 1; n <= 8; ++n) all.push_back({"ccitt" + std::to_string(n), &loadCcitt});
        for (const testsupport::NamedPage& page : testsupport::generatedPages())
            all.push_back({page.name, &loadGenerated});
        return all;
    }();
    return cases;
}

const std::vector<Pipe>& pipes() {
    static const std::vector<Pipe> all{Pipe::kDefault, Pipe::kFull};
    return all;
}

std::string fixtureName(const std::string& page, Pipe pipe) {
    return page + (pipe == Pipe::kDefault ? ".default.txt" : ".full.txt");
}

Analysis::Analysis(Pipe pipe) : pipe_(pipe), context_(LA_Init(nullptr, nullptr)) {
    if (!context_) throw std::runtime_error("LA_Init failed");
    if (pipe == Pipe::kDefault) return;
    ownPipe_ = LA_CreatePipe(context_);
    if (!ownPipe_) {
        LA_Done(context_);
        throw std::runtime_error("LA_CreatePipe failed");
    }
    for (std::int32_t code : kFullPipe) LA_AddFunctionToPipe(ownPipe_, code);
    for (const auto& p : kDefaultParameters) LA_SetParameter(context_, p[0], p[1]);
}

Analysis::~Analysis() {
    LA_Done(context_);
    LA_DestroyPipe(ownPipe_);
}

std::string Analysis::zoneTableText(const testsupport::TestPage& page) {
    const platform::GlobalBlockOwner dib = page.toDib();
    std::ostringstream out;
    out << "status " << LA_Execute(context_, dib.get());
    if (pipe_ == Pipe::kFull) {
        std::int32_t angle = 0;
        LA_GetParameter(context_, kSkewAngleParameter, &angle);
        out << " skew " << angle;
    }
    out << '\n';
    const std::int32_t count = LA_GetZonesCount(context_);
    for (std::int32_t i = 0; i < count; ++i) {
        std::int32_t left = 0, top = 0, right = 0, bottom = 0, content = 0;
        LA_GetZoneRect(context_, i, &left, &top, &right, &bottom);
        LA_GetZoneContent(context_, i, &content);
        out << left << ' ' << top << ' ' << right << ' ' << bottom << ' ' << content << '\n';
    }
    return out.str();
}

std::string zoneTableText(const testsupport::TestPage& page, Pipe pipe) {
    Analysis analysis(pipe);
    return analysis.zoneTableText(page);
}

} // namespace golden
