// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "cli/page_loading.h"

#include "imaging/image_stream.h"
#include "imaging/page_reader.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <unistd.h>

namespace quadrel_cli {
namespace {

std::runtime_error reasonOf(const imaging::ImageError& e) {
    return std::runtime_error(e.detail().empty() ? e.what()
                                                 : std::string(e.what()) + ": " + e.detail());
}

std::vector<std::uint8_t> readStandardInput() {
    std::vector<std::uint8_t> bytes;
    std::uint8_t buffer[65536];
    while (true) {
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0)
            throw std::runtime_error(std::string("cannot read standard input: ") +
                                     std::strerror(errno));
        if (n == 0) break;
        if (bytes.size() + std::size_t(n) > 2 * imaging::kMaxImageBytes)
            throw std::runtime_error("standard input holds more than an image can");
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    if (bytes.empty()) throw std::runtime_error("standard input is empty");
    return bytes;
}

// Standard input as a stream over the bytes read the first time.
std::unique_ptr<imaging::ImageStream> standardInput() {
    static std::optional<std::vector<std::uint8_t>> bytes;
    if (!bytes) bytes = readStandardInput();
    return std::make_unique<imaging::MemoryStream>(*bytes);
}

std::unique_ptr<imaging::ImageStream> openInput(const std::string& file) {
    if (file == "-") return standardInput();
    std::error_code error;
    if (!std::filesystem::exists(file, error)) throw std::runtime_error("no such file");
    if (std::filesystem::is_directory(file, error)) throw std::runtime_error("is a folder");
    return std::make_unique<imaging::FileStream>(file, imaging::FileStream::Mode::Read);
}

template <class Read> auto withReasons(Read&& read) {
    try {
        return read();
    } catch (const imaging::ImageError& e) {
        throw reasonOf(e);
    }
}

} // namespace

int countPages(const std::string& file) {
    return withReasons([&] { return imaging::PageCount(*openInput(file)); });
}

imaging::TDIB loadPage(const std::string& file, int page, imaging::CcittPhotometric ccitt) {
    return withReasons([&] {
        const std::unique_ptr<imaging::ImageStream> stream = openInput(file);
        const int pages = imaging::PageCount(*stream);
        if (page >= pages)
            throw std::runtime_error("the file has " + std::to_string(pages) +
                                     (pages == 1 ? " page" : " pages"));
        imaging::TDIB image;
        imaging::LoadPage(image, *stream, page, ccitt);
        return image;
    });
}

} // namespace quadrel_cli
