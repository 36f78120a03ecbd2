#include "zones/atomic_file.h"

#include <atomic>
#include <fstream>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace zones {
namespace {

std::filesystem::path temporaryPathFor(const std::filesystem::path& target) {
    // Process id and a counter keep concurrent writers (threads or worker
    // processes) apart; the leading dot keeps the file out of plain listings.
    static std::atomic<unsigned> counter{0};
    std::string name = ".";
    name += target.filename().string();
    name += '.';
    name += std::to_string(::getpid());
    name += '.';
    name += std::to_string(counter++);
    name += ".tmp";
    return target.parent_path() / name;
}

} // namespace

void replaceFileAtomically(const std::filesystem::path& target,
                           const std::function<void(const std::filesystem::path&)>& write) {
    const std::filesystem::path temporary = temporaryPathFor(target);
    try {
        write(temporary);
        std::filesystem::rename(temporary, target);
    } catch (...) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        throw;
    }
}

void WriteFileAtomically(const std::filesystem::path& target, std::string_view content) {
    replaceFileAtomically(target, [&](const std::filesystem::path& temporary) {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(content.data(), std::streamsize(content.size()));
        out.close();
        if (!out) throw std::runtime_error("Cannot write file " + target.string());
    });
}

} // namespace zones
