// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "imaging/image_stream.h"

#include "imaging/dib_image.h"
#include "imaging/image_error.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

namespace imaging {

namespace {

const char* fopenMode(FileStream::Mode mode) {
    switch (mode) {
    case FileStream::Mode::Read:
        return "rb";
    case FileStream::Mode::Create:
        return "w+b";
    case FileStream::Mode::Update:
        return "r+b";
    }
    return "rb";
}

int whenceOf(SeekOrigin origin) {
    switch (origin) {
    case SeekOrigin::Begin:
        return SEEK_SET;
    case SeekOrigin::Current:
        return SEEK_CUR;
    case SeekOrigin::End:
        return SEEK_END;
    }
    return SEEK_SET;
}

} // namespace

FileStream::FileStream(const std::string& path, Mode mode)
    : file_(std::fopen(path.c_str(), fopenMode(mode))) {
    if (!file_) throw ImageError("Cannot open file: " + path);
}

std::size_t FileStream::Read(void* buffer, std::size_t count) {
    if (last_ == LastOperation::Write) std::fflush(file_.get());
    last_ = LastOperation::Read;
    return std::fread(buffer, 1, count, file_.get());
}

std::size_t FileStream::Write(const void* buffer, std::size_t count) {
    if (last_ == LastOperation::Read) fseeko(file_.get(), 0, SEEK_CUR);
    last_ = LastOperation::Write;
    return std::fwrite(buffer, 1, count, file_.get());
}

std::int64_t FileStream::Seek(std::int64_t offset, SeekOrigin origin) {
    last_ = LastOperation::None;
    if (fseeko(file_.get(), off_t(offset), whenceOf(origin)) != 0) return -1;
    return Position();
}

std::int64_t FileStream::Position() {
    return std::int64_t(ftello(file_.get()));
}

std::int64_t FileStream::Size() {
    const std::int64_t here = Position();
    last_ = LastOperation::None;
    if (fseeko(file_.get(), 0, SEEK_END) != 0) return -1;
    const std::int64_t end = Position();
    fseeko(file_.get(), off_t(here), SEEK_SET);
    return end;
}

bool FileStream::Flush() {
    return std::fflush(file_.get()) == 0;
}

std::size_t MemoryStream::Read(void* buffer, std::size_t count) {
    if (position_ >= std::int64_t(bytes_.size())) return 0;
    const std::size_t available = bytes_.size() - std::size_t(position_);
    const std::size_t n = std::min(count, available);
    if (n > 0) std::memcpy(buffer, bytes_.data() + position_, n);
    position_ += std::int64_t(n);
    return n;
}

std::size_t MemoryStream::Write(const void* buffer, std::size_t count) {
    const auto end = std::uint64_t(position_) + count;
    if (end > std::uint64_t(std::numeric_limits<std::int64_t>::max())) return 0;
    try {
        if (end > bytes_.size()) bytes_.resize(std::size_t(end));
    } catch (const std::bad_alloc&) {
        return 0;
    } catch (const std::length_error&) {
        return 0;
    }
    if (count > 0) std::memcpy(bytes_.data() + position_, buffer, count);
    position_ = std::int64_t(end);
    return count;
}

std::int64_t MemoryStream::Seek(std::int64_t offset, SeekOrigin origin) {
    std::int64_t from = 0;
    if (origin == SeekOrigin::Current) from = position_;
    if (origin == SeekOrigin::End) from = std::int64_t(bytes_.size());
    // from >= 0, so adding a negative offset cannot overflow.
    if (offset < 0 ? from + offset < 0 : from > std::numeric_limits<std::int64_t>::max() - offset)
        return -1;
    position_ = from + offset;
    return position_;
}

std::vector<std::uint8_t> RemainingBytes(ImageStream& stream) {
    StreamPositionGuard restore(stream);
    const std::int64_t available = stream.Size() - stream.Position();
    if (available <= 0) return {};
    if (std::uint64_t(available) > 2 * kMaxImageBytes) throw ImageError("Image too large");
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(available));
    bytes.resize(stream.Read(bytes.data(), bytes.size()));
    return bytes;
}

} // namespace imaging
