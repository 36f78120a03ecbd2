#include "zones/atomic_file.h"

#include <atomic>
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

} // namespace zones
