// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The netpbm reader on arbitrary bytes: the page count, then every page (up
// to a few) and one past the count. libnetpbm's own error exit must never
// be reached: every failure surfaces as imaging::ImageError and leaves the
// image as it was. A crash, a sanitizer report, a leak or any other
// exception is a finding.
#include "fuzz/page_loop.h"
#include "imaging/dib_image.h"
#include "imaging/image_error.h"
#include "imaging/image_stream.h"
#include "imaging/pnm_read.h"

#include <cstdint>
#include <vector>

namespace {

constexpr int kMaxPagesRead = 4;

void check(bool condition) {
    if (!condition) __builtin_trap();
}

int pageCount(imaging::ImageStream& stream) {
    try {
        const int pages = imaging::PnmPageCount(stream);
        check(pages >= 1 && stream.Position() == 0);
        return pages;
    } catch (const imaging::ImageError&) {
        return 0;
    }
}

void loadPage(imaging::ImageStream& stream, int page) {
    imaging::TDIB image;
    try {
        imaging::LoadPnm(image, stream, page);
    } catch (const imaging::ImageError&) {
        check(!image.IsValid());
        return;
    }
    check(image.IsValid() && image.Width() > 0 && image.Height() > 0);
    volatile std::uint8_t sink = 0;
    sink = sink + image.ScanLine(image.Height() - 1)[image.RowBytes() - 1];
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    imaging::MemoryStream stream(std::vector<std::uint8_t>(data, data + size));
    const int pages = pageCount(stream);
    fuzzing::loadEachPage(stream, pages, kMaxPagesRead, loadPage);
    return 0;
}
