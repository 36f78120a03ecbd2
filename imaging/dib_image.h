// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// TDIB: the utility's in-memory page image.
//
// The page is a packed device-independent bitmap (a 40-byte information
// header, the palette, then the pixel rows bottom row first, each padded to
// 4 bytes) held in one movable memory block (platform/global_memory.h). The
// same block is drawn on screen, handed to the analysis library by its handle
// (GetHandle) and written to files without copying. The image keeps the block
// locked once from creation or attachment until it is cleared, so the row
// table stays valid; reshaping operations re-lock and rebuild it.
//
// Pixel coordinates are (x, y) with y counted from the top of the page.
// Every failure raises imaging::ImageError.
#pragma once

#include "imaging/image_error.h"
#include "platform/global_memory.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

class QImage;
class QPainter;

namespace imaging {

class ImageStream;

// Pixel formats: 1 bit (2 palette entries), 4 bits (16), 8 bits (256), two
// 16-bit word formats and 24 bits (blue, green, red bytes; no palette).
enum PixelFormat : std::uint8_t {
    pf1bit = 1,
    pf4bit = 2,
    pf8bit = 3,
    pf15bit = 4,
    pf16bit = 5,
    pf24bit = 6
};

// One entry of a logical palette, as a caller supplies colours.
struct PaletteColor {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t flags = 0;
};

// The 14-byte BMP file header kept for SaveToBmp.
struct BmpFileHeader {
    std::uint16_t type = 0; // "BM" = 0x4D42
    std::uint32_t size = 0;
    std::uint16_t reserved1 = 0;
    std::uint16_t reserved2 = 0;
    std::uint32_t offBits = 0; // offset of the pixel data in the file
};

// Colour value of a 24-bit pixel: red | green << 8 | blue << 16.
constexpr int RgbValue(int red, int green, int blue) {
    return red | green << 8 | blue << 16;
}

// Largest image the library holds: pixel rows plus row table.
constexpr std::uint64_t kMaxImageBytes = std::uint64_t(1) << 30;

class TDIB {
  public:
    // An empty image: no block, format pf8bit, owning whatever it receives.
    TDIB();
    ~TDIB();
    TDIB(const TDIB&) = delete;
    TDIB& operator=(const TDIB&) = delete;
    TDIB(TDIB&& other) noexcept;
    TDIB& operator=(TDIB&& other) noexcept;

    // ---- Lifetime and memory -------------------------------------------

    // Closes an open canvas, unlocks the block fully and frees it when the
    // image owns it. The image is empty afterwards.
    void Clear();

    // Makes a zero-filled image (all black for pf1bit) with the standard
    // palette: black then white for pf1bit, a grey ramp for pf4bit and pf8bit.
    // Raises "Bit depht not allowed" for any other format code and
    // "Image too large" beyond kMaxImageBytes or a 32-bit header's range.
    void NewImage(int width, int height, PixelFormat format, int xDpi, int yDpi);

    // Takes the block `h` (a packed DIB) as the image, owned by the image.
    // A block that is not a bottom-up, uncompressed DIB of 1, 4, 8, 15, 16 or
    // 24 bits per pixel, or that is shorter than its header says, raises
    // "Invalid DIB" and is left with the caller; the image is then unchanged.
    void AttachHandle(platform::GlobalHandle h);

    // The block's handle (locked by the image, still owned by it); null when
    // there is no image. This is what the analysis library receives.
    platform::GlobalHandle GetHandle() const;

    // Whether Clear frees the block. Whoever takes the block away sets it false.
    bool OwnsHandle() const { return ownsHandle_; }
    void SetOwnsHandle(bool owns) { ownsHandle_ = owns; }

    // Nested locks of the block: Lock returns the block's first byte.
    void* Lock();
    void Unlock();
    unsigned LockCount() const { return lockCount_; }

    // A new image with the same header, palette and pixels, byte for byte.
    // Raises "DIB Duplicate error !" when this block is not the standard size.
    TDIB Clone() const;

    bool IsValid() const { return handle_ != nullptr; }

    // ---- Geometry -------------------------------------------------------

    int Width() const;  // 0 without an image
    int Height() const; // 0 without an image
    int BitCount() const;
    PixelFormat Format() const { return pixelFormat_; }
    int XDpi() const; // stored pixels per metre / 39.37, rounded half to even
    int YDpi() const;
    void SetXDpi(int dpi);
    void SetYDpi(int dpi);

    std::uint32_t Stride() const { return stride_; }     // bytes per stored row
    std::uint32_t RowBytes() const { return rowBytes_; } // bytes that hold pixels
    std::uint32_t PaletteSize() const { return paletteSize_; }
    std::uint32_t DataSize() const { return dataSize_; }
    const BmpFileHeader& FileHeader() const { return fileHeader_; }

    // The block's bytes: header, palette, pixels (empty without an image).
    std::span<const std::uint8_t> Block() const;
    // Row y counted from the top: Stride() bytes.
    std::uint8_t* ScanLine(int y) { return rows_[std::size_t(y)]; }
    const std::uint8_t* ScanLine(int y) const { return rows_[std::size_t(y)]; }

    // ---- Pixels -----------------------------------------------------------

    // Pixel value: the bit (0/1) for pf1bit, the nibble for pf4bit, the byte
    // for pf8bit, the 16-bit word for pf15bit/pf16bit, RgbValue for pf24bit.
    // Coordinates outside the image read 0.
    int GetPixel(int x, int y) const;
    // pf1bit: v > 0 sets the bit; pf4bit: v & 15; pf24bit: RgbValue layout.
    // Coordinates outside the image are ignored.
    void SetPixel(int x, int y, int value);

    // Sets every byte of every stored row (padding included) to b.
    void Fill(std::uint8_t b);

    // ---- Palette ----------------------------------------------------------

    // The 4 stored bytes of entry i (blue | green << 8 | red << 16); 0 when
    // the index is outside the palette.
    std::uint32_t GetPaletteEntry(int index) const;
    void SetPaletteEntry(int index, std::uint32_t value);
    // Stores as many colours as the palette holds, as blue, green, red, 0.
    void SetPalette(std::span<const PaletteColor> colors);
    std::vector<PaletteColor> GetPalette() const;

    // The first entry equal to white; without one 255 (8 bits), the colour
    // white (24 bits), else 0.
    int WhiteIndex() const;
    // The first entry equal to black; without one 0 (8 and 24 bits), else 1.
    int BlackIndex() const;
    // pf1bit: entry 0 white and entry 1 black; pf8bit: entry i is (i, i, i);
    // other formats: true.
    bool IsDirectPalette() const;

    // ---- Whole-image operations -----------------------------------------

    // In place. 1 -> 8 (bit 0 -> 0, 1 -> 255, grey ramp), 8 -> 24 (p -> grey
    // p), 1 -> 24, and the other conversions between 1, 4, 8 and 24 bits
    // (through grey levels). Any other target raises "Function not available :-(".
    void ConvertTo(PixelFormat target);

    // Complements the pixel bytes of every row (padding left alone).
    void Invert();

    // Nearest-neighbour resize (smooth = false), or box averaging (true).
    void Resize(int newWidth, int newHeight, bool smooth);

    // Keeps the top-left part; new columns and rows take the fill byte.
    void ResizeCanvas(int width, int height, std::uint8_t fill);

    // s > 0 moves rows down by s, the top s rows become white; s < 0 moves
    // them up. ShiftColumns does the same horizontally (s > 0: right) and
    // raises "Bit depht not supported for ShiftLine !" for 16-bit formats.
    void ShiftRows(int s);
    void ShiftColumns(int s);

    // Two-shear deskew by angles a (columns) and b (rows), in degrees. Nothing
    // when both are below 0.1 in magnitude. The per-format path interpolates
    // (pf1bit, pf8bit, pf24bit); the other path copies the nearest pixel.
    void ShearDeskew(bool fillWhite, bool enlarge, bool perFormat, double angleA, double angleB);

    // A grey reduction of a 1-bit image for display at `zoom` percent (1 to
    // 100) with `levels` grey levels (4 to 256): 4 bits per pixel up to 16
    // levels, else 8. Raises "This operation requires 1 bit per pixel bitmap !".
    TDIB ScaleToGray(int levels, double zoom) const;

    // ---- Files ------------------------------------------------------------

    // Writes the BMP file header and the whole block.
    void SaveToBmp(const std::string& fileName) const;
    void SaveToBmp(ImageStream& stream) const;

    // ---- Drawing (Qt) ------------------------------------------------------
    // Defined in the image library's Qt part (quadrel_imaging_qt,
    // dib_canvas.cpp): only programs that draw link it, so the rest of the
    // library, and whatever links only that, stays free of Qt.

    // Opens (once) a painter on a copy of the pixels; repeated calls return
    // the same painter. CloseCanvas ends it and copies the drawing back
    // (colours mapped to the nearest palette entry for palette formats).
    QPainter* CanvasHandle();
    void CloseCanvas();
    bool CanvasOpen() const { return canvas_ != nullptr; }

    // Draws the whole image into the rectangle (x, y, width, height). Mode 0
    // and 1 and 2 scale by nearest pixel; mode 3 scales smoothly.
    void StretchDraw(QPainter& painter, int x, int y, int width, int height, int mode) const;

    // A top-down copy in Qt's natural format (Mono, Indexed8, RGB555 or RGB888).
    QImage ToQImage() const;

  private:
    // The drawing state while a canvas is open. The Qt part derives the real
    // one (dib_canvas.h); the core only destroys it, through this base.
    struct CanvasBase {
        virtual ~CanvasBase() = default;
    };
    struct Canvas;
    using Getter = int (TDIB::*)(int, int) const;
    using Setter = void (TDIB::*)(int, int, int);

    void DeriveFields();
    void InstallAccessors();
    void ReplaceBlock(const std::vector<std::uint8_t>& block);
    void WriteStandardPalette();
    void UnlockFully();
    int HeaderField32(std::size_t offset) const;
    void SetHeaderField32(std::size_t offset, std::int32_t value);

    int Get1(int x, int y) const;
    int Get4(int x, int y) const;
    int Get8(int x, int y) const;
    int Get16(int x, int y) const;
    int Get24(int x, int y) const;
    int GetNone(int x, int y) const;
    void Set1(int x, int y, int v);
    void Set4(int x, int y, int v);
    void Set8(int x, int y, int v);
    void Set16(int x, int y, int v);
    void Set24(int x, int y, int v);
    void SetNone(int x, int y, int v);

    // Conversions (dib_convert.cpp).
    std::vector<std::uint8_t> ConvertedBlock(PixelFormat target) const;

    // Shear passes (dib_deskew.cpp).
    void ShearRowsRight(long double ry, int fill, bool interpolate);
    void ShearColumnsUp(long double cx, int fill, bool interpolate);
    void ShearRowsLeft(long double ry, int fill, bool interpolate);
    void ShearColumnsDown(long double cx, int fill, bool interpolate);
    int BlendPixels(int near, int far, long double t, bool interpolate) const;
    std::uint8_t WhiteByte() const;

    std::vector<std::uint8_t*> rows_;
    platform::GlobalHandle handle_ = nullptr;
    std::uint8_t* memory_ = nullptr;
    bool ownsHandle_ = true;
    std::uint32_t dataSize_ = 0;
    PixelFormat pixelFormat_ = pf8bit;
    unsigned lockCount_ = 0;
    BmpFileHeader fileHeader_;
    std::uint8_t* header_ = nullptr;
    std::uint8_t* palette_ = nullptr;
    std::uint8_t* bits_ = nullptr;
    std::uint32_t paletteSize_ = 0;
    std::uint32_t colorsUsed_ = 0;
    std::uint32_t stride_ = 0;
    std::uint32_t rowBytes_ = 0;
    Getter getPixel_ = &TDIB::GetNone;
    Setter setPixel_ = &TDIB::SetNone;
    std::unique_ptr<CanvasBase> canvas_;
};

} // namespace imaging
