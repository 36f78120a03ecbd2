#include "cli/page_loading.h"

#include "imaging/image_stream.h"
#include "imaging/tiff_io.h"

#include <filesystem>
#include <stdexcept>

namespace quadrel_cli {
namespace {

std::runtime_error reasonOf(const imaging::ImageError& e) {
    return std::runtime_error(e.detail().empty() ? e.what()
                                                 : std::string(e.what()) + ": " + e.detail());
}

// Opens the file and checks its byte-order mark, which the page counter would
// otherwise accept as a one-page image of some other format.
imaging::FileStream openTiff(const std::string& file) {
    std::error_code error;
    if (!std::filesystem::exists(file, error)) throw std::runtime_error("no such file");
    if (std::filesystem::is_directory(file, error)) throw std::runtime_error("is a folder");
    imaging::FileStream stream(file, imaging::FileStream::Mode::Read);
    char mark[2] = {};
    const bool tiff =
        stream.ReadExact(mark, 2) && mark[0] == mark[1] && (mark[0] == 'I' || mark[0] == 'M');
    stream.Seek(0, imaging::SeekOrigin::Begin);
    if (!tiff) throw std::runtime_error("not a TIFF file");
    return stream;
}

int pagesOf(imaging::FileStream& stream) {
    try {
        return imaging::TiffPageCount(stream);
    } catch (const imaging::ImageError& e) {
        throw reasonOf(e);
    }
}

} // namespace

int countTiffPages(const std::string& file) {
    imaging::FileStream stream = openTiff(file);
    return pagesOf(stream);
}

imaging::TDIB loadTiffPage(const std::string& file, int page) {
    imaging::FileStream stream = openTiff(file);
    const int pages = pagesOf(stream);
    if (page >= pages)
        throw std::runtime_error("the file has " + std::to_string(pages) +
                                 (pages == 1 ? " page" : " pages"));
    imaging::TDIB image;
    try {
        imaging::LoadTiff(image, stream, page);
    } catch (const imaging::ImageError& e) {
        throw reasonOf(e);
    }
    return image;
}

} // namespace quadrel_cli
