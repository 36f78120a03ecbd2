// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// libtiff on the program's own streams.
//
// TiffHandle opens libtiff through TIFFClientOpen with procedures that move
// bytes through an ImageStream: read, write and seek go to the stream, size
// returns its size, close does nothing and memory mapping is reported as not
// available. Offsets are counted from the stream position at opening, so a
// TIFF embedded in a larger stream reads as well as a whole file. libtiff's
// messages never reach stderr: the last error is kept for the exception text.
// Private to the image library.
#pragma once

#include "imaging/image_stream.h"

#include <tiffio.h>

#include <cstdint>
#include <memory>
#include <string>

namespace imaging {

class TiffHandle {
  public:
    // Opens with libtiff mode "r", "w" or "a". Check with IsOpen().
    TiffHandle(ImageStream& stream, const char* mode);
    ~TiffHandle();
    TiffHandle(TiffHandle&& other) noexcept;
    TiffHandle& operator=(TiffHandle&&) = delete;
    TiffHandle(const TiffHandle&) = delete;
    TiffHandle& operator=(const TiffHandle&) = delete;

    bool IsOpen() const { return tif_ != nullptr; }
    TIFF* get() const { return tif_; }
    // The last error libtiff reported on this handle ("" when none).
    const std::string& LastError() const;

    struct ClientState;

  private:
    std::unique_ptr<ClientState> state_;
    TIFF* tif_ = nullptr;
};

// Opens a TIFF for reading at the stream's position and, failing that, once
// more at the start of the stream. Raises "TIFFOpen" when both fail.
TiffHandle OpenTiffForReading(ImageStream& stream);

} // namespace imaging
