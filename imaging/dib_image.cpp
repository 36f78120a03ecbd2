// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// TDIB: lifetime of the memory block, header fields, pixel accessors,
// palette, fill, inversion, cloning and BMP output. Conversions, geometry,
// deskew, grey reduction and drawing live in the dib_*.cpp sources.
#include "imaging/dib_image.h"

#include "imaging/dib_layout.h"
#include "imaging/image_stream.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace imaging {

using namespace dib;

namespace dib {

Geometry geometryFor(int width, int height, int bitCount) {
    if (width < 0 || height < 0) throw ImageError("Invalid image size");
    Geometry g;
    const std::uint64_t bitsPerRow = std::uint64_t(width) * std::uint64_t(bitCount);
    const std::uint64_t stride = (bitsPerRow + 31) / 32 * 4;
    const std::uint64_t rowsAndTable =
        stride * std::uint64_t(height) + sizeof(std::uint8_t*) * std::uint64_t(height);
    if (rowsAndTable > kMaxImageBytes) throw ImageError("Image too large");
    g.stride = std::uint32_t(stride);
    g.rowBytes = std::uint32_t((bitsPerRow + 7) / 8);
    g.paletteEntries = paletteEntries(bitCount);
    g.blockSize = std::uint32_t(kInfoHeaderSize + 4 * std::uint64_t(g.paletteEntries) +
                                stride * std::uint64_t(height));
    return g;
}

} // namespace dib

TDIB::TDIB() = default;

TDIB::~TDIB() {
    Clear();
}

TDIB::TDIB(TDIB&& other) noexcept {
    *this = std::move(other);
}

TDIB& TDIB::operator=(TDIB&& other) noexcept {
    if (this == &other) return *this;
    Clear();
    // Row addresses point into the block, which does not move with the object.
    rows_ = std::move(other.rows_);
    handle_ = std::exchange(other.handle_, nullptr);
    memory_ = std::exchange(other.memory_, nullptr);
    ownsHandle_ = std::exchange(other.ownsHandle_, true);
    dataSize_ = std::exchange(other.dataSize_, 0);
    pixelFormat_ = std::exchange(other.pixelFormat_, pf8bit);
    lockCount_ = std::exchange(other.lockCount_, 0);
    fileHeader_ = std::exchange(other.fileHeader_, BmpFileHeader{});
    header_ = std::exchange(other.header_, nullptr);
    palette_ = std::exchange(other.palette_, nullptr);
    bits_ = std::exchange(other.bits_, nullptr);
    paletteSize_ = std::exchange(other.paletteSize_, 0);
    colorsUsed_ = std::exchange(other.colorsUsed_, 0);
    stride_ = std::exchange(other.stride_, 0);
    rowBytes_ = std::exchange(other.rowBytes_, 0);
    getPixel_ = std::exchange(other.getPixel_, &TDIB::GetNone);
    setPixel_ = std::exchange(other.setPixel_, &TDIB::SetNone);
    canvas_ = std::move(other.canvas_);
    other.rows_.clear();
    return *this;
}

// ---- Lifetime and memory ---------------------------------------------------

void TDIB::Clear() {
    canvas_.reset(); // ends its painter first
    rows_.clear();
    rows_.shrink_to_fit();
    UnlockFully();
    if (handle_ && ownsHandle_) platform::globalFree(handle_);
    handle_ = nullptr;
    memory_ = header_ = palette_ = bits_ = nullptr;
    fileHeader_ = BmpFileHeader{};
    dataSize_ = paletteSize_ = colorsUsed_ = stride_ = rowBytes_ = 0;
    getPixel_ = &TDIB::GetNone;
    setPixel_ = &TDIB::SetNone;
    // The next block is the image's own again.
    ownsHandle_ = true;
}

void TDIB::UnlockFully() {
    while (lockCount_ > 0) Unlock();
}

void* TDIB::Lock() {
    if (lockCount_ == 0) {
        memory_ = static_cast<std::uint8_t*>(platform::globalLock(handle_));
        if (!memory_) throw ImageError("The image's memory block cannot be locked");
    }
    ++lockCount_;
    return memory_;
}

void TDIB::Unlock() {
    if (lockCount_ == 0) return;
    if (--lockCount_ == 0) {
        platform::globalUnlock(handle_);
        memory_ = nullptr;
    }
}

void TDIB::NewImage(int width, int height, PixelFormat format, int xDpi, int yDpi) {
    const int bitCount = bitsPerPixel(format);
    if (bitCount == 0) throw ImageError("Bit depht not allowed");
    const Geometry g = geometryFor(width, height, bitCount);

    Clear();
    handle_ = platform::globalAlloc(g.blockSize);
    if (!handle_) throw ImageError("Not enough memory");
    dataSize_ = g.blockSize;
    pixelFormat_ = format;
    Lock();

    std::uint8_t* h = memory_;
    writeLE32(h + kSizeField, kInfoHeaderSize);
    writeLE32(h + kWidthField, std::uint32_t(width));
    writeLE32(h + kHeightField, std::uint32_t(height));
    writeLE16(h + kPlanesField, 1);
    writeLE16(h + kBitCountField, std::uint16_t(bitCount));
    writeLE32(h + kCompressionField, 0);
    writeLE32(h + kImageSizeField, std::uint32_t(height) * g.stride);
    writeLE32(h + kXPelsField, std::uint32_t(pelsPerMetreFromDpi(xDpi)));
    writeLE32(h + kYPelsField, std::uint32_t(pelsPerMetreFromDpi(yDpi)));
    writeLE32(h + kColorsUsedField, g.paletteEntries);
    writeLE32(h + kColorsImportantField, g.paletteEntries);

    fileHeader_.type = kBmpType;
    fileHeader_.size = g.blockSize;
    fileHeader_.offBits = g.paletteEntries * 4 + kInfoHeaderSize + kFileHeaderSize;

    DeriveFields();
    WriteStandardPalette();
}

void TDIB::WriteStandardPalette() {
    if (pixelFormat_ == pf1bit) {
        SetPaletteEntry(0, paletteValue(0, 0, 0));
        SetPaletteEntry(1, paletteValue(255, 255, 255));
        return;
    }
    for (std::uint32_t i = 0; i < paletteSize_; ++i) {
        const std::uint8_t grey = rampGrey(i, paletteSize_);
        SetPaletteEntry(int(i), paletteValue(grey, grey, grey));
    }
}

void TDIB::AttachHandle(platform::GlobalHandle h) {
    if (h == nullptr || h == handle_) return;

    // Check the block before letting the current image go, so that a refused
    // block leaves both the image and the caller's block as they were.
    const std::size_t size = platform::globalSize(h);
    const auto* p = static_cast<const std::uint8_t*>(platform::globalLock(h));
    if (!p) throw ImageError("Invalid DIB");
    bool valid = size >= kInfoHeaderSize && readLE32(p + kSizeField) == kInfoHeaderSize &&
                 readLE32(p + kCompressionField) == 0;
    const auto width = std::int32_t(valid ? readLE32(p + kWidthField) : 0);
    const auto height = std::int32_t(valid ? readLE32(p + kHeightField) : 0);
    const int bitCount = valid ? readLE16(p + kBitCountField) : 0;
    platform::globalUnlock(h);
    const int format = formatOfBitCount(bitCount);
    valid = valid && format != 0 && width >= 0 && height >= 0;
    if (valid) {
        Geometry g;
        try {
            g = geometryFor(width, height, bitCount == 15 ? 16 : bitCount);
        } catch (const ImageError&) {
            valid = false;
        }
        valid = valid && g.blockSize <= size;
    }
    if (!valid) throw ImageError("Invalid DIB");

    Clear();
    handle_ = h;
    dataSize_ = std::uint32_t(size);
    pixelFormat_ = PixelFormat(format);
    Lock();
    DeriveFields();
}

void TDIB::DeriveFields() {
    header_ = memory_;
    palette_ = header_ + kInfoHeaderSize;
    const int bitCount = BitCount() == 15 ? 16 : BitCount();
    const Geometry g = geometryFor(Width(), Height(), bitCount);
    paletteSize_ = g.paletteEntries;
    colorsUsed_ = readLE32(header_ + kColorsUsedField);
    stride_ = g.stride;
    rowBytes_ = g.rowBytes;
    bits_ = palette_ + 4 * std::size_t(paletteSize_);
    const int height = Height();
    rows_.assign(std::size_t(height), nullptr);
    for (int y = 0; y < height; ++y)
        rows_[std::size_t(y)] = bits_ + std::size_t(height - 1 - y) * stride_;
    InstallAccessors();
}

void TDIB::InstallAccessors() {
    switch (pixelFormat_) {
    case pf1bit:
        getPixel_ = &TDIB::Get1, setPixel_ = &TDIB::Set1;
        break;
    case pf4bit:
        getPixel_ = &TDIB::Get4, setPixel_ = &TDIB::Set4;
        break;
    case pf8bit:
        getPixel_ = &TDIB::Get8, setPixel_ = &TDIB::Set8;
        break;
    case pf15bit:
    case pf16bit:
        getPixel_ = &TDIB::Get16, setPixel_ = &TDIB::Set16;
        break;
    case pf24bit:
        getPixel_ = &TDIB::Get24, setPixel_ = &TDIB::Set24;
        break;
    default:
        getPixel_ = &TDIB::GetNone, setPixel_ = &TDIB::SetNone;
        break;
    }
}

void TDIB::ReplaceBlock(const std::vector<std::uint8_t>& block) {
    canvas_.reset(); // ends its painter first
    const unsigned locks = lockCount_;
    UnlockFully();
    if (!platform::globalReAlloc(handle_, block.size())) {
        for (unsigned i = 0; i < locks; ++i) Lock();
        throw ImageError("Not enough memory");
    }
    for (unsigned i = 0; i < std::max(locks, 1u); ++i) Lock();
    std::memcpy(memory_, block.data(), block.size());
    dataSize_ = std::uint32_t(block.size());
    DeriveFields();
}

platform::GlobalHandle TDIB::GetHandle() const {
    if (handle_) return handle_;
    if (memory_) return platform::globalHandleOf(memory_);
    return nullptr;
}

TDIB TDIB::Clone() const {
    TDIB copy;
    if (!IsValid()) return copy;
    copy.NewImage(Width(), Height(), pixelFormat_, XDpi(), YDpi());
    if (copy.dataSize_ != dataSize_) throw ImageError("DIB Duplicate error !");
    std::memcpy(copy.memory_, memory_, dataSize_);
    copy.DeriveFields();
    return copy;
}

std::span<const std::uint8_t> TDIB::Block() const {
    if (!memory_) return {};
    return {memory_, dataSize_};
}

// ---- Header fields -----------------------------------------------------------

int TDIB::HeaderField32(std::size_t offset) const {
    return header_ ? int(std::int32_t(readLE32(header_ + offset))) : 0;
}

void TDIB::SetHeaderField32(std::size_t offset, std::int32_t value) {
    if (header_) writeLE32(header_ + offset, std::uint32_t(value));
}

int TDIB::Width() const {
    return HeaderField32(kWidthField);
}
int TDIB::Height() const {
    return HeaderField32(kHeightField);
}
int TDIB::BitCount() const {
    return header_ ? readLE16(header_ + kBitCountField) : 0;
}
int TDIB::XDpi() const {
    return dpiFromPelsPerMetre(HeaderField32(kXPelsField));
}
int TDIB::YDpi() const {
    return dpiFromPelsPerMetre(HeaderField32(kYPelsField));
}
void TDIB::SetXDpi(int dpi) {
    SetHeaderField32(kXPelsField, pelsPerMetreFromDpi(dpi));
}
void TDIB::SetYDpi(int dpi) {
    SetHeaderField32(kYPelsField, pelsPerMetreFromDpi(dpi));
}

// ---- Pixels ------------------------------------------------------------------

int TDIB::GetPixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= Width() || y >= Height()) return 0;
    return (this->*getPixel_)(x, y);
}

void TDIB::SetPixel(int x, int y, int value) {
    if (x < 0 || y < 0 || x >= Width() || y >= Height()) return;
    (this->*setPixel_)(x, y, value);
}

int TDIB::Get1(int x, int y) const {
    return loadPixel(rows_[std::size_t(y)], x, 1);
}
int TDIB::Get4(int x, int y) const {
    return loadPixel(rows_[std::size_t(y)], x, 4);
}
int TDIB::Get8(int x, int y) const {
    return loadPixel(rows_[std::size_t(y)], x, 8);
}
int TDIB::Get16(int x, int y) const {
    return loadPixel(rows_[std::size_t(y)], x, 16);
}
int TDIB::Get24(int x, int y) const {
    return loadPixel(rows_[std::size_t(y)], x, 24);
}
int TDIB::GetNone(int, int) const {
    return 0;
}
void TDIB::Set1(int x, int y, int v) {
    storePixel(rows_[std::size_t(y)], x, 1, v);
}
void TDIB::Set4(int x, int y, int v) {
    storePixel(rows_[std::size_t(y)], x, 4, v);
}
void TDIB::Set8(int x, int y, int v) {
    storePixel(rows_[std::size_t(y)], x, 8, v);
}
void TDIB::Set16(int x, int y, int v) {
    storePixel(rows_[std::size_t(y)], x, 16, v);
}
void TDIB::Set24(int x, int y, int v) {
    storePixel(rows_[std::size_t(y)], x, 24, v);
}
void TDIB::SetNone(int, int, int) {}

void TDIB::Fill(std::uint8_t b) {
    if (bits_) std::memset(bits_, b, std::size_t(stride_) * std::size_t(Height()));
}

void TDIB::Invert() {
    for (std::uint8_t* row : rows_)
        for (std::uint32_t i = 0; i < rowBytes_; ++i) row[i] = std::uint8_t(~row[i]);
}

// ---- Palette -----------------------------------------------------------------

std::uint32_t TDIB::GetPaletteEntry(int index) const {
    if (!palette_ || index < 0 || std::uint32_t(index) >= paletteSize_) return 0;
    return readLE32(palette_ + 4 * std::size_t(index));
}

void TDIB::SetPaletteEntry(int index, std::uint32_t value) {
    if (!palette_ || index < 0 || std::uint32_t(index) >= paletteSize_) return;
    writeLE32(palette_ + 4 * std::size_t(index), value);
}

void TDIB::SetPalette(std::span<const PaletteColor> colors) {
    const std::size_t n = std::min<std::size_t>(colors.size(), paletteSize_);
    for (std::size_t i = 0; i < n; ++i)
        SetPaletteEntry(int(i), paletteValue(colors[i].red, colors[i].green, colors[i].blue));
}

std::vector<PaletteColor> TDIB::GetPalette() const {
    std::vector<PaletteColor> colors(paletteSize_);
    for (std::uint32_t i = 0; i < paletteSize_; ++i) {
        const std::uint32_t e = GetPaletteEntry(int(i));
        colors[i] = {std::uint8_t(redOf(e)), std::uint8_t(greenOf(e)), std::uint8_t(blueOf(e)), 0};
    }
    return colors;
}

namespace {

bool isColor(std::uint32_t entry, int red, int green, int blue) {
    return redOf(entry) == red && greenOf(entry) == green && blueOf(entry) == blue;
}

} // namespace

int TDIB::WhiteIndex() const {
    for (std::uint32_t i = 0; i < paletteSize_; ++i)
        if (isColor(GetPaletteEntry(int(i)), 255, 255, 255)) return int(i);
    if (pixelFormat_ == pf8bit) return 255;
    if (pixelFormat_ == pf24bit) return RgbValue(255, 255, 255);
    return 0;
}

int TDIB::BlackIndex() const {
    for (std::uint32_t i = 0; i < paletteSize_; ++i)
        if (isColor(GetPaletteEntry(int(i)), 0, 0, 0)) return int(i);
    if (pixelFormat_ == pf8bit || pixelFormat_ == pf24bit) return 0;
    return 1;
}

bool TDIB::IsDirectPalette() const {
    if (pixelFormat_ == pf1bit)
        return isColor(GetPaletteEntry(0), 255, 255, 255) && isColor(GetPaletteEntry(1), 0, 0, 0);
    if (pixelFormat_ == pf8bit) {
        for (int i = 0; i < 256; ++i)
            if (!isColor(GetPaletteEntry(i), i, i, i)) return false;
    }
    return true;
}

// ---- BMP output --------------------------------------------------------------

void TDIB::SaveToBmp(ImageStream& stream) const {
    if (!IsValid()) throw ImageError("No image to save");
    std::uint8_t file[kFileHeaderSize] = {};
    writeLE16(file, kBmpType);
    writeLE32(file + 2, dataSize_ + kFileHeaderSize);
    writeLE32(file + 10, paletteSize_ * 4 + kInfoHeaderSize + kFileHeaderSize);
    if (stream.Write(file, sizeof file) != sizeof file ||
        stream.Write(memory_, dataSize_) != dataSize_)
        throw ImageError("Error writing BMP file");
}

void TDIB::SaveToBmp(const std::string& fileName) const {
    if (!IsValid()) throw ImageError("No image to save");
    FileStream stream(fileName, FileStream::Mode::Create);
    SaveToBmp(stream);
    if (!stream.Flush()) throw ImageError("Error writing BMP file");
}

} // namespace imaging
