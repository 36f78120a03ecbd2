// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// LoadTiff: one TIFF directory into a TDIB.
//
// The page's tags decide the pixel format, the palette, whether the bits are
// complemented after reading, and which of four readers fills the pixels:
// 16-bit samples scanline by scanline, CCITT pages scanline by scanline,
// libtiff's RGBA conversion for everything exotic (JPEG, tiles, CMYK, YCbCr,
// planar, deep samples), and strips copied as they are for the rest.
#include "imaging/dib_layout.h"
#include "imaging/image_stream.h"
#include "imaging/tiff_client.h"
#include "imaging/tiff_io.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace imaging {

namespace {

struct PageTags {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint16_t photometric = 0;
    std::uint16_t compression = COMPRESSION_NONE;
    std::uint16_t bitsPerSample = 1;
    std::uint16_t planar = PLANARCONFIG_CONTIG;
    std::uint32_t t4Options = 0;
    int xDpi = 0;
    int yDpi = 0;
    std::int64_t scanlineSize = 0;
    bool tiled = false;
};

enum class PaletteKind { Standard, BlackWhite, Ramp17, RampIdentity, ColorMap };
enum class Reader { WideSamples, Scanlines, Rgba, Strips };

struct PageLayout {
    PixelFormat format = pf24bit;
    PaletteKind palette = PaletteKind::Standard;
    bool invert = false;
    Reader reader = Reader::Strips;
    int bytesPerPixel = 1;
};

// Resolution in dpi: the value for inches (or no unit), value x 2.54 for
// any other unit, rounded half to even into 16 bits; 0 without the tag.
int dpiOf(TIFF* tif, ttag_t tag, std::uint16_t unit) {
    float value = 0;
    if (!TIFFGetField(tif, tag, &value)) return 0;
    double dpi = value;
    if (unit != RESUNIT_INCH && unit != RESUNIT_NONE) dpi *= 2.54;
    if (!(dpi > 0)) return 0;
    return std::min(dib::roundHalfEven(dpi), 65535);
}

PageTags readPageTags(TIFF* tif) {
    PageTags tags;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &tags.width);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &tags.height);
    TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &tags.photometric);
    TIFFGetField(tif, TIFFTAG_COMPRESSION, &tags.compression);
    TIFFGetField(tif, TIFFTAG_BITSPERSAMPLE, &tags.bitsPerSample);
    TIFFGetField(tif, TIFFTAG_PLANARCONFIG, &tags.planar);
    if (tags.compression == COMPRESSION_CCITTFAX3)
        TIFFGetField(tif, TIFFTAG_GROUP3OPTIONS, &tags.t4Options);
    std::uint16_t unit = RESUNIT_INCH;
    TIFFGetField(tif, TIFFTAG_RESOLUTIONUNIT, &unit);
    tags.xDpi = dpiOf(tif, TIFFTAG_XRESOLUTION, unit);
    tags.yDpi = dpiOf(tif, TIFFTAG_YRESOLUTION, unit);
    tags.scanlineSize = std::int64_t(TIFFScanlineSize64(tif));
    tags.tiled = TIFFIsTiled(tif) != 0;
    return tags;
}

bool isCcitt(std::uint16_t compression) {
    return compression == COMPRESSION_CCITTRLE || compression == COMPRESSION_CCITTFAX3 ||
           compression == COMPRESSION_CCITTFAX4 || compression == COMPRESSION_CCITTRLEW;
}

// The format table: later rules override earlier ones.
PageLayout choosePageLayout(PageTags& tags, CcittPhotometric ccittPhotometric) {
    const bool ccitt = isCcitt(tags.compression);
    const double ratio = double(tags.scanlineSize) / double(tags.width);
    const int e = std::max(int(std::nearbyint(ratio)), 1);
    const std::int64_t p = std::int64_t(e) * tags.bitsPerSample; // absurd tags pass 32 bits
    const int bps = tags.bitsPerSample;
    const bool general = tags.compression == COMPRESSION_JPEG || tags.tiled ||
                         tags.photometric == PHOTOMETRIC_SEPARATED ||
                         tags.photometric == PHOTOMETRIC_YCBCR || bps > 8 || tags.planar > 1 ||
                         (p != 1 && p != 4 && p != 8 && p != 24);
    // CCITT decoders give back the bits that were encoded; fax software
    // encodes 1 = black whatever the tag says.
    std::uint16_t& ph = tags.photometric;
    if (ph == PHOTOMETRIC_MINISBLACK && ccitt &&
        ccittPhotometric == CcittPhotometric::FaxConvention)
        ph = PHOTOMETRIC_MINISWHITE;
    const bool minIsWhite = ph == PHOTOMETRIC_MINISWHITE;
    const bool minIsBlack = ph == PHOTOMETRIC_MINISBLACK;

    PageLayout layout;
    layout.bytesPerPixel = e;
    if (bps == 1 && (minIsBlack || minIsWhite))
        layout = {pf1bit, PaletteKind::BlackWhite, minIsWhite, {}, e};
    if (bps == 4 && (minIsBlack || minIsWhite))
        layout = {pf4bit, PaletteKind::Ramp17, minIsWhite, {}, e};
    if (bps == 8 && (minIsBlack || minIsWhite))
        layout = {pf8bit, PaletteKind::RampIdentity, minIsWhite && !general, {}, e};
    if (ph == PHOTOMETRIC_PALETTE) {
        // A 1-bit palette page keeps its two colours in a 1-bit image (its
        // bits would not read as 4-bit nibbles).
        const PixelFormat f = bps > 4 ? pf8bit : bps == 1 ? pf1bit : pf4bit;
        layout = {f, PaletteKind::ColorMap, false, {}, e};
    }
    if (bps == 16 && (minIsBlack || minIsWhite))
        layout = {pf8bit, PaletteKind::RampIdentity, minIsWhite, {}, e};
    if (minIsWhite && tags.compression == COMPRESSION_JPEG) layout.invert = true;

    const bool wide =
        (ph == PHOTOMETRIC_PALETTE && p == 16) || (bps == 16 && (minIsBlack || minIsWhite));
    // Scanlines cannot be read from tiled pages; those go through RGBA.
    if (wide && !tags.tiled)
        layout.reader = Reader::WideSamples;
    else if (ccitt && !tags.tiled)
        layout.reader = Reader::Scanlines;
    else if (general || wide)
        layout.reader = Reader::Rgba;
    else
        layout.reader = Reader::Strips;

    if (layout.reader == Reader::Rgba) {
        // RGBA values are true colours, already corrected for the photometric
        // value: a palette page keeps them in 24 bits, and of the grey pages
        // only a min-is-white JPEG page is complemented afterwards.
        if (ph == PHOTOMETRIC_PALETTE)
            layout = {pf24bit, PaletteKind::Standard, false, Reader::Rgba, e};
        layout.invert = minIsWhite && tags.compression == COMPRESSION_JPEG;
    }
    return layout;
}

void installPalette(TDIB& image, TIFF* tif, const PageTags& tags, PaletteKind kind) {
    switch (kind) {
    case PaletteKind::Standard:
        return;
    case PaletteKind::BlackWhite:
        image.SetPaletteEntry(0, dib::paletteValue(0, 0, 0));
        image.SetPaletteEntry(1, dib::paletteValue(255, 255, 255));
        return;
    case PaletteKind::Ramp17:
        for (int i = 0; i < 16; ++i)
            image.SetPaletteEntry(i, dib::paletteValue(17 * i, 17 * i, 17 * i));
        return;
    case PaletteKind::RampIdentity:
        for (int i = 0; i < 256; ++i) image.SetPaletteEntry(i, dib::paletteValue(i, i, i));
        return;
    case PaletteKind::ColorMap:
        break;
    }
    std::uint16_t* red = nullptr;
    std::uint16_t* green = nullptr;
    std::uint16_t* blue = nullptr;
    if (tags.bitsPerSample > 16 || !TIFFGetField(tif, TIFFTAG_COLORMAP, &red, &green, &blue))
        return;
    const std::size_t entries = std::size_t(1) << tags.bitsPerSample;
    // 16-bit colour maps are scaled down; maps written with 8-bit values are
    // taken as they are.
    bool wide = false;
    for (std::size_t i = 0; i < entries && !wide; ++i)
        wide = red[i] >= 256 || green[i] >= 256 || blue[i] >= 256;
    auto scale = [wide](std::uint16_t v) {
        return wide ? int(std::uint32_t(v) * 255 / 65535) : int(v);
    };
    const std::size_t n = std::min<std::size_t>(entries, image.PaletteSize());
    for (std::size_t i = 0; i < n; ++i)
        image.SetPaletteEntry(int(i),
                              dib::paletteValue(scale(red[i]), scale(green[i]), scale(blue[i])));
}

// Raises "Image too large" when a buffer of `bytes` would pass the limit.
std::size_t checkedBufferSize(std::uint64_t bytes) {
    if (bytes > kMaxImageBytes) throw ImageError("Image too large");
    return std::size_t(bytes);
}

void readWideSamples(TDIB& image, const TiffHandle& tiff, const PageTags& tags) {
    const int width = image.Width();
    std::vector<std::uint8_t> line(
        checkedBufferSize(std::max<std::uint64_t>(tags.scanlineSize, 2 * std::uint64_t(width))));
    for (int y = 0; y < image.Height(); ++y) {
        if (TIFFReadScanline(tiff.get(), line.data(), std::uint32_t(y), 0) == -1)
            throw ImageError("TIFFReadScanline", tiff.LastError());
        for (int x = 0; x < width; ++x) {
            std::uint16_t sample;
            std::memcpy(&sample, line.data() + 2 * std::size_t(x), 2);
            image.SetPixel(x, y, sample >> 8);
        }
    }
}

void readScanlines(TDIB& image, const TiffHandle& tiff, const PageTags& tags) {
    std::vector<std::uint8_t> line(checkedBufferSize(std::uint64_t(tags.scanlineSize)));
    const std::size_t copied = std::min<std::size_t>(line.size(), image.Stride());
    for (int y = 0; y < image.Height(); ++y) {
        if (TIFFReadScanline(tiff.get(), line.data(), std::uint32_t(y), 0) == -1)
            throw ImageError("TIFFReadScanline", tiff.LastError());
        std::memcpy(image.ScanLine(y), line.data(), copied);
    }
}

void readRgba(TDIB& image, const TiffHandle& tiff) {
    const int width = image.Width();
    const int height = image.Height();
    const std::size_t pixels =
        checkedBufferSize(std::uint64_t(width) * std::uint64_t(height) * 4) / 4;
    std::vector<std::uint32_t> raster(pixels);
    if (!TIFFReadRGBAImage(tiff.get(), std::uint32_t(width), std::uint32_t(height), raster.data(),
                           1))
        throw ImageError("TIFFReadRGBAImage", tiff.LastError());
    const PixelFormat format = image.Format();
    // Raster row 0 is the bottom of the page.
    for (int r = 0; r < height; ++r) {
        const std::uint32_t* row = raster.data() + std::size_t(r) * std::size_t(width);
        const int y = height - 1 - r;
        for (int x = 0; x < width; ++x) {
            const std::uint32_t v = row[x];
            const int red = int(TIFFGetR(v));
            switch (format) {
            case pf1bit:
                image.SetPixel(x, y, red >= 128 ? 1 : 0);
                break;
            case pf4bit:
                image.SetPixel(x, y, red >> 4);
                break;
            case pf8bit:
                image.SetPixel(x, y, red);
                break;
            default:
                image.SetPixel(x, y, RgbValue(red, int(TIFFGetG(v)), int(TIFFGetB(v))));
                break;
            }
        }
    }
}

void readStrips(TDIB& image, const TiffHandle& tiff, const PageTags& tags, int bytesPerPixel) {
    TIFF* tif = tiff.get();
    const int width = image.Width();
    const int height = image.Height();
    // Bands follow the strips as libtiff lays them out (RowsPerStrip, or the
    // whole page in one strip when the tag is absent), so every strip is
    // decoded once and whole.
    std::uint32_t rowsPerStrip = 0;
    TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
    if (rowsPerStrip == 0 || rowsPerStrip > std::uint32_t(height))
        rowsPerStrip = std::uint32_t(height);
    const auto s = std::uint64_t(tags.scanlineSize);
    const std::uint64_t bandBytes = s * rowsPerStrip;
    // Slack past the band: pixel reads of e bytes may run past a short scanline.
    const std::size_t bufferSize =
        checkedBufferSize(std::max<std::uint64_t>(
                              bandBytes, std::uint64_t(std::max<tmsize_t>(TIFFStripSize(tif), 0))) +
                          std::uint64_t(bytesPerPixel) * std::uint64_t(width) + 4);
    std::vector<std::uint8_t> buffer(bufferSize);
    const std::size_t copied = std::min<std::size_t>(std::size_t(s), image.Stride());

    for (std::int64_t r0 = 0; r0 < height; r0 += rowsPerStrip) {
        const auto n =
            std::int64_t(std::min<std::uint64_t>(rowsPerStrip, std::uint64_t(height - r0)));
        std::fill(buffer.begin(), buffer.end(), 0);
        const tstrip_t strip = TIFFComputeStrip(tif, std::uint32_t(r0), 0);
        if (TIFFReadEncodedStrip(tif, strip, buffer.data(), tmsize_t(std::uint64_t(n) * s)) == -1)
            throw ImageError("TIFFReadEncodedStrip", tiff.LastError());
        for (std::int64_t r = 0; r < n; ++r) {
            const std::uint8_t* line = buffer.data() + std::size_t(r) * std::size_t(s);
            const int y = int(r0 + r);
            if (bytesPerPixel == 3 || bytesPerPixel == 4) {
                for (int x = 0; x < width; ++x) {
                    const std::uint8_t* px = line + std::size_t(x) * std::size_t(bytesPerPixel);
                    image.SetPixel(x, y, RgbValue(px[0], px[1], px[2]));
                }
            } else {
                std::memcpy(image.ScanLine(y), line, copied);
            }
        }
    }
}

} // namespace

TiffCompression LoadTiff(TDIB& image, ImageStream& stream, int page,
                         CcittPhotometric ccittPhotometric) {
    const TiffHandle tiff = OpenTiffForReading(stream);
    TIFF* tif = tiff.get();
    if (page < 0 || !TIFFSetDirectory(tif, tdir_t(page)))
        throw ImageError("Invalid TIFF Page Number", tiff.LastError());

    PageTags tags = readPageTags(tif);
    if (tags.width == 0 || tags.height == 0 || tags.scanlineSize <= 0 ||
        tags.width > std::uint32_t(INT32_MAX) || tags.height > std::uint32_t(INT32_MAX))
        throw ImageError("Invalid TIFF Data", tiff.LastError());
    const PageLayout layout = choosePageLayout(tags, ccittPhotometric);

    TDIB loaded;
    loaded.NewImage(int(tags.width), int(tags.height), layout.format, tags.xDpi, tags.yDpi);
    if (layout.format != pf24bit) installPalette(loaded, tif, tags, layout.palette);

    switch (layout.reader) {
    case Reader::WideSamples:
        readWideSamples(loaded, tiff, tags);
        break;
    case Reader::Scanlines:
        readScanlines(loaded, tiff, tags);
        break;
    case Reader::Rgba:
        readRgba(loaded, tiff);
        break;
    case Reader::Strips:
        readStrips(loaded, tiff, tags, layout.bytesPerPixel);
        break;
    }
    if (layout.invert) loaded.Invert();

    image = std::move(loaded);
    return CompressionFromTiff(tags.compression, tags.t4Options);
}

} // namespace imaging
