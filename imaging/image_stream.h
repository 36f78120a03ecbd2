// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Byte streams the image library reads and writes: a file on disk or a block
// of memory. libtiff reaches them through the procedures of tiff_client.h,
// and the loaders look at their first bytes to tell formats apart.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace imaging {

enum class SeekOrigin { Begin, Current, End };

class ImageStream {
  public:
    virtual ~ImageStream() = default;

    // Reads up to `count` bytes; returns how many were read (0 at the end).
    virtual std::size_t Read(void* buffer, std::size_t count) = 0;
    // Writes `count` bytes at the position; returns how many were written.
    // Writing past the end grows the stream, a gap reading as zeros.
    virtual std::size_t Write(const void* buffer, std::size_t count) = 0;
    // Moves the position; returns the new position, or -1 (position
    // unchanged) when the target would lie before the start.
    virtual std::int64_t Seek(std::int64_t offset, SeekOrigin origin) = 0;
    virtual std::int64_t Position() = 0;
    virtual std::int64_t Size() = 0;

    // Reads exactly `count` bytes or returns false.
    bool ReadExact(void* buffer, std::size_t count) { return Read(buffer, count) == count; }
};

// A file opened through the C library (64-bit offsets).
class FileStream final : public ImageStream {
  public:
    enum class Mode {
        Read,   // existing file, read only
        Create, // new or truncated file, read and write
        Update  // existing file, read and write
    };

    // Raises ImageError "Cannot open file: <path>" when the file cannot be opened.
    FileStream(const std::string& path, Mode mode);

    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;
    std::int64_t Position() override;
    std::int64_t Size() override;

    // Pushes buffered bytes to the file; false on a write error.
    bool Flush();

  private:
    struct Closer {
        void operator()(std::FILE* f) const noexcept { std::fclose(f); }
    };
    // C streams need a positioning call between a read and a write.
    enum class LastOperation { None, Read, Write };

    std::unique_ptr<std::FILE, Closer> file_;
    LastOperation last_ = LastOperation::None;
};

// A growable block of memory.
class MemoryStream final : public ImageStream {
  public:
    MemoryStream() = default;
    explicit MemoryStream(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}

    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;
    std::int64_t Position() override { return position_; }
    std::int64_t Size() override { return std::int64_t(bytes_.size()); }

    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

  private:
    std::vector<std::uint8_t> bytes_;
    std::int64_t position_ = 0;
};

// Restores a stream's position when it goes out of scope: format detection
// looks at the first bytes and leaves the stream where it found it.
class StreamPositionGuard {
  public:
    explicit StreamPositionGuard(ImageStream& stream)
        : stream_(stream), position_(stream.Position()) {}
    ~StreamPositionGuard() { stream_.Seek(position_, SeekOrigin::Begin); }
    StreamPositionGuard(const StreamPositionGuard&) = delete;
    StreamPositionGuard& operator=(const StreamPositionGuard&) = delete;

  private:
    ImageStream& stream_;
    std::int64_t position_;
};

// The bytes from the stream's position to its end, for decoders that read
// from memory; the position is restored. Raises "Image too large" beyond
// twice kMaxImageBytes.
std::vector<std::uint8_t> RemainingBytes(ImageStream& stream);

} // namespace imaging
