// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Quadrel for C++20: the C interface of la_api.h and quadrel_memory.h with
// owners, standard containers and exceptions. Header only; link
// Quadrel::quadrel (CMake) or `pkg-config --libs quadrel`.
//
//     quadrel::Context context;
//     quadrel::Page page(rows, width, height, stride);   // packed 1-bit rows
//     for (const quadrel::Zone& zone : context.analyse(page)) ...
//
// Failures of the library throw quadrel::Error, which carries the LA_STATUS_
// value; a page that cannot be built throws std::invalid_argument (or
// std::bad_alloc). Handles follow the C rules: a Page owns its block, a
// Context its analysis state, a Pipe its pipe; none is copyable, all move.
// One analysis runs at a time in a process (see docs/api.md).
#ifndef QUADREL_QUADREL_HPP
#define QUADREL_QUADREL_HPP

#include "la_api.h"
#include "quadrel_memory.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <new>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace quadrel {

// What a zone holds (the LA_CONTENT_ codes).
enum class ZoneKind : std::int32_t {
    Line = LA_CONTENT_LINE,
    Table = LA_CONTENT_TABLE,
    TableColumn = LA_CONTENT_TABLE_COLUMN,
    TableCell = LA_CONTENT_TABLE_CELL,
    InvertedText = LA_CONTENT_INVERTED_TEXT,
    Picture = LA_CONTENT_PICTURE,
    Text = LA_CONTENT_TEXT,
    Noise = LA_CONTENT_NOISE
};

// The analysis functions that may stand in a pipe (the LA_FUNCTION_ codes).
enum class Function : std::int32_t {
    Skew = LA_FUNCTION_SKEW,
    LinesAndTables = LA_FUNCTION_LINES_AND_TABLES,
    LineRemoval = LA_FUNCTION_LINE_REMOVAL,
    InverseText = LA_FUNCTION_INVERSE_TEXT,
    Pictures = LA_FUNCTION_PICTURES,
    TextBlocks = LA_FUNCTION_TEXT_BLOCKS
};

// One zone in page pixels, origin at the top left: left, top and bottom
// inclusive, right one past the last column (a vertical rule's right is its
// last column; docs/api.md, Coordinates).
struct Zone {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    ZoneKind kind = ZoneKind::Noise;

    std::int32_t width() const noexcept { return right - left; }
    std::int32_t height() const noexcept { return bottom - top + 1; }
    bool operator==(const Zone&) const = default;
};

// Lower-case English name of a kind ("table column").
inline const char* kindName(ZoneKind kind) noexcept {
    switch (kind) {
    case ZoneKind::Line:
        return "line";
    case ZoneKind::Table:
        return "table";
    case ZoneKind::TableColumn:
        return "table column";
    case ZoneKind::TableCell:
        return "table cell";
    case ZoneKind::InvertedText:
        return "inverted text";
    case ZoneKind::Picture:
        return "picture";
    case ZoneKind::Text:
        return "text";
    case ZoneKind::Noise:
        return "noise";
    }
    return "unknown";
}

// What an LA_STATUS_ value tells a caller.
inline const char* statusText(std::int32_t status) noexcept {
    switch (status) {
    case LA_STATUS_OK:
        return "success";
    case LA_STATUS_OUT_OF_MEMORY:
        return "out of memory, or no live pipe";
    case LA_STATUS_NOT_AVAILABLE:
        return "the page is not a readable 1-bit page, the pipe is full, or the skew was not "
               "measured";
    case LA_STATUS_NULL_ARGUMENT:
        return "a null argument inside component extraction";
    case LA_STATUS_NO_BLACK_PIXEL:
        return "a text zone holds no black pixel";
    case LA_STATUS_BAD_CONTEXT_OR_INDEX:
        return "no context, or a zone index out of range";
    default:
        return "unknown status";
    }
}

// A failed library call: what was called and the status it returned.
class Error : public std::runtime_error {
  public:
    Error(const char* call, std::int32_t status)
        : std::runtime_error(std::string(call) + " failed with status " + std::to_string(status) +
                             ": " + statusText(status)),
          status_(status) {}
    std::int32_t status() const noexcept { return status_; }

  private:
    std::int32_t status_;
};

namespace detail {
inline void check(const char* call, std::int32_t status) {
    if (status != LA_STATUS_OK) throw Error(call, status);
}
struct FreeBlock {
    void operator()(QmBlock* block) const noexcept { QM_Free(block); }
};
} // namespace detail

// Resolution of a page in dots per inch; 0 when unknown. The analysis does
// not read it; it travels with the page.
struct Resolution {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

// A 1-bit page in the block form LA_Execute reads (quadrel_memory.h).
class Page {
  public:
    // Packed rows, top row first, leftmost pixel in the most significant bit;
    // row r starts at byte r * stride. blackBit: the bit value that is black.
    Page(std::span<const std::uint8_t> packedRows, std::int32_t width, std::int32_t height,
         std::int32_t stride, std::int32_t blackBit = 1, Resolution resolution = {})
        : width_(width), height_(height) {
        QmHandle block = nullptr;
        const std::int32_t status =
            QM_CreatePage(packedRows.data(), packedRows.size(), width, height, stride, blackBit,
                          resolution.x, resolution.y, &block);
        if (status == QM_STATUS_OUT_OF_MEMORY) throw std::bad_alloc();
        if (status != QM_STATUS_OK)
            throw std::invalid_argument(std::string("quadrel::Page: ") + QM_StatusText(status));
        block_.reset(block);
    }

    // One byte per pixel, row after row from the top: non-zero is black.
    static Page fromPixels(std::span<const std::uint8_t> pixels, std::int32_t width,
                           std::int32_t height, Resolution resolution = {}) {
        if (width < 1 || height < 1 || pixels.size() / std::size_t(width) < std::size_t(height))
            throw std::invalid_argument("quadrel::Page: fewer pixels than width x height");
        const std::size_t stride = (std::size_t(width) + 7) / 8;
        std::vector<std::uint8_t> rows(stride * std::size_t(height), 0);
        for (std::size_t y = 0; y < std::size_t(height); ++y)
            for (std::size_t x = 0; x < std::size_t(width); ++x)
                if (pixels[y * std::size_t(width) + x] != 0)
                    rows[y * stride + x / 8] |= std::uint8_t(0x80u >> (x % 8));
        return Page(rows, width, height, std::int32_t(stride), 1, resolution);
    }

    std::int32_t width() const noexcept { return width_; }
    std::int32_t height() const noexcept { return height_; }
    // The block, still owned by this page; what LA_Execute takes.
    QmHandle handle() const noexcept { return block_.get(); }

  private:
    std::unique_ptr<QmBlock, detail::FreeBlock> block_;
    std::int32_t width_;
    std::int32_t height_;
};

class Context;

// A pipe of analysis functions, run in order by every analysis of the
// contexts it is installed in. Destroying it while installed is safe: such a
// context runs its default pipe again.
class Pipe {
  public:
    LaPipe* get() const noexcept { return pipe_.get(); }
    // The number that parameter LA_PARAM_PIPE carries for this pipe.
    std::int32_t number() const noexcept { return number_; }

    Pipe& add(Function function) { return add(static_cast<std::int32_t>(function)); }
    // Codes that name no function are kept and skipped when the pipe runs.
    Pipe& add(std::int32_t code) {
        detail::check("LA_AddFunctionToPipe", LA_AddFunctionToPipe(pipe_.get(), code));
        return *this;
    }

  private:
    friend class Context;
    struct Destroy {
        void operator()(LaPipe* pipe) const noexcept { LA_DestroyPipe(pipe); }
    };
    Pipe(LaPipe* pipe, std::int32_t number) : pipe_(pipe), number_(number) {}

    std::unique_ptr<LaPipe, Destroy> pipe_;
    std::int32_t number_;
};

// One analysis context: its parameters, its pipe and the zones of its last
// analysis.
class Context {
  public:
    Context() : context_(LA_Init("", "")) {
        if (!context_) throw std::bad_alloc();
    }

    LaContext* get() const noexcept { return context_.get(); }

    // Makes a pipe of these functions and installs it here. The default pipe
    // and its parameter values are then not applied: set what the functions
    // read (docs/api.md lists it).
    Pipe createPipe(std::initializer_list<Function> functions = {}) {
        LaPipe* made = LA_CreatePipe(get());
        if (!made) throw std::bad_alloc();
        std::int32_t number = 0;
        LA_GetParameter(get(), LA_PARAM_PIPE, &number);
        Pipe pipe(made, number);
        for (Function f : functions) pipe.add(f);
        return pipe;
    }
    // Installs a pipe made by any context.
    void use(const Pipe& pipe) { setParameter(LA_PARAM_PIPE, pipe.number()); }

    void setParameter(std::int32_t id, std::int32_t value) {
        detail::check("LA_SetParameter", LA_SetParameter(get(), id, value));
    }
    std::int32_t parameter(std::int32_t id) const {
        std::int32_t value = 0;
        detail::check("LA_GetParameter", LA_GetParameter(get(), id, &value));
        return value;
    }

    // Analyses the page and returns its zones; throws Error when LA_Execute
    // reports a failure.
    std::vector<Zone> analyse(const Page& page) {
        detail::check("LA_Execute", LA_Execute(get(), page.handle()));
        return zones();
    }

    // The zones of the last analysis, in table order.
    std::vector<Zone> zones() const {
        std::vector<Zone> result(std::size_t(LA_GetZonesCount(get())));
        for (std::size_t i = 0; i < result.size(); ++i) {
            Zone& z = result[i];
            std::int32_t content = 0;
            LA_GetZoneRect(get(), std::int32_t(i), &z.left, &z.top, &z.right, &z.bottom);
            LA_GetZoneContent(get(), std::int32_t(i), &content);
            z.kind = static_cast<ZoneKind>(content);
        }
        return result;
    }

    // The skew in degrees that the last run of Function::Skew measured
    // (hundredths, truncated); empty while it has not run on this context.
    std::optional<double> skew() const {
        std::int32_t hundredths = 0;
        if (LA_GetParameter(get(), LA_PARAM_SKEW_ANGLE, &hundredths) != LA_STATUS_OK)
            return std::nullopt;
        return hundredths / 100.0;
    }

  private:
    struct Done {
        void operator()(LaContext* context) const noexcept { LA_Done(context); }
    };
    std::unique_ptr<LaContext, Done> context_;
};

} // namespace quadrel

#endif // QUADREL_QUADREL_HPP
