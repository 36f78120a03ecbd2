// The entry point of libquadrel_outline.so (see outline_module.h).
#include "zones/outline_module.h"

#include "zones/failure_reason.h"
#include "zones/gui_session.h"
#include "zones/outlined_image.h"

#include <new>
#include <optional>

namespace {

// Ended by the caller rather than at exit: Qt objects must not outlive main.
std::optional<zones::GuiSession> gSession;

void startSession() {
    if (!gSession) gSession.emplace();
}

void endSession() {
    gSession.reset();
}

zones::OutlineStatus write(const imaging::TDIB& page, const std::filesystem::path& file,
                           int divisor, const zones::ZoneSource& zones, std::string& reason) {
    try {
        zones::WriteOutlinedImage(page, file, divisor, zones);
        return zones::OutlineStatus::Written;
    } catch (const std::bad_alloc&) {
        return zones::OutlineStatus::OutOfMemory;
    } catch (const std::exception& e) {
        reason = zones::FailureReason(e);
        return zones::OutlineStatus::Failed;
    }
}

constexpr zones::OutlineModule kModule{QUADREL_VERSION, startSession, endSession, write};

} // namespace

extern "C" __attribute__((visibility("default"))) const zones::OutlineModule*
quadrel_outline_module() {
    return &kModule;
}
