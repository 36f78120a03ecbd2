// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "tests/support/xml_validation.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <sys/wait.h>

#ifndef QUADREL_TEST_SCHEMA_DIR
#error "QUADREL_TEST_SCHEMA_DIR must name tests/schemas"
#endif

namespace testsupport {
namespace {

std::string quotedForShell(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

bool xmllintFound() {
    return std::system("command -v xmllint >/dev/null 2>&1") == 0;
}

XmlCheck runXmllint(const std::string& arguments) {
    XmlCheck check;
    if (!xmllintFound()) return check;
    FILE* pipe = ::popen(("xmllint --noout " + arguments + " 2>&1").c_str(), "r");
    if (!pipe) return check;
    std::array<char, 4096> buffer{};
    std::size_t n = 0;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        check.output.append(buffer.data(), n);
    const int status = ::pclose(pipe);
    check.ran = true;
    check.valid = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return check;
}

} // namespace

std::string schemaPath(const std::string& name) {
    return std::string(QUADREL_TEST_SCHEMA_DIR) + "/" + name;
}

XmlCheck validateAgainstSchema(const std::string& schema, const std::string& file) {
    return runXmllint("--schema " + quotedForShell(schema) + " " + quotedForShell(file));
}

XmlCheck checkWellFormed(const std::string& file) {
    return runXmllint(quotedForShell(file));
}

bool xmllintRequired() {
    return std::getenv("CI") != nullptr;
}

} // namespace testsupport
