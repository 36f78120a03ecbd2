// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "imaging/tiff_client.h"

#include "imaging/image_error.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <utility>

namespace imaging {

struct TiffHandle::ClientState {
    ImageStream& stream;
    std::int64_t base;
    std::string lastError;
};

namespace {

using ClientState = TiffHandle::ClientState;

ClientState& stateOf(thandle_t handle) {
    return *static_cast<ClientState*>(handle);
}

tmsize_t readProc(thandle_t handle, void* buffer, tmsize_t size) {
    if (size <= 0) return 0;
    return tmsize_t(stateOf(handle).stream.Read(buffer, std::size_t(size)));
}

tmsize_t writeProc(thandle_t handle, void* buffer, tmsize_t size) {
    if (size <= 0) return 0;
    return tmsize_t(stateOf(handle).stream.Write(buffer, std::size_t(size)));
}

toff_t seekProc(thandle_t handle, toff_t offset, int whence) {
    ClientState& state = stateOf(handle);
    // libtiff passes signed offsets for SEEK_CUR and SEEK_END in an unsigned type.
    const auto signedOffset = std::int64_t(offset);
    std::int64_t position = -1;
    switch (whence) {
    case SEEK_SET:
        if (signedOffset < 0) return toff_t(-1);
        position = state.stream.Seek(state.base + signedOffset, SeekOrigin::Begin);
        break;
    case SEEK_CUR:
        position = state.stream.Seek(signedOffset, SeekOrigin::Current);
        break;
    case SEEK_END:
        position = state.stream.Seek(signedOffset, SeekOrigin::End);
        break;
    default:
        return toff_t(-1);
    }
    if (position < state.base) return toff_t(-1);
    return toff_t(position - state.base);
}

int closeProc(thandle_t) {
    return 0;
}

toff_t sizeProc(thandle_t handle) {
    ClientState& state = stateOf(handle);
    const std::int64_t size = state.stream.Size();
    return size > state.base ? toff_t(size - state.base) : 0;
}

int mapProc(thandle_t, void**, toff_t*) {
    return 0;
}

void unmapProc(thandle_t, void*, toff_t) {}

int errorHandler(TIFF*, void* userData, const char* module, const char* format, va_list args) {
    auto* state = static_cast<ClientState*>(userData);
    if (!state) return 1;
    char text[512];
    std::vsnprintf(text, sizeof text, format, args);
    state->lastError = module ? std::string(module) + ": " + text : std::string(text);
    return 1; // handled: libtiff's global handler stays silent
}

int warningHandler(TIFF*, void*, const char*, const char*, va_list) {
    return 1;
}

// Messages from outside any handle (rare) would go to stderr by default.
void silenceGlobalHandlers() {
    static std::once_flag once;
    std::call_once(once, [] {
        TIFFSetErrorHandler(nullptr);
        TIFFSetWarningHandler(nullptr);
    });
}

struct OptionsDeleter {
    void operator()(TIFFOpenOptions* options) const noexcept { TIFFOpenOptionsFree(options); }
};

} // namespace

TiffHandle::TiffHandle(ImageStream& stream, const char* mode)
    : state_(std::make_unique<ClientState>(ClientState{stream, stream.Position(), {}})) {
    silenceGlobalHandlers();
    std::unique_ptr<TIFFOpenOptions, OptionsDeleter> options(TIFFOpenOptionsAlloc());
    if (!options) return;
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), errorHandler, state_.get());
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), warningHandler, state_.get());
    // libtiff's own buffers stay within the size of the largest image we hold.
    TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), tmsize_t(1) << 30);
    if (state_->base < 0) return;
    tif_ = TIFFClientOpenExt("", mode, state_.get(), readProc, writeProc, seekProc, closeProc,
                             sizeProc, mapProc, unmapProc, options.get());
}

TiffHandle::~TiffHandle() {
    if (tif_) TIFFClose(tif_);
}

TiffHandle::TiffHandle(TiffHandle&& other) noexcept
    : state_(std::move(other.state_)), tif_(std::exchange(other.tif_, nullptr)) {}

const std::string& TiffHandle::LastError() const {
    static const std::string none;
    return state_ ? state_->lastError : none;
}

TiffHandle OpenTiffForReading(ImageStream& stream) {
    const std::int64_t start = stream.Position();
    TiffHandle first(stream, "r");
    if (first.IsOpen()) return first;
    if (stream.Seek(0, SeekOrigin::Begin) == 0 && start != 0) {
        TiffHandle second(stream, "r");
        if (second.IsOpen()) return second;
    }
    throw ImageError("TIFFOpen", first.LastError());
}

} // namespace imaging
