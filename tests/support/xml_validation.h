// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Validation of written XML files with xmllint (package libxml2-utils)
// against the schemas kept in tests/schemas.
#pragma once

#include <string>

namespace testsupport {

struct XmlCheck {
    bool ran = false;   // xmllint was found and ran
    bool valid = false; // it accepted the file
    std::string output; // what it said
};

// Path of a schema in tests/schemas ("pagecontent-2019-07-15.xsd", "alto-4-4.xsd").
std::string schemaPath(const std::string& name);

// xmllint --noout --schema SCHEMA FILE.
XmlCheck validateAgainstSchema(const std::string& schema, const std::string& file);

// xmllint --noout FILE: the file is well-formed XML.
XmlCheck checkWellFormed(const std::string& file);

// Whether a missing xmllint fails the test rather than skipping it: in CI
// (environment variable CI set), which installs it.
bool xmllintRequired();

} // namespace testsupport
