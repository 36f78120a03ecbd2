// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "zones/xml_writer.h"

#include <cstdint>

namespace zones {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD"; // U+FFFD

// Length of the well-formed UTF-8 sequence at `text[i]`, 0 when there is none.
std::size_t utf8Length(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return std::uint8_t(text[k]); };
    const std::uint8_t lead = byte(i);
    std::size_t length = 0;
    std::uint32_t min = 0;
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2, min = 0x80;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3, min = 0x800;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4, min = 0x10000;
    else
        return 0;
    if (i + length > text.size()) return 0;
    std::uint32_t code = lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
        code = code << 6 | (byte(i + k) & 0x3F);
    }
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    const bool nonCharacter = code == 0xFFFE || code == 0xFFFF;
    return code < min || code > 0x10FFFF || surrogate || nonCharacter ? 0 : length;
}

void appendEscapedAscii(std::string& out, char c) {
    switch (c) {
    case '&':
        out += "&amp;";
        break;
    case '<':
        out += "&lt;";
        break;
    case '>':
        out += "&gt;";
        break;
    case '"':
        out += "&quot;";
        break;
    case '\t':
        out += "&#9;";
        break;
    case '\n':
        out += "&#10;";
        break;
    case '\r':
        out += "&#13;";
        break;
    default:
        if (std::uint8_t(c) < 0x20 || c == 0x7F)
            out += kReplacement;
        else
            out += c;
    }
}

} // namespace

std::string XmlEscaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = utf8Length(text, i);
        if (length == 0) {
            out += kReplacement;
            ++i;
        } else if (length == 1) {
            appendEscapedAscii(out, text[i++]);
        } else {
            out.append(text.substr(i, length));
            i += length;
        }
    }
    return out;
}

XmlWriter::XmlWriter() : text_("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n") {}

void XmlWriter::line(std::string_view text) {
    text_.append(2 * open_.size(), ' ');
    text_ += text;
    text_ += '\n';
}

void XmlWriter::startTag(std::string_view tag, const XmlAttributes& attributes) {
    text_.append(2 * open_.size(), ' ');
    text_ += '<';
    text_ += tag;
    for (const auto& [name, value] : attributes) {
        text_ += ' ';
        text_ += name;
        text_ += "=\"";
        text_ += XmlEscaped(value);
        text_ += '"';
    }
}

void XmlWriter::open(std::string_view tag, const XmlAttributes& attributes) {
    startTag(tag, attributes);
    text_ += ">\n";
    open_.emplace_back(tag);
}

void XmlWriter::empty(std::string_view tag, const XmlAttributes& attributes) {
    startTag(tag, attributes);
    text_ += "/>\n";
}

void XmlWriter::element(std::string_view tag, std::string_view text,
                        const XmlAttributes& attributes) {
    startTag(tag, attributes);
    text_ += '>';
    text_ += XmlEscaped(text);
    text_ += "</";
    text_ += tag;
    text_ += ">\n";
}

void XmlWriter::close() {
    if (open_.empty()) return;
    const std::string tag = std::move(open_.back());
    open_.pop_back();
    text_.append(2 * open_.size(), ' ');
    text_ += "</" + tag + ">\n";
}

std::string XmlWriter::finish() {
    while (!open_.empty()) close();
    return std::move(text_);
}

} // namespace zones
