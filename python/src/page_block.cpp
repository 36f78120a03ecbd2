#include "python/src/page_block.h"

#include <cstring>
#include <new>
#include <stdexcept>

namespace quadrel_python {
namespace {

constexpr std::size_t kHeaderBytes = 40;
constexpr std::size_t kPaletteBytes = 8;
// Pixel rows of one page at most, as the image library's own limit.
constexpr std::int64_t kMaxPixelBytes = std::int64_t(1) << 30;
constexpr std::int32_t kMaxDpi = 1000000;

void put16(std::uint8_t* at, std::uint16_t v) {
    at[0] = std::uint8_t(v);
    at[1] = std::uint8_t(v >> 8);
}

void put32(std::uint8_t* at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) at[i] = std::uint8_t(v >> (8 * i));
}

// Pixels per metre of a resolution in dots per inch, rounded half to even as
// the image library reads it back.
std::uint32_t pixelsPerMetre(std::int32_t dpi) {
    const std::int64_t scaled = std::int64_t(dpi) * 3937; // hundredths
    std::int64_t whole = scaled / 100;
    const std::int64_t rest = scaled % 100;
    if (rest > 50 || (rest == 50 && whole % 2 == 1)) ++whole;
    return std::uint32_t(whole);
}

void check(const PackedPage& page) {
    if (page.width < 1 || page.height < 1)
        throw std::invalid_argument("the page must be at least 1 x 1 pixels");
    const std::int64_t rowLength = (std::int64_t(page.width) + 31) / 32 * 4;
    if (rowLength * page.height > kMaxPixelBytes)
        throw std::invalid_argument("the page is too large (" + std::to_string(page.width) + " x " +
                                    std::to_string(page.height) + " pixels)");
    if (std::int64_t(page.stride) < (std::int64_t(page.width) + 7) / 8)
        throw std::invalid_argument("the row stride is shorter than a row of packed pixels");
    if (std::uint64_t(page.height - 1) * std::uint64_t(page.stride) +
            std::uint64_t(page.width + 7) / 8 >
        page.size)
        throw std::invalid_argument("the pixel buffer ends before the last row");
    if (page.blackBit != 0 && page.blackBit != 1)
        throw std::invalid_argument("the black bit must be 0 or 1");
    if (page.xDpi < 0 || page.yDpi < 0 || page.xDpi > kMaxDpi || page.yDpi > kMaxDpi)
        throw std::invalid_argument("the resolution must lie between 0 and 1000000 dpi");
}

} // namespace

// Writes the block as the shared page helper of the memory library does: a
// bottom-up DIB whose 1 bits are black (colour table white, then black).
platform::GlobalBlockOwner makePageBlock(const PackedPage& page) {
    check(page);
    const std::size_t rowLength = (std::size_t(page.width) + 31) / 32 * 4;
    const std::size_t pixelBytes = rowLength * std::size_t(page.height);
    platform::GlobalBlockOwner block(
        platform::globalAlloc(kHeaderBytes + kPaletteBytes + pixelBytes));
    if (!block.get()) throw std::bad_alloc();
    auto* dib = static_cast<std::uint8_t*>(platform::globalLock(block.get()));
    put32(dib, kHeaderBytes);
    put32(dib + 4, std::uint32_t(page.width));
    put32(dib + 8, std::uint32_t(page.height));
    put16(dib + 12, 1);
    put16(dib + 14, 1);
    put32(dib + 20, std::uint32_t(pixelBytes));
    put32(dib + 24, pixelsPerMetre(page.xDpi));
    put32(dib + 28, pixelsPerMetre(page.yDpi));
    put32(dib + 32, 2);
    put32(dib + 36, 2);
    std::memset(dib + 40, 255, 3); // entry 0 white, entry 1 black (zero-filled)

    const std::size_t used = (std::size_t(page.width) + 7) / 8;
    const int spare = int(used * 8) - page.width;
    const std::uint8_t lastMask = std::uint8_t(0xFF << spare);
    const std::uint8_t flip = page.blackBit == 1 ? 0x00 : 0xFF;
    std::uint8_t* rows = dib + kHeaderBytes + kPaletteBytes;
    for (std::int32_t y = 0; y < page.height; ++y) {
        const std::uint8_t* from = page.pixels + std::size_t(y) * std::size_t(page.stride);
        std::uint8_t* to = rows + std::size_t(page.height - 1 - y) * rowLength;
        for (std::size_t i = 0; i < used; ++i) to[i] = std::uint8_t(from[i] ^ flip);
        to[used - 1] &= lastMask; // bits after the last pixel stay 0
    }
    platform::globalUnlock(block.get());
    return block;
}

} // namespace quadrel_python
