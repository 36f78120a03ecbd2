// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "cli/outline_writer.h"
#include "quadrel/version.h"

#include <dlfcn.h>

#include <filesystem>
#include <new>
#include <stdexcept>
#include <string>

namespace quadrel_cli {
namespace {

std::runtime_error cannotLoad(const char* reason) {
    return std::runtime_error(std::string("--outlined needs ") + zones::kOutlineModuleFile +
                              ", which cannot be loaded: " + (reason ? reason : "unknown reason"));
}

// The module next to the program (the build), or in ../lib (installed): the
// folders of the program's run path, tried by name because the run path does
// not reach dlopen calls that a sanitizer's interceptor makes on the program's
// behalf. Without either, the bare name, whose failure gives the loader's reason.
void* openModule() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error)
        for (const char* folder : {".", "../lib"}) {
            const std::filesystem::path file =
                program.parent_path() / folder / zones::kOutlineModuleFile;
            if (std::filesystem::exists(file, error))
                return ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL); // its failure says why
        }
    return ::dlopen(zones::kOutlineModuleFile, RTLD_NOW | RTLD_LOCAL);
}

const zones::OutlineModule* loadModule() {
    void* handle = openModule();
    if (handle == nullptr) throw cannotLoad(::dlerror());
    const auto entry =
        reinterpret_cast<zones::OutlineModuleEntry>(::dlsym(handle, zones::kOutlineModuleEntry));
    if (entry == nullptr) throw cannotLoad(::dlerror());
    const zones::OutlineModule* module = entry();
    if (module == nullptr || std::string(module->version) != QUADREL_VERSION)
        throw cannotLoad((std::string("it belongs to version ") +
                          (module ? module->version : "unknown") + ", not " + QUADREL_VERSION)
                             .c_str());
    return module;
}

} // namespace

OutlineWriter::OutlineWriter() : module_(loadModule()) {
    module_->startSession();
}

OutlineWriter::~OutlineWriter() {
    module_->endSession();
}

std::vector<std::uint8_t> OutlineWriter::tiff(const imaging::TDIB& page, int divisor,
                                              const zones::ZoneSource& zones,
                                              zones::ZoneLabels labels) const {
    std::vector<std::uint8_t> bytes;
    std::string reason;
    switch (module_->encode(page, divisor, zones, labels, bytes, reason)) {
    case zones::OutlineStatus::Written:
        return bytes;
    case zones::OutlineStatus::OutOfMemory:
        throw std::bad_alloc();
    case zones::OutlineStatus::Failed:
        break;
    }
    throw std::runtime_error(reason);
}

} // namespace quadrel_cli
