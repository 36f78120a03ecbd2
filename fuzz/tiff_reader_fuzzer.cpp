// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The TIFF reader on arbitrary bytes: page count, every page (up to a few)
// read into a TDIB, the raw directory reader, and each small 1-bit page
// handed on to the analysis library as the utility does.
//
// Failures must surface as imaging::ImageError; any other exception, a crash
// or a sanitizer report is a finding. A page that loads must be a consistent
// image, and a 1-bit page must be a DIB that the library imports.
#include "fuzz/page_loop.h"
#include "imaging/dib_image.h"
#include "imaging/image_error.h"
#include "imaging/image_stream.h"
#include "imaging/tiff_decoder.h"
#include "imaging/tiff_io.h"
#include "library/la_api.h"
#include "platform/global_memory.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

constexpr int kMaxPagesRead = 4;
// Pages larger than this are loaded but not analysed, to keep runs short.
constexpr std::int64_t kMaxAnalysedPixels = std::int64_t(1) << 18;

void check(bool condition) {
    if (!condition) __builtin_trap();
}

int pageCount(imaging::ImageStream& stream) {
    try {
        const int pages = imaging::TiffPageCount(stream);
        check(pages >= 1);
        check(stream.Position() == 0);
        return pages;
    } catch (const imaging::ImageError&) {
        return 0;
    }
}

void analyse(const imaging::TDIB& image) {
    if (std::int64_t(image.Width()) * image.Height() > kMaxAnalysedPixels) return;
    LaContext* ctx = LA_Init("", "");
    const std::int32_t status = LA_Execute(ctx, image.GetHandle());
    check(status == 0 || status == 4);
    LA_Done(ctx);
}

void loadPage(imaging::ImageStream& stream, int page) {
    imaging::TDIB image;
    try {
        imaging::LoadTiff(image, stream, page);
    } catch (const imaging::ImageError&) {
        check(!image.IsValid()); // a failed load leaves the image as it was
        return;
    }
    check(image.IsValid() && image.Width() > 0 && image.Height() > 0);
    check(image.Stride() >= image.RowBytes());
    // Every row is reachable.
    volatile std::uint8_t sink = 0;
    sink = sink + image.ScanLine(0)[0] + image.ScanLine(image.Height() - 1)[image.RowBytes() - 1];
    if (image.Format() == imaging::pf1bit) analyse(image);
}

void readDirectories(imaging::ImageStream& stream, int pages) {
    stream.Seek(0, imaging::SeekOrigin::Begin);
    imaging::TTiffDecoder decoder(stream);
    for (int page = 0; page <= std::min(pages, kMaxPagesRead); ++page) {
        try {
            decoder.SelectPage(page);
        } catch (const imaging::ImageError&) {
            continue;
        }
        std::vector<std::uint8_t> bytes;
        for (const auto& entry : decoder.Entries()) {
            try {
                const std::uint32_t count = decoder.ReadTag(entry.tag, &bytes);
                check(bytes.size() == count);
            } catch (const imaging::ImageError&) {
            }
        }
        try {
            decoder.ReadTag(imaging::kAnnotationTag, &bytes);
        } catch (const imaging::ImageError&) {
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    imaging::MemoryStream stream(std::vector<std::uint8_t>(data, data + size));
    const int pages = pageCount(stream);
    fuzzing::loadEachPage(stream, pages, kMaxPagesRead, loadPage);
    readDirectories(stream, pages);
    return 0;
}
