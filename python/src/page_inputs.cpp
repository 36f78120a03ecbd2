// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "python/src/page_inputs.h"

#include "cli/page_loading.h"
#include "imaging/binarize.h"
#include "zones/page_refusal.h"

#include <cstring>
#include <filesystem>

namespace quadrel_python {
namespace {

// Missing files and folders get their errno, so that Python raises
// FileNotFoundError and IsADirectoryError as it does for open().
void checkReadable(const std::string& file) {
    std::error_code error;
    if (!std::filesystem::exists(file, error))
        throw PageFileError(file, std::strerror(ENOENT), ENOENT);
    if (std::filesystem::is_directory(file, error))
        throw PageFileError(file, std::strerror(EISDIR), EISDIR);
}

void applyFallback(imaging::TDIB& page, FallbackDpi dpi) {
    if (page.XDpi() == 0 && dpi.x > 0) page.SetXDpi(dpi.x);
    if (page.YDpi() == 0 && dpi.y > 0) page.SetYDpi(dpi.y);
}

} // namespace

int filePageCount(const std::string& file) {
    checkReadable(file);
    try {
        return quadrel_cli::countPages(file);
    } catch (const std::runtime_error& e) {
        throw PageFileError(file, e.what());
    }
}

imaging::TDIB loadFilePage(const std::string& file, int page, bool binarize, FallbackDpi dpi) {
    const int pages = filePageCount(file);
    if (page < 0 || page >= pages)
        throw std::out_of_range("page " + std::to_string(page) + " of " + file + ": the file has " +
                                std::to_string(pages) + (pages == 1 ? " page" : " pages"));
    imaging::TDIB image;
    try {
        image = quadrel_cli::loadPage(file, page, imaging::CcittPhotometric::FaxConvention);
    } catch (const std::runtime_error& e) {
        throw PageFileError(file, e.what());
    }
    if (zones::AnalysisRefusal(image)) {
        if (!binarize)
            throw std::invalid_argument(file + ": the page has " +
                                        std::to_string(image.BitCount()) +
                                        " bits per pixel, not 1; pass binarize=True to threshold "
                                        "it");
        image = imaging::binarized(image);
    }
    applyFallback(image, dpi);
    return image;
}

imaging::TDIB binarizedPage(const GreyPixels& pixels, FallbackDpi dpi) {
    if (pixels.width < 1 || pixels.height < 1)
        throw std::invalid_argument("the page must be at least 1 x 1 pixels");
    if (pixels.width > INT32_MAX || pixels.height > INT32_MAX)
        throw std::invalid_argument("the page is too large");
    imaging::TDIB grey;
    try {
        grey.NewImage(int(pixels.width), int(pixels.height),
                      pixels.channels == 3 ? imaging::pf24bit : imaging::pf8bit, dpi.x, dpi.y);
    } catch (const imaging::ImageError& e) {
        throw std::invalid_argument(std::string("cannot hold the page: ") + e.what());
    }
    for (std::int64_t y = 0; y < pixels.height; ++y) {
        const std::uint8_t* from = pixels.data + y * pixels.rowStride;
        std::uint8_t* to = grey.ScanLine(int(y));
        if (pixels.channels == 1) {
            std::memcpy(to, from, std::size_t(pixels.width));
            continue;
        }
        for (std::int64_t x = 0; x < pixels.width; ++x) { // stored blue, green, red
            to[3 * x] = from[3 * x + 2];
            to[3 * x + 1] = from[3 * x + 1];
            to[3 * x + 2] = from[3 * x];
        }
    }
    return imaging::binarized(grey);
}

} // namespace quadrel_python
