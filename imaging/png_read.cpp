// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// libpng reports errors by a long jump to the point set by setjmp. Every
// libpng call runs inside one of the small "guarded" functions below, which
// hold no object with a destructor, so the jump skips nothing that needs
// cleaning up; the C++ side turns a failed step into an ImageError.
#include "imaging/png_read.h"

#include "imaging/dib_layout.h"
#include "imaging/image_stream.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <vector>

namespace imaging {
namespace {

struct PngState {
    ImageStream* stream = nullptr;
    png_structp png = nullptr;
    png_infop info = nullptr;
    char error[256] = "";
};

// What the page turns into once libpng's transformations are set up.
struct PngLayout {
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    PixelFormat format = pf24bit;
    std::size_t rowBytes = 0;
    int xDpi = 0;
    int yDpi = 0;
};

void onError(png_structp png, png_const_charp message) {
    auto* state = static_cast<PngState*>(png_get_error_ptr(png));
    std::snprintf(state->error, sizeof state->error, "%s", message);
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

void readFromStream(png_structp png, png_bytep data, png_size_t length) {
    auto* state = static_cast<PngState*>(png_get_io_ptr(png));
    if (state->stream->Read(data, length) != length) png_error(png, "unexpected end of file");
}

class PngReader {
  public:
    explicit PngReader(ImageStream& stream) {
        state_.stream = &stream;
        state_.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &state_, onError, onWarning);
        if (state_.png) state_.info = png_create_info_struct(state_.png);
        if (!state_.png || !state_.info) throw std::bad_alloc();
        png_set_read_fn(state_.png, &state_, readFromStream);
    }
    ~PngReader() { png_destroy_read_struct(&state_.png, &state_.info, nullptr); }
    PngReader(const PngReader&) = delete;
    PngReader& operator=(const PngReader&) = delete;

    PngState& state() { return state_; }

  private:
    PngState state_;
};

// A white background in the file's own sample depth, for transparent pixels.
void layOnWhite(png_structp png, int depth) {
    const auto white = png_uint_16((1u << depth) - 1);
    png_color_16 background{0, white, white, white, white};
    png_set_background(png, &background, PNG_BACKGROUND_GAMMA_FILE, 1, 1.0);
}

PixelFormat setUpTransforms(png_structp png, png_infop info) {
    png_set_interlace_handling(png); // the seven passes of an interlaced page land in place
    const int type = png_get_color_type(png, info);
    const int depth = png_get_bit_depth(png, info);
    if (type == PNG_COLOR_TYPE_GRAY && depth == 1) return pf1bit;
    if (type == PNG_COLOR_TYPE_PALETTE) {
        png_set_packing(png);
        return pf8bit;
    }
    const bool transparent =
        (type & PNG_COLOR_MASK_ALPHA) != 0 || png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    png_set_expand(png);
    if (transparent) layOnWhite(png, depth);
    png_set_strip_16(png);
    if ((type & PNG_COLOR_MASK_COLOR) == 0) return pf8bit;
    png_set_bgr(png); // the image keeps blue, green, red
    return pf24bit;
}

int dpiOf(png_uint_32 pelsPerMetre) {
    return pelsPerMetre > 0x7FFFFFFF ? 0 : dib::dpiFromPelsPerMetre(std::int32_t(pelsPerMetre));
}

// Guarded: reads the header and sets up the transformations.
bool readLayout(PngState& s, PngLayout& layout) {
    if (setjmp(png_jmpbuf(s.png))) return false;
    png_read_info(s.png, s.info);
    layout.format = setUpTransforms(s.png, s.info);
    png_read_update_info(s.png, s.info);
    layout.width = png_get_image_width(s.png, s.info);
    layout.height = png_get_image_height(s.png, s.info);
    layout.rowBytes = png_get_rowbytes(s.png, s.info);
    png_uint_32 x = 0, y = 0;
    int unit = 0;
    if (png_get_pHYs(s.png, s.info, &x, &y, &unit) && unit == PNG_RESOLUTION_METER) {
        layout.xDpi = dpiOf(x);
        layout.yDpi = dpiOf(y);
    }
    return true;
}

// Guarded: decodes every row (interlaced pages too) into `rows`.
bool readRows(PngState& s, png_bytepp rows) {
    if (setjmp(png_jmpbuf(s.png))) return false;
    png_read_image(s.png, rows);
    return true;
}

std::size_t expectedRowBytes(const PngLayout& layout) {
    const std::size_t w = layout.width;
    return layout.format == pf1bit ? (w + 7) / 8 : layout.format == pf8bit ? w : 3 * w;
}

void installPalette(TDIB& image, PngState& s) {
    png_colorp colours = nullptr;
    int count = 0;
    if (!png_get_PLTE(s.png, s.info, &colours, &count)) return;
    for (int i = 0; i < count && i < int(image.PaletteSize()); ++i)
        image.SetPaletteEntry(i,
                              dib::paletteValue(colours[i].red, colours[i].green, colours[i].blue));
}

} // namespace

void LoadPng(TDIB& image, ImageStream& stream) {
    PngReader reader(stream);
    PngState& s = reader.state();
    PngLayout layout;
    if (!readLayout(s, layout)) throw ImageError("Invalid PNG image", s.error);
    if (layout.width == 0 || layout.height == 0 || layout.width > 0x7FFFFFFF ||
        layout.height > 0x7FFFFFFF || layout.rowBytes != expectedRowBytes(layout))
        throw ImageError("Invalid PNG image", "unsupported sample layout");
    TDIB loaded;
    loaded.NewImage(int(layout.width), int(layout.height), layout.format, layout.xDpi, layout.yDpi);
    if (png_get_color_type(s.png, s.info) == PNG_COLOR_TYPE_PALETTE) installPalette(loaded, s);
    std::vector<png_bytep> rows(layout.height);
    for (png_uint_32 y = 0; y < layout.height; ++y) rows[y] = loaded.ScanLine(int(y));
    if (!readRows(s, rows.data())) throw ImageError("Invalid PNG image", s.error);
    image = std::move(loaded);
}

} // namespace imaging
