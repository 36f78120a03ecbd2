// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "tests/imaging/tiff_fixtures.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <unistd.h>

namespace imagingtest {

TempFile::TempFile(const std::string& name) {
    static std::atomic<int> counter{0};
    path_ =
        (std::filesystem::temp_directory_path() / ("quadrel_imaging_" + std::to_string(getpid()) +
                                                   "_" + std::to_string(counter++) + "_" + name))
            .string();
}

TempFile::~TempFile() {
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
}

std::vector<std::uint8_t> TempFile::bytes() const {
    std::ifstream in(path_, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::uint8_t> writeTiff(const std::vector<PageToWrite>& pages) {
    TempFile file("written.tif");
    TIFF* tif = TIFFOpen(file.path().c_str(), "w");
    if (!tif) throw std::runtime_error("cannot create test TIFF");
    for (const PageToWrite& page : pages) {
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, page.width);
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, page.height);
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, page.bitsPerSample);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, page.samplesPerPixel);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, page.photometric);
        TIFFSetField(tif, TIFFTAG_COMPRESSION, page.compression);
        TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        if (page.resolutionUnit) TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, page.resolutionUnit);
        if (page.xResolution > 0) TIFFSetField(tif, TIFFTAG_XRESOLUTION, double(page.xResolution));
        if (page.yResolution > 0) TIFFSetField(tif, TIFFTAG_YRESOLUTION, double(page.yResolution));
        if (!page.colorMap.empty()) {
            const std::size_t n = page.colorMap.size() / 3;
            TIFFSetField(tif, TIFFTAG_COLORMAP, page.colorMap.data(), page.colorMap.data() + n,
                         page.colorMap.data() + 2 * n);
        }
        const std::size_t lineBytes = std::size_t(TIFFScanlineSize(tif));
        if (page.tileSize > 0) {
            TIFFSetField(tif, TIFFTAG_TILEWIDTH, page.tileSize);
            TIFFSetField(tif, TIFFTAG_TILELENGTH, page.tileSize);
            // Tiles are copied a byte at a time: pixels of fewer than 8 bits
            // need a tile size that is a multiple of 8 (tiles are 16 or more).
            const std::size_t bitsPerPixel = std::size_t(page.bitsPerSample) * page.samplesPerPixel;
            const std::size_t tileRowBytes = page.tileSize * bitsPerPixel / 8;
            std::vector<std::uint8_t> tile(std::size_t(TIFFTileSize(tif)));
            for (std::uint32_t ty = 0; ty < page.height; ty += page.tileSize)
                for (std::uint32_t tx = 0; tx < page.width; tx += page.tileSize) {
                    std::fill(tile.begin(), tile.end(), 0);
                    const std::size_t first = tx * bitsPerPixel / 8;
                    const std::size_t n = std::min(tileRowBytes, lineBytes - first);
                    for (std::uint32_t y = 0; y < page.tileSize && ty + y < page.height; ++y)
                        std::copy_n(&page.pixels[(ty + y) * lineBytes + first], n,
                                    &tile[y * tileRowBytes]);
                    TIFFWriteTile(tif, tile.data(), tx, ty, 0, 0);
                }
        } else {
            TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP,
                         page.rowsPerStrip ? page.rowsPerStrip : page.height);
            std::vector<std::uint8_t> line(lineBytes);
            for (std::uint32_t y = 0; y < page.height; ++y) {
                std::copy_n(&page.pixels[y * lineBytes], lineBytes, line.begin());
                TIFFWriteScanline(tif, line.data(), y, 0);
            }
        }
        TIFFWriteDirectory(tif);
    }
    TIFFClose(tif);
    return file.bytes();
}

TiffBuilder::TiffBuilder(bool bigEndian) : bigEndian_(bigEndian) {
    bytes_ = bigEndian ? std::vector<std::uint8_t>{'M', 'M', 0, 42, 0, 0, 0, 0}
                       : std::vector<std::uint8_t>{'I', 'I', 42, 0, 0, 0, 0, 0};
}

void TiffBuilder::put16(std::vector<std::uint8_t>& out, std::uint16_t v) const {
    if (bigEndian_)
        out.insert(out.end(), {std::uint8_t(v >> 8), std::uint8_t(v)});
    else
        out.insert(out.end(), {std::uint8_t(v), std::uint8_t(v >> 8)});
}

void TiffBuilder::put32(std::vector<std::uint8_t>& out, std::uint32_t v) const {
    if (bigEndian_) {
        put16(out, std::uint16_t(v >> 16));
        put16(out, std::uint16_t(v));
    } else {
        put16(out, std::uint16_t(v));
        put16(out, std::uint16_t(v >> 16));
    }
}

std::uint32_t TiffBuilder::append(const std::vector<std::uint8_t>& data) {
    const auto offset = std::uint32_t(bytes_.size());
    bytes_.insert(bytes_.end(), data.begin(), data.end());
    if (bytes_.size() % 2) bytes_.push_back(0); // directories start on a word boundary
    return offset;
}

void TiffBuilder::entry(std::uint16_t tag, std::uint16_t type, std::uint32_t count,
                        std::uint32_t value) {
    entries_.push_back({tag, type, count, value});
}

std::uint32_t TiffBuilder::directoryOffset() const {
    return std::uint32_t(bytes_.size());
}

std::vector<std::uint8_t> TiffBuilder::finish(std::uint32_t next) {
    std::sort(entries_.begin(), entries_.end(),
              [](const Entry& a, const Entry& b) { return a.tag < b.tag; });
    std::vector<std::uint8_t> out = bytes_;
    const std::uint32_t directory = directoryOffset();
    std::vector<std::uint8_t> header;
    put32(header, directory);
    std::copy(header.begin(), header.end(), out.begin() + 4);
    put16(out, std::uint16_t(entries_.size()));
    for (const Entry& e : entries_) {
        put16(out, e.tag);
        put16(out, e.type);
        put32(out, e.count);
        // A single SHORT sits in the first two bytes of the value field.
        if (e.type == TIFF_SHORT && e.count == 1) {
            put16(out, std::uint16_t(e.value));
            put16(out, 0);
        } else {
            put32(out, e.value);
        }
    }
    put32(out, next);
    return out;
}

std::vector<std::uint8_t> handMadeGreyPage(std::uint32_t width, std::uint32_t rows,
                                           std::uint32_t stripRows, bool writeRowsPerStrip) {
    TiffBuilder b;
    std::vector<std::uint8_t> pixels;
    for (std::uint32_t y = 0; y < rows; ++y) pixels.insert(pixels.end(), width, std::uint8_t(y));
    const std::uint32_t data = b.append(pixels);
    const std::uint32_t strips = (rows + stripRows - 1) / stripRows;
    std::vector<std::uint8_t> offsets, counts;
    for (std::uint32_t s = 0; s < strips; ++s) {
        const std::uint32_t n = std::min(stripRows, rows - s * stripRows);
        const std::uint32_t offset = data + s * stripRows * width;
        const std::uint32_t count = n * width;
        for (int i = 0; i < 4; ++i) {
            offsets.push_back(std::uint8_t(offset >> (8 * i)));
            counts.push_back(std::uint8_t(count >> (8 * i)));
        }
    }
    b.entry(TIFFTAG_IMAGEWIDTH, TIFF_SHORT, 1, width);
    b.entry(TIFFTAG_IMAGELENGTH, TIFF_SHORT, 1, rows);
    b.entry(TIFFTAG_BITSPERSAMPLE, TIFF_SHORT, 1, 8);
    b.entry(TIFFTAG_COMPRESSION, TIFF_SHORT, 1, COMPRESSION_NONE);
    b.entry(TIFFTAG_PHOTOMETRIC, TIFF_SHORT, 1, PHOTOMETRIC_MINISBLACK);
    if (strips == 1) {
        b.entry(TIFFTAG_STRIPOFFSETS, TIFF_LONG, 1, data);
        b.entry(TIFFTAG_STRIPBYTECOUNTS, TIFF_LONG, 1, rows * width);
    } else {
        b.entry(TIFFTAG_STRIPOFFSETS, TIFF_LONG, strips, b.append(offsets));
        b.entry(TIFFTAG_STRIPBYTECOUNTS, TIFF_LONG, strips, b.append(counts));
    }
    if (writeRowsPerStrip) b.entry(TIFFTAG_ROWSPERSTRIP, TIFF_SHORT, 1, stripRows);
    return b.finish();
}

std::vector<int> pixelsOf(const imaging::TDIB& image) {
    std::vector<int> pixels;
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) pixels.push_back(image.GetPixel(x, y));
    return pixels;
}

} // namespace imagingtest
