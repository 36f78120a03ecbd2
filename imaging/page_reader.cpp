// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "imaging/page_reader.h"

#include "imaging/image_format.h"
#include "imaging/png_read.h"
#include "imaging/pnm_read.h"

namespace imaging {
namespace {

[[noreturn]] void refuse(ImageFormat format) {
    switch (format) {
    case ImageFormat::Bmp:
        throw ImageError("BMP images are not supported");
    case ImageFormat::Gif:
        throw ImageError("GIF images are not supported");
    case ImageFormat::Jpeg:
        throw ImageError("JPEG images are not supported");
    default:
        throw ImageError("Unknown image format");
    }
}

} // namespace

int PageCount(ImageStream& stream) {
    const ImageFormat format = DetectImageFormat(stream);
    switch (format) {
    case ImageFormat::Tiff:
        return TiffPageCount(stream);
    case ImageFormat::Png:
        return 1;
    case ImageFormat::Pnm:
        return PnmPageCount(stream);
    default:
        refuse(format);
    }
}

TiffCompression LoadPage(TDIB& image, ImageStream& stream, int page, CcittPhotometric ccitt) {
    const ImageFormat format = DetectImageFormat(stream);
    switch (format) {
    case ImageFormat::Tiff:
        return LoadTiff(image, stream, page, ccitt);
    case ImageFormat::Png:
        if (page != 0) throw ImageError("Invalid PNG Page Number");
        LoadPng(image, stream);
        return tcAuto;
    case ImageFormat::Pnm:
        LoadPnm(image, stream, page);
        return tcAuto;
    default:
        refuse(format);
    }
}

} // namespace imaging
