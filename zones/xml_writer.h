// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// A small writer of indented UTF-8 XML for the standard layout formats.
// Text and attribute values are escaped, and whatever cannot stand in an XML
// document (bytes that are not UTF-8, control characters) becomes U+FFFD, so
// a strange file name never makes the document unreadable.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zones {

using XmlAttributes = std::vector<std::pair<std::string_view, std::string>>;

// `text` made safe for XML character data and double-quoted attribute values.
std::string XmlEscaped(std::string_view text);

class XmlWriter {
  public:
    // Starts the document with the XML declaration.
    XmlWriter();

    // Raw text on a line of its own (a DOCTYPE, for instance).
    void line(std::string_view text);
    // <tag attributes...>, indented; its content follows on the next lines.
    void open(std::string_view tag, const XmlAttributes& attributes = {});
    // <tag attributes.../>
    void empty(std::string_view tag, const XmlAttributes& attributes = {});
    // <tag attributes...>text</tag> on one line.
    void element(std::string_view tag, std::string_view text, const XmlAttributes& attributes = {});
    // Closes the innermost open element.
    void close();

    // The document; every open element is closed first.
    std::string finish();

  private:
    void startTag(std::string_view tag, const XmlAttributes& attributes);

    std::string text_;
    std::vector<std::string> open_;
};

} // namespace zones
