// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The compression code table and the page count of a TIFF stream.
#include "imaging/tiff_io.h"

#include "imaging/image_stream.h"
#include "imaging/tiff_client.h"

namespace imaging {

TiffCompression AutomaticCompression(PixelFormat format) {
    switch (format) {
    case pf1bit:
        return tcGroup4;
    case pf4bit:
        return tcPackBits;
    case pf8bit:
    case pf15bit:
    case pf16bit:
    case pf24bit:
        return tcJpeg;
    }
    return tcNone;
}

TiffCompression CompressionFromTiff(unsigned compression, std::uint32_t t4Options) {
    switch (compression) {
    case COMPRESSION_NONE:
        return tcNone;
    case COMPRESSION_PACKBITS:
        return tcPackBits;
    case COMPRESSION_CCITTRLE:
    case COMPRESSION_CCITTRLEW:
        return tcGroup3_1D;
    case COMPRESSION_CCITTFAX3:
        return t4Options & GROUP3OPT_2DENCODING ? tcGroup3_2D : tcGroup3_1D;
    case COMPRESSION_CCITTFAX4:
        return tcGroup4;
    case COMPRESSION_DEFLATE:
        return tcDeflate;
    case COMPRESSION_JPEG:
        return tcJpeg;
    case COMPRESSION_LZW:
        return tcLzw;
    default:
        return tcAuto;
    }
}

unsigned TiffCompressionValue(TiffCompression code) {
    switch (code) {
    case tcPackBits:
        return COMPRESSION_PACKBITS;
    case tcGroup3_1D:
    case tcGroup3_2D:
        return COMPRESSION_CCITTFAX3;
    case tcGroup4:
        return COMPRESSION_CCITTFAX4;
    case tcDeflate:
        return COMPRESSION_DEFLATE;
    case tcJpeg:
        return COMPRESSION_JPEG;
    case tcLzw:
        return COMPRESSION_LZW;
    default:
        return COMPRESSION_NONE;
    }
}

int TiffPageCount(ImageStream& stream) {
    StreamPositionGuard restore(stream);
    const std::int64_t start = stream.Position();
    char signature[2] = {};
    if (!stream.ReadExact(signature, 2)) return 1;
    const bool tiff = (signature[0] == 'I' && signature[1] == 'I') ||
                      (signature[0] == 'M' && signature[1] == 'M');
    if (!tiff) return 1;
    stream.Seek(start, SeekOrigin::Begin);

    TiffHandle tiffHandle(stream, "r");
    if (!tiffHandle.IsOpen()) throw ImageError("TIFFOpen", tiffHandle.LastError());
    TIFF* tif = tiffHandle.get();
    TIFFSetDirectory(tif, 0);
    int pages = 1;
    while (TIFFReadDirectory(tif)) ++pages;
    return pages;
}

int TiffPageCount(const std::string& fileName) {
    FileStream stream(fileName, FileStream::Mode::Read);
    return TiffPageCount(stream);
}

} // namespace imaging
