// Output files that are never left half-written: the content goes to a
// temporary file in the target's own folder (so that the final rename stays
// on one file system and is atomic), which then replaces the target.
#pragma once

#include <filesystem>
#include <functional>

namespace zones {

// Calls `write` with a fresh temporary path next to `target`; when it returns,
// renames the temporary file to `target`. When `write` or the rename throws,
// the temporary file is removed, `target` is left as it was and the
// exception propagates.
void replaceFileAtomically(const std::filesystem::path& target,
                           const std::function<void(const std::filesystem::path&)>& write);

} // namespace zones
