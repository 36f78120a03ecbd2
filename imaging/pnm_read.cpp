// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// libnetpbm reads from a C stream (here the page's bytes through fmemopen)
// and reports errors by a long jump to a buffer registered with
// pm_setjmpbufsave; without one it would end the process. Every libnetpbm
// call runs inside guarded(), whose steps hold no object with a destructor,
// so the jump skips nothing that needs cleaning up; its message is kept
// (instead of printed) for the ImageError.
#include "imaging/pnm_read.h"

#include "imaging/image_stream.h"

#include <netpbm/pam.h>
#include <netpbm/pnm.h>

#include <algorithm>
#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

namespace imaging {
namespace {

// libnetpbm's error handling is process-wide: one reader at a time.
std::mutex gNetpbmMutex;
char gLastError[256] = "";

void keepError(const char* message) {
    std::snprintf(gLastError, sizeof gLastError, "%s", message);
}

void dropMessage(const char*) {}

void setUpNetpbm() {
    static std::once_flag once;
    std::call_once(once, [] {
        pm_setusererrormsgfn(keepError);
        pm_setusermessagefn(dropMessage);
    });
}

struct PnmState {
    std::FILE* file = nullptr;
    struct pam header {};
    tuple* row = nullptr;
    int eof = 0;
};

using Step = void (*)(PnmState&);

// The header size the reader fills, up to the tuple type (what PAM_STRUCT_SIZE
// computes, without its member access through a null pointer).
constexpr int kHeaderSize = int(offsetof(struct pam, tuple_type) + sizeof(pam::tuple_type));

// Runs one step; false (message in gLastError) when libnetpbm gave up.
bool guarded(Step step, PnmState& s) {
    std::jmp_buf jump;
    std::jmp_buf* previous = nullptr;
    pm_setjmpbufsave(&jump, &previous);
    if (setjmp(jump) != 0) {
        pm_setjmpbuf(previous);
        return false;
    }
    step(s);
    pm_setjmpbuf(previous);
    return true;
}

void readHeader(PnmState& s) {
    pnm_readpaminit(s.file, &s.header, kHeaderSize);
}
void allocateRow(PnmState& s) {
    s.row = pnm_allocpamrow(&s.header);
}
void readRow(PnmState& s) {
    pnm_readpamrow(&s.header, s.row);
}
void nextImage(PnmState& s) {
    pnm_nextimage(s.file, &s.eof);
}

[[noreturn]] void fail() {
    throw ImageError("Invalid PNM image", gLastError);
}

// The page's bytes opened as a C stream, and the row buffer, released together.
class PnmReader {
  public:
    explicit PnmReader(ImageStream& stream) : bytes_(RemainingBytes(stream)) {
        setUpNetpbm();
        if (bytes_.empty()) throw ImageError("Invalid PNM image", "empty file");
        s_.file = fmemopen(bytes_.data(), bytes_.size(), "rb");
        if (!s_.file) throw std::bad_alloc();
    }
    ~PnmReader() {
        freeRow();
        std::fclose(s_.file);
    }
    PnmReader(const PnmReader&) = delete;
    PnmReader& operator=(const PnmReader&) = delete;

    void run(Step step) {
        gLastError[0] = '\0';
        if (!guarded(step, s_)) fail();
    }

    // Reads the next image's header and makes its row buffer. Refuses an
    // image whose rows could not fit in the bytes left, before anything of
    // its size is allocated.
    const struct pam& startImage() {
        freeRow();
        run(readHeader);
        const long position = std::ftell(s_.file);
        const std::uint64_t left = bytes_.size() - std::uint64_t(position < 0 ? 0 : position);
        const std::uint64_t bits = std::uint64_t(s_.header.width) * s_.header.depth;
        if (s_.header.width <= 0 || s_.header.height <= 0 || s_.header.depth == 0 ||
            std::uint64_t(s_.header.height) * ((bits + 7) / 8) > left)
            throw ImageError("Invalid PNM image", "the image is cut short");
        run(allocateRow);
        return s_.header;
    }

    const tuple* nextRow() {
        run(readRow);
        return s_.row;
    }

    // Moves past the rest of the file's current image; false at the end of the file.
    bool skipToNextImage() {
        run(nextImage);
        return !s_.eof;
    }

  private:
    void freeRow() {
        if (s_.row) pnm_freepamrow(s_.row);
        s_.row = nullptr;
    }

    std::vector<std::uint8_t> bytes_;
    PnmState s_;
};

void skipImage(PnmReader& reader) {
    const struct pam& header = reader.startImage();
    for (int y = 0; y < header.height; ++y) reader.nextRow();
}

bool isBilevel(const struct pam& header) {
    return PAM_FORMAT_TYPE(header.format) == PBM_TYPE ||
           (header.maxval == 1 && std::strncmp(header.tuple_type, PAM_PBM_TUPLETYPE,
                                               std::strlen(PAM_PBM_TUPLETYPE)) == 0);
}

PixelFormat formatOf(const struct pam& header) {
    if (isBilevel(header)) return pf1bit;
    if (header.depth == 1 || header.depth == 2) return pf8bit;
    if (header.depth == 3 || header.depth == 4) return pf24bit;
    throw ImageError("Invalid PNM image", "unsupported depth " + std::to_string(header.depth));
}

void copyRow(TDIB& image, int y, const tuple* row, const struct pam& header) {
    const sample maxval = header.maxval ? header.maxval : 1;
    auto level = [maxval](sample v) {
        return int((std::min(v, maxval) * 255 + maxval / 2) / maxval);
    };
    const PixelFormat format = image.Format();
    for (int x = 0; x < header.width; ++x) {
        const sample* t = row[x];
        if (format == pf1bit)
            image.SetPixel(x, y, t[0] != PAM_PBM_BLACK ? 1 : 0); // bit 1 is white
        else if (format == pf8bit)
            image.SetPixel(x, y, level(t[0]));
        else
            image.SetPixel(x, y, RgbValue(level(t[0]), level(t[1]), level(t[2])));
    }
}

} // namespace

int PnmPageCount(ImageStream& stream) {
    const std::lock_guard<std::mutex> lock(gNetpbmMutex);
    StreamPositionGuard restore(stream);
    PnmReader reader(stream);
    int pages = 1;
    for (skipImage(reader); reader.skipToNextImage(); skipImage(reader)) ++pages;
    return pages;
}

void LoadPnm(TDIB& image, ImageStream& stream, int page) {
    if (page < 0) throw ImageError("Invalid PNM Page Number");
    const std::lock_guard<std::mutex> lock(gNetpbmMutex);
    PnmReader reader(stream);
    for (int i = 0; i < page; ++i) {
        skipImage(reader);
        if (!reader.skipToNextImage()) throw ImageError("Invalid PNM Page Number");
    }
    const struct pam& header = reader.startImage();
    TDIB loaded;
    loaded.NewImage(header.width, header.height, formatOf(header), 0, 0);
    for (int y = 0; y < header.height; ++y) copyRow(loaded, y, reader.nextRow(), header);
    image = std::move(loaded);
}

} // namespace imaging
