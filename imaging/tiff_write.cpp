// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// SaveTiff: a TDIB as one TIFF page, tags set in a fixed order through
// helpers that raise when libtiff refuses a value.
#include "imaging/image_stream.h"
#include "imaging/tiff_client.h"
#include "imaging/tiff_io.h"

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace imaging {

namespace {

void setIntField(const TiffHandle& tiff, ttag_t tag, std::uint32_t value) {
    if (!TIFFSetField(tiff.get(), tag, value))
        throw ImageError("TIFFSetIntField: Tag = " + std::to_string(tag), tiff.LastError());
}

void setFloatField(const TiffHandle& tiff, ttag_t tag, double value) {
    if (!TIFFSetField(tiff.get(), tag, value))
        throw ImageError("TIFFSetFloatField: Tag = " + std::to_string(tag), tiff.LastError());
}

void setTextField(const TiffHandle& tiff, ttag_t tag, const std::string& value) {
    if (!TIFFSetField(tiff.get(), tag, value.c_str()))
        throw ImageError("TIFFSetField: Tag = " + std::to_string(tag), tiff.LastError());
}

// Local date and time as "yyyy:mm:dd hh:nn:ss".
std::string tiffDateTime() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[20];
    std::strftime(text, sizeof text, "%Y:%m:%d %H:%M:%S", &local);
    return text;
}

bool isCcittCode(TiffCompression code) {
    return code == tcGroup3_1D || code == tcGroup3_2D || code == tcGroup4;
}

struct SampleLayout {
    std::uint32_t bitsPerSample;
    std::uint32_t samplesPerPixel;
    std::uint32_t photometric;
};

void setTags(const TDIB& image, const TiffHandle& tiff, TiffCompression code, int rowsPerStrip,
             std::uint32_t photometric) {
    if (code == tcGroup3_1D || code == tcGroup3_2D) {
        // T4Options belongs to the Group 3 codec, which must be chosen first.
        setIntField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX3);
        setIntField(tiff, TIFFTAG_GROUP3OPTIONS, code == tcGroup3_2D ? GROUP3OPT_2DENCODING : 0);
    }
    std::uint32_t strip =
        rowsPerStrip > 0 ? std::uint32_t(rowsPerStrip) : std::uint32_t(image.Height());
    if (code == tcJpeg) strip = 8;
    setIntField(tiff, TIFFTAG_ROWSPERSTRIP, strip);
    setIntField(tiff, TIFFTAG_COMPRESSION, TiffCompressionValue(code));
    setIntField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    setTextField(tiff, TIFFTAG_SOFTWARE, "Folivane Image Library");
    setTextField(tiff, TIFFTAG_DATETIME, tiffDateTime());
    setIntField(tiff, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    setFloatField(tiff, TIFFTAG_XRESOLUTION, double(image.XDpi()));
    setFloatField(tiff, TIFFTAG_YRESOLUTION, double(image.YDpi()));
    setIntField(tiff, TIFFTAG_IMAGEWIDTH, std::uint32_t(image.Width()));
    setIntField(tiff, TIFFTAG_IMAGELENGTH, std::uint32_t(image.Height()));

    SampleLayout samples{};
    switch (image.BitCount()) {
    case 1:
        samples = {1, 1, photometric};
        break;
    case 4:
        samples = {4, 1, PHOTOMETRIC_MINISBLACK};
        break;
    case 8:
        samples = {8, 1, PHOTOMETRIC_MINISBLACK};
        break;
    case 24:
        samples = {8, 3, PHOTOMETRIC_RGB};
        break;
    default:
        return; // 16-bit images get none of the three tags
    }
    setIntField(tiff, TIFFTAG_BITSPERSAMPLE, samples.bitsPerSample);
    setIntField(tiff, TIFFTAG_SAMPLESPERPIXEL, samples.samplesPerPixel);
    setIntField(tiff, TIFFTAG_PHOTOMETRIC, samples.photometric);
}

void writeRows(const TDIB& image, const TiffHandle& tiff, std::uint32_t photometric) {
    const int width = image.Width();
    const tmsize_t scanline = TIFFScanlineSize(tiff.get());
    std::vector<std::uint8_t> row(
        std::max<std::size_t>(image.Stride(), std::size_t(std::max<tmsize_t>(scanline, 0))));
    // 1-bit rows go out with black as the photometric value says: min-is-white
    // wants 1 = black, which the standard black-then-white palette stores as
    // 0, and min-is-black wants 0 = black, which a white-then-black palette
    // stores as 1.
    const bool complement =
        image.BitCount() == 1 && (photometric == PHOTOMETRIC_MINISWHITE) != image.IsDirectPalette();
    for (int y = 0; y < image.Height(); ++y) {
        // libtiff codecs may modify the row they are given: always pass a copy.
        std::copy_n(image.ScanLine(y), image.Stride(), row.begin());
        if (image.BitCount() == 24) {
            for (int x = 0; x < width; ++x)
                std::swap(row[3 * std::size_t(x)], row[3 * std::size_t(x) + 2]);
        } else if (complement) {
            for (std::uint32_t i = 0; i < image.Stride(); ++i) row[i] = std::uint8_t(~row[i]);
        }
        if (TIFFWriteScanline(tiff.get(), row.data(), std::uint32_t(y), 0) == -1)
            throw ImageError("TIFFWriteScanLine, row " + std::to_string(y), tiff.LastError());
    }
}

} // namespace

void SaveTiff(const TDIB& image, ImageStream& stream, bool append, TiffCompression compression,
              int rowsPerStrip) {
    if (!image.IsValid()) throw ImageError("No image to save");
    if (compression > tcLzw) throw ImageError("Function not available :-(");
    const TiffHandle tiff(stream, append ? "a" : "w");
    if (!tiff.IsOpen()) throw ImageError("TIFFOpen", tiff.LastError());

    const TiffCompression code =
        compression == tcAuto ? AutomaticCompression(image.Format()) : compression;
    const std::uint32_t photometric = image.BitCount() == 1 && !isCcittCode(code)
                                          ? PHOTOMETRIC_MINISBLACK
                                          : PHOTOMETRIC_MINISWHITE;
    setTags(image, tiff, code, rowsPerStrip, photometric);
    writeRows(image, tiff, photometric);
    if (!TIFFFlush(tiff.get())) throw ImageError("TIFFWriteDirectory", tiff.LastError());
}

void SaveTiff(const TDIB& image, const std::string& fileName, bool append,
              TiffCompression compression, int rowsPerStrip) {
    if (!image.IsValid()) throw ImageError("No image to save");
    const bool appending = append && std::filesystem::exists(fileName);
    FileStream stream(fileName, appending ? FileStream::Mode::Update : FileStream::Mode::Create);
    SaveTiff(image, stream, appending, compression, rowsPerStrip);
    if (!stream.Flush()) throw ImageError("Error writing file: " + fileName);
}

} // namespace imaging
