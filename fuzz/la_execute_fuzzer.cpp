// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// LA_Execute on arbitrary pages, pipes and parameters.
//
// An input is read front to back:
//   flags byte: bit 0 the payload is the whole DIB block (header included),
//               else a valid header is made for it; bit 1 black-first palette;
//               bit 2 a pipe of the caller's; bit 3 a second analysis on the
//               same context; bit 4 rows stored top-down; bit 5 destroy the
//               pipe before the second analysis; bit 6 give parameter 500 a
//               stray value before the second analysis
//   pipe:       a length byte, then (with bit 2) one byte per code
//   settings:   a count byte, then per setting an id byte and a 32-bit value
//   page sizes: width and height (16 bits each) of the first page, and one
//               byte that reshapes the second page
//   payload:    pixel bytes, repeated to fill the page
// Every run must end with a documented status, leave the block unlocked and
// give a zone table whose accessors answer within the documented statuses.
#include "fuzz/fuzz_input.h"
#include "library/la_api.h"
#include "platform/global_memory.h"

#include <algorithm>
#include <iterator>
#include <cstring>
#include <vector>

namespace {

using fuzzing::FuzzInput;

constexpr std::int32_t kCodes[] = {1, 2, 4, 8, 16, 32, 0, 3, 64, -1};
constexpr std::int32_t kParameters[] = {
    LA_PARAM_LINES_MIN_SEED_LENGTH,   LA_PARAM_LINES_MAX_THICKNESS,   LA_PARAM_LINES_DIRECTIONS,
    LA_PARAM_REMOVAL_MIN_SEED_LENGTH, LA_PARAM_REMOVAL_MAX_THICKNESS, LA_PARAM_REMOVAL_DIRECTIONS,
    LA_PARAM_REMOVAL_RESERVED,        LA_PARAM_INVERSE_MIN_WIDTH,     LA_PARAM_INVERSE_RESERVED,
    LA_PARAM_NOISE_AND_PICTURES,      LA_PARAM_PIPE,                  LA_PARAM_SKEW_ANGLE};
// Pages stay small enough that one run takes milliseconds under the sanitizers.
constexpr std::int64_t kMaxPixels = std::int64_t(1) << 17;
constexpr int kMaxSkews = 3;

void check(bool condition) {
    if (!condition) __builtin_trap();
}

struct PageShape {
    std::int32_t width = 1;
    std::int32_t height = 1;
};

PageShape limited(std::int32_t width, std::int32_t height) {
    width = std::clamp(width, 1, 1 << 16);
    height = std::clamp<std::int32_t>(height, 1,
                                      std::int32_t(std::max<std::int64_t>(1, kMaxPixels / width)));
    return {width, height};
}

void put32(std::uint8_t* p, std::int32_t v) {
    const auto u = std::uint32_t(v);
    for (int i = 0; i < 4; ++i) p[i] = std::uint8_t(u >> (8 * i));
}

// A packed 1-bit DIB of the given shape whose pixel bytes repeat `payload`.
platform::GlobalBlockOwner makeDib(PageShape shape, bool blackFirst, bool topDown,
                                   std::span<const std::uint8_t> payload) {
    const std::size_t rowLength = (std::size_t(shape.width) + 31) / 32 * 4;
    const std::size_t pixelBytes = rowLength * std::size_t(shape.height);
    platform::GlobalBlockOwner block(platform::globalAlloc(48 + pixelBytes));
    if (!block.get()) return block;
    auto* dib = static_cast<std::uint8_t*>(platform::globalLock(block.get()));
    put32(dib, 40);
    put32(dib + 4, shape.width);
    put32(dib + 8, topDown ? -shape.height : shape.height);
    dib[12] = 1;
    dib[14] = 1;
    put32(dib + 20, std::int32_t(pixelBytes));
    put32(dib + 32, 2);
    const std::uint8_t first = blackFirst ? 0 : 255;
    std::memset(dib + 40, first, 3);
    std::memset(dib + 44, 255 - first, 3);
    if (!payload.empty())
        for (std::size_t i = 0; i < pixelBytes; ++i) dib[48 + i] = payload[i % payload.size()];
    platform::globalUnlock(block.get());
    return block;
}

platform::GlobalBlockOwner rawDib(std::span<const std::uint8_t> payload) {
    platform::GlobalBlockOwner block(platform::globalAlloc(payload.size()));
    if (block.get() && !payload.empty()) {
        std::memcpy(platform::globalLock(block.get()), payload.data(), payload.size());
        platform::globalUnlock(block.get());
    }
    return block;
}

void checkZoneTable(LaContext* ctx) {
    const std::int32_t count = LA_GetZonesCount(ctx);
    check(count >= 0);
    for (std::int32_t i = 0; i < count; ++i) {
        std::int32_t l, t, r, b, c;
        check(LA_GetZoneRect(ctx, i, &l, &t, &r, &b) == 0);
        check(LA_GetZoneContent(ctx, i, &c) == 0);
        check(c >= 0 && c <= 7);
    }
    std::int32_t c = 0;
    check(LA_GetZoneContent(ctx, count, &c) == 11);
    check(LA_GetZoneContent(ctx, -1, &c) == 11);
}

std::int32_t analyse(LaContext* ctx, platform::GlobalHandle dib, bool importable) {
    const std::int32_t status = LA_Execute(ctx, dib);
    check(status == 0 || status == 1 || status == 2 || status == 4);
    // A well-formed page is always imported.
    if (importable) check(status != 2);
    check(platform::globalLockCount(dib) == 0);
    checkZoneTable(ctx);
    return status;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const std::uint8_t flags = in.byte();
    const bool raw = flags & 1;

    LaContext* ctx = LA_Init("", "");
    check(ctx != nullptr);
    LaPipe* pipe = nullptr;
    const int length = in.byte() % 24;
    if (flags & 4) {
        pipe = LA_CreatePipe(ctx);
        int skews = 0;
        for (int i = 0; i < length; ++i) {
            std::int32_t code = kCodes[in.byte() % 10];
            // Every deskew enlarges the page it is given; past three in one
            // pipe a run takes seconds without reaching new code.
            if (code == 1 && ++skews > kMaxSkews) code = 0;
            check(LA_AddFunctionToPipe(pipe, code) == (i < 20 ? 0 : 2));
        }
    }
    const int settings = in.byte() % 8;
    for (int i = 0; i < settings; ++i) {
        const std::int32_t id = kParameters[in.byte() % std::size(kParameters)];
        const auto value = std::int32_t(in.u32());
        check(LA_SetParameter(ctx, id, value) == 0);
    }
    const PageShape first = limited(1 + in.u16() % 8192, 1 + in.u16() % 8192);
    const std::uint8_t reshape = in.byte();
    const std::span<const std::uint8_t> payload = in.rest();

    platform::GlobalBlockOwner dib =
        raw ? rawDib(payload) : makeDib(first, flags & 2, flags & 16, payload);
    if (dib.get()) analyse(ctx, dib.get(), !raw);

    if (flags & 8) {
        // The second page keeps the context's lists of the first run: a
        // function not in this run's pipe still has its old results, made on
        // a page of another size.
        if (flags & 32) {
            LA_DestroyPipe(pipe);
            pipe = nullptr;
        }
        if (flags & 64) LA_SetParameter(ctx, 500, std::int32_t(reshape) * 7919);
        const PageShape second =
            limited(first.height * (1 + (reshape & 3)), first.width / (1 + (reshape >> 6)));
        platform::GlobalBlockOwner again = makeDib(second, reshape & 4, reshape & 8, payload);
        if (again.get()) analyse(ctx, again.get(), true);
    }
    LA_Done(ctx);
    LA_DestroyPipe(pipe);
    return 0;
}
