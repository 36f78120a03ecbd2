// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "cli/result_message.h"

#include <cstdint>
#include <cstring>
#include <type_traits>

namespace quadrel_cli {

namespace {

static_assert(std::is_trivially_copyable_v<zones::ZoneRecord>);

template <class T> void put(std::string& out, const T& value) {
    out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

class Reader {
  public:
    explicit Reader(std::string_view bytes) : rest_(bytes) {}

    template <class T> bool get(T& value) {
        if (rest_.size() < sizeof value) return false;
        std::memcpy(&value, rest_.data(), sizeof value);
        rest_.remove_prefix(sizeof value);
        return true;
    }

    bool getText(std::string& text, std::uint64_t length) {
        if (rest_.size() < length) return false;
        text.assign(rest_.substr(0, std::size_t(length)));
        rest_.remove_prefix(std::size_t(length));
        return true;
    }

    bool getZones(std::vector<zones::ZoneRecord>& zones, std::uint64_t count) {
        if (rest_.size() / sizeof(zones::ZoneRecord) < count) return false;
        zones.resize(std::size_t(count));
        if (zones.empty()) return true;
        std::memcpy(zones.data(), rest_.data(), zones.size() * sizeof(zones::ZoneRecord));
        rest_.remove_prefix(zones.size() * sizeof(zones::ZoneRecord));
        return true;
    }

    bool done() const { return rest_.empty(); }

  private:
    std::string_view rest_;
};

} // namespace

std::string encodeResult(const PageResult& result) {
    std::string out;
    out.reserve(64 + result.error.size() + result.zones.size() * sizeof(zones::ZoneRecord));
    put(out, std::uint64_t(result.error.size()));
    out += result.error;
    for (const std::int32_t value : {result.width, result.height, result.xDpi, result.yDpi,
                                     result.skew, std::int32_t(result.skewMeasured)})
        put(out, value);
    put(out, std::uint64_t(result.zones.size()));
    if (!result.zones.empty())
        out.append(reinterpret_cast<const char*>(result.zones.data()),
                   result.zones.size() * sizeof(zones::ZoneRecord));
    return out;
}

std::optional<PageResult> decodeResult(std::string_view bytes) {
    Reader in(bytes);
    PageResult result;
    std::uint64_t length = 0;
    std::int32_t skewMeasured = 0;
    std::uint64_t count = 0;
    const bool whole = in.get(length) && in.getText(result.error, length) && in.get(result.width) &&
                       in.get(result.height) && in.get(result.xDpi) && in.get(result.yDpi) &&
                       in.get(result.skew) && in.get(skewMeasured) && in.get(count) &&
                       in.getZones(result.zones, count) && in.done();
    if (!whole || (skewMeasured != 0 && skewMeasured != 1)) return std::nullopt;
    result.skewMeasured = skewMeasured == 1;
    return result;
}

} // namespace quadrel_cli
