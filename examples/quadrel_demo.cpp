// Builds a page in memory (a ruled box with lines of letter-like marks),
// analyses it with the default pipe and prints the zone table.
#include "la_api.h"
#include "platform/global_memory.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr int kWidth = 1200;
constexpr int kHeight = 900;
constexpr int kRowBytes = (kWidth + 31) / 32 * 4;

void put32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = std::uint8_t(v >> (8 * i));
}

// Paints a rectangle in page coordinates (y from the top); DIB rows run from the bottom.
void fill(std::uint8_t* pixels, int x, int y, int w, int h) {
    for (int yy = y; yy < y + h; ++yy) {
        std::uint8_t* row = pixels + std::size_t(kHeight - 1 - yy) * kRowBytes;
        for (int xx = x; xx < x + w; ++xx) row[xx >> 3] |= std::uint8_t(0x80 >> (xx & 7));
    }
}

platform::GlobalHandle makePage() {
    platform::GlobalHandle block = platform::globalAlloc(48 + std::size_t(kRowBytes) * kHeight);
    if (!block) return nullptr;
    auto* dib = static_cast<std::uint8_t*>(platform::globalLock(block));
    put32(dib, 40);
    put32(dib + 4, kWidth);
    put32(dib + 8, kHeight);
    dib[12] = 1;
    dib[14] = 1;
    std::memset(dib + 40, 255, 3); // entry 0 white: a 1 bit is black
    std::uint8_t* pixels = dib + 48;
    for (int line = 0; line < 8; ++line)
        for (int letter = 0; letter < 40; ++letter)
            fill(pixels, 100 + letter * 22 + (letter % 6 == 5 ? 10 : 0), 120 + line * 40, 14, 20);
    fill(pixels, 80, 500, 1000, 3); // a ruled table: two rules...
    fill(pixels, 80, 700, 1000, 3);
    fill(pixels, 80, 500, 3, 203); // ...and three columns
    fill(pixels, 580, 500, 3, 203);
    fill(pixels, 1077, 500, 3, 203);
    platform::globalUnlock(block);
    return block;
}

const char* contentName(int content) {
    static const char* names[] = {"line",          "table",   "table column", "table cell",
                                  "inverted text", "picture", "text"};
    return content >= 0 && content < 7 ? names[content] : "noise";
}

} // namespace

int main() {
    platform::GlobalBlockOwner page(makePage());
    LaContext* ctx = LA_Init("demo", "demo");
    if (!page.get() || !ctx) {
        std::fprintf(stderr, "quadrel_demo: out of memory\n");
        return 1;
    }
    const std::int32_t status = LA_Execute(ctx, page.get());
    const std::int32_t count = LA_GetZonesCount(ctx);
    std::printf("Analysed a %d x %d page: status %d, %d zones\n", kWidth, kHeight, status, count);
    std::printf("%5s %6s %6s %6s %6s  %s\n", "zone", "left", "top", "right", "bottom", "content");
    for (std::int32_t i = 0; i < count; ++i) {
        std::int32_t l = 0, t = 0, r = 0, b = 0, c = 0;
        LA_GetZoneRect(ctx, i, &l, &t, &r, &b);
        LA_GetZoneContent(ctx, i, &c);
        std::printf("%5d %6d %6d %6d %6d  %s\n", i, l, t, r, b, contentName(c));
    }
    LA_Done(ctx);
    return status == 0 ? 0 : 1;
}
