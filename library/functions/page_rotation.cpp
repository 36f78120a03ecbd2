// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "library/functions/page_rotation.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace quadrel {

namespace {

struct Point {
    std::int64_t x = 0;
    std::int64_t y = 0;
};

// A Bresenham walk from one point towards another, one step at a time. The
// major axis is the one with the larger delta (x on a tie).
class BresenhamWalk {
  public:
    BresenhamWalk(Point from, Point to) : point_(from) {
        const std::int64_t dx = to.x - from.x;
        const std::int64_t dy = to.y - from.y;
        stepX_ = dx < 0 ? -1 : 1;
        stepY_ = dy < 0 ? -1 : 1;
        const std::int64_t adx = dx < 0 ? -dx : dx;
        const std::int64_t ady = dy < 0 ? -dy : dy;
        xMajor_ = adx >= ady;
        major_ = xMajor_ ? adx : ady;
        minor_ = xMajor_ ? ady : adx;
        error_ = 2 * minor_ - major_;
    }

    const Point& point() const { return point_; }
    std::int64_t major() const { return major_; }
    std::int64_t minor() const { return minor_; }
    // The walk runs along rows, left to right: its points between two
    // changes of row are consecutive pixels of one row.
    bool alongRowsRightwards() const { return xMajor_ && stepX_ == 1; }

    // Steps from here that move along the major axis only (up to `limit`).
    std::int64_t straightStepsAhead(std::int64_t limit) const {
        if (error_ >= 0) return 0;
        if (minor_ == 0) return limit;
        return std::min(limit, (-error_ + 2 * minor_ - 1) / (2 * minor_));
    }

    // Straight steps from here (up to `limit`) whose points all lie outside
    // [0, width) x [0, height), stopping where the walk may enter it.
    std::int64_t straightStepsOutside(std::int64_t width, std::int64_t height,
                                      std::int64_t limit) const {
        const std::int64_t ahead = straightStepsAhead(limit);
        const std::int64_t major = xMajor_ ? point_.x : point_.y;
        const std::int64_t minor = xMajor_ ? point_.y : point_.x;
        const std::int64_t majorEnd = xMajor_ ? width : height;
        const std::int64_t minorEnd = xMajor_ ? height : width;
        if (minor < 0 || minor >= minorEnd) return ahead;
        const std::int64_t step = xMajor_ ? stepX_ : stepY_;
        if (major < 0) return step > 0 ? std::min(ahead, -major) : ahead;
        if (major >= majorEnd) return step < 0 ? std::min(ahead, major - majorEnd + 1) : ahead;
        return 0;
    }

    // `count` steps known to move along the major axis only.
    void stepStraight(std::int64_t count) {
        (xMajor_ ? point_.x : point_.y) += count * (xMajor_ ? stepX_ : stepY_);
        error_ += 2 * minor_ * count;
    }

    void step() {
        if (error_ < 0) {
            moveMajor();
            error_ += 2 * minor_;
        } else {
            moveMajor();
            moveMinor();
            error_ += 2 * minor_ - 2 * major_;
        }
    }

  private:
    void moveMajor() { (xMajor_ ? point_.x : point_.y) += xMajor_ ? stepX_ : stepY_; }
    void moveMinor() { (xMajor_ ? point_.y : point_.x) += xMajor_ ? stepY_ : stepX_; }

    Point point_;
    std::int64_t stepX_ = 1;
    std::int64_t stepY_ = 1;
    bool xMajor_ = true;
    std::int64_t major_ = 0;
    std::int64_t minor_ = 0;
    std::int64_t error_ = 0;
};

// Output-to-input mapping of the rotation, with the offsets that put the
// output centre on the input centre.
class RotationMapping {
  public:
    RotationMapping(const LaBitmap& input, const LaBitmap& output, double angleDegrees)
        : cos_(std::cos(angleDegrees * kDegreesToRadians)),
          sin_(std::sin(angleDegrees * kDegreesToRadians)) {
        const Point centre = map(output.width / 2, output.height / 2);
        offsetX_ = input.width / 2 - centre.x;
        offsetY_ = input.height / 2 - centre.y;
    }

    Point map(std::int64_t x, std::int64_t y) const {
        return {std::int64_t(double(x) * cos_ + double(y) * sin_ + double(offsetX_)),
                std::int64_t(double(y) * cos_ - double(x) * sin_ + double(offsetY_))};
    }

  private:
    double cos_;
    double sin_;
    std::int64_t offsetX_ = 0;
    std::int64_t offsetY_ = 0;
};

bool inside(const LaBitmap& bitmap, const Point& p) {
    return p.x >= 0 && p.x < bitmap.width && p.y >= 0 && p.y < bitmap.height;
}

bool sampleIsBlack(const LaBitmap& bitmap, const Point& p) {
    return inside(bitmap, p) && bitmap.isBlack(std::int32_t(p.x), std::int32_t(p.y));
}

// Steps walked from the start of `walk` until it stands inside the bitmap;
// more than the walk's major length when it never does.
std::int64_t stepsUntilInside(const LaBitmap& bitmap, BresenhamWalk& walk) {
    std::int64_t n = 0;
    while (n <= walk.major() && !inside(bitmap, walk.point())) {
        const std::int64_t skip =
            walk.straightStepsOutside(bitmap.width, bitmap.height, walk.major() - n);
        if (skip > 0) {
            walk.stepStraight(skip);
            n += skip;
            continue;
        }
        walk.step();
        ++n;
    }
    return n;
}

// One output row in 64-bit words, the first pixel of a word in its top bit,
// white until pixels are copied in, then stored into the bitmap row in byte
// order.
class RowWords {
  public:
    explicit RowWords(const LaBitmap& output)
        : white_(output.blackIsZero ? ~std::uint64_t(0) : 0),
          words_((output.rowBytes() + 7) / 8, white_) {}

    // Columns [to, to + count) take `count` bits of `src` from bit `from` on,
    // flipped where `flip` has ones (a change of polarity).
    void copyBits(std::int64_t to, const std::uint8_t* src, std::int64_t srcBytes,
                  std::int64_t from, std::int64_t count, std::uint64_t flip) {
        while (count > 0) {
            const std::int64_t offset = to & 63;
            const std::int64_t n = std::min<std::int64_t>(count, 64 - offset);
            const std::uint64_t bits = (bitsFrom(src, srcBytes, from) ^ flip) >> offset;
            // Bits [offset, offset + n) of the word; the tail shift stays below 64.
            const std::uint64_t tail = (~std::uint64_t(0) >> 1) >> (offset + n - 1);
            const std::uint64_t mask = (~std::uint64_t(0) >> offset) & ~tail;
            std::uint64_t& word = words_[std::size_t(to >> 6)];
            word = (word & ~mask) | (bits & mask);
            to += n;
            from += n;
            count -= n;
        }
    }

    void setBlack(std::int64_t column) {
        const std::uint64_t bit = std::uint64_t(1) << (63 - (column & 63));
        std::uint64_t& word = words_[std::size_t(column >> 6)];
        word = white_ ? word & ~bit : word | bit;
    }

    // Stores the row into `bytes` bytes and leaves the words white again.
    void storeAndClear(std::uint8_t* row, std::size_t bytes) {
        const std::size_t whole = bytes / 8;
        for (std::size_t i = 0; i < whole; ++i) {
            const std::uint64_t word = __builtin_bswap64(words_[i]);
            std::memcpy(row + 8 * i, &word, 8);
            words_[i] = white_;
        }
        if (whole < words_.size()) {
            const std::uint64_t word = __builtin_bswap64(words_[whole]);
            std::memcpy(row + 8 * whole, &word, bytes - 8 * whole);
            words_[whole] = white_;
        }
    }

  private:
    // 64 bits of a row of `bytes` bytes from bit `bit` on; bytes past the row read as 0.
    static std::uint64_t bitsFrom(const std::uint8_t* row, std::int64_t bytes, std::int64_t bit) {
        const std::int64_t at = bit >> 3;
        const unsigned shift = unsigned(bit & 7);
        std::uint64_t word = 0;
        std::uint8_t next = 0;
        if (at + 9 <= bytes) {
            std::memcpy(&word, row + at, sizeof word);
            word = __builtin_bswap64(word);
            next = row[at + 8];
        } else {
            for (std::int64_t i = 0; i < 8; ++i)
                word = (word << 8) | (at + i < bytes ? row[at + i] : 0);
            next = at + 8 < bytes ? row[at + 8] : 0;
        }
        return (word << shift) | (std::uint64_t(next) >> (8 - shift)); // next >> 8 is 0
    }

    std::uint64_t white_;
    std::vector<std::uint64_t> words_;
};

// The steps at which a walk along rows, of major length M and minor length m,
// enters its rows: row j (j = 1 ... m) from step ceil((2j - 1) M / 2m) on,
// which is where Bresenham's error term first turns non-negative. Kept while
// the next output rows' walks have the same lengths (they differ by rounding
// only), so that a row costs no division.
class RowEntrySteps {
  public:
    const std::vector<std::int64_t>& of(std::int64_t major, std::int64_t minor) {
        if (starts_.empty() || major != major_ || minor != minor_) {
            major_ = major;
            minor_ = minor;
            starts_.assign(1, 0);
            for (std::int64_t j = 1; j <= minor; ++j)
                starts_.push_back(((2 * j - 1) * major + 2 * minor - 1) / (2 * minor));
            starts_.push_back(std::numeric_limits<std::int64_t>::max());
        }
        return starts_;
    }

  private:
    std::int64_t major_ = 0;
    std::int64_t minor_ = 0;
    std::vector<std::int64_t> starts_;
};

// Copies the input pixels met by a walk along rows, left to right, from p0,
// for steps [n, end): step k reads input column p0.x + k of the walk's row at
// that step, so each stretch on one row is copied as a block of bits; outside
// the input reads as white.
void copyAlongRows(const LaBitmap& input, Point p0, std::int64_t rowStep,
                   const std::vector<std::int64_t>& starts, std::int64_t n, std::int64_t end,
                   std::uint64_t flip, RowWords& words) {
    const auto inputBytes = std::int64_t(input.rowBytes());
    auto j = std::size_t(std::upper_bound(starts.begin(), starts.end(), n) - starts.begin()) - 1;
    for (; n < end; ++j) {
        const std::int64_t stop = std::min(starts[j + 1], end);
        const std::int64_t y = p0.y + rowStep * std::int64_t(j);
        const std::int64_t from = std::max<std::int64_t>(p0.x + n, 0);
        const std::int64_t to = std::min<std::int64_t>(p0.x + stop, input.width);
        if (y >= 0 && y < input.height && from < to)
            words.copyBits(from - p0.x, input.row(std::int32_t(y)), inputBytes, from, to - from,
                           flip);
        n = stop;
    }
}

// First step (0 ... M) of a walk along rows from `start`, moving `xStep` per
// step and `yStep` per row change at `starts`, that stands inside the input;
// M + 1 when none does. Rows and columns inside the input are intervals of
// steps, so the answer is where they first overlap.
std::int64_t firstStepInside(const LaBitmap& input, Point start, std::int64_t xStep,
                             std::int64_t yStep, const std::vector<std::int64_t>& starts,
                             std::int64_t major) {
    const auto lastRow = std::int64_t(starts.size()) - 2; // m
    // Row changes j whose row lies inside: y = start.y + yStep j in [0, height).
    const std::int64_t jLow = std::max<std::int64_t>(
        0, yStep > 0 ? -start.y : start.y - (std::int64_t(input.height) - 1));
    const std::int64_t jHigh = std::min<std::int64_t>(
        lastRow, yStep > 0 ? std::int64_t(input.height) - 1 - start.y : start.y);
    if (jLow > jHigh) return major + 1;
    // Steps whose column lies inside: x = start.x + xStep k in [0, width).
    const std::int64_t kLow = xStep > 0 ? -start.x : start.x - (std::int64_t(input.width) - 1);
    const std::int64_t kHigh = xStep > 0 ? std::int64_t(input.width) - 1 - start.x : start.x;
    const std::int64_t first = std::max({std::int64_t(0), kLow, starts[std::size_t(jLow)]});
    const std::int64_t last = std::min({major, kHigh, starts[std::size_t(jHigh) + 1] - 1});
    return first <= last ? first : major + 1;
}

// Samples the output row from p0 towards p1: from the first step inside the
// input to the step before the one where the walk back from p1 first enters
// it, step n giving output column n (steps past the row are dropped).
void sampleRow(const LaBitmap& input, Point p0, Point p1, std::int64_t width, std::uint64_t flip,
               RowEntrySteps& entrySteps, RowWords& words) {
    BresenhamWalk forward(p0, p1);
    if (forward.alongRowsRightwards()) {
        // The walk back has the same lengths, hence the same row changes.
        const std::int64_t rowStep = p1.y < p0.y ? -1 : 1;
        const auto& starts = entrySteps.of(forward.major(), forward.minor());
        const std::int64_t n = firstStepInside(input, p0, 1, rowStep, starts, forward.major());
        if (n > forward.major()) return;
        const std::int64_t stepsBack =
            firstStepInside(input, p1, -1, -rowStep, starts, forward.major());
        const std::int64_t end = std::min(forward.major() - stepsBack, width);
        return copyAlongRows(input, p0, rowStep, starts, n, end, flip, words);
    }
    std::int64_t n = stepsUntilInside(input, forward);
    if (n > forward.major()) return;
    BresenhamWalk backward(p1, p0);
    const std::int64_t end = std::min(forward.major() - stepsUntilInside(input, backward), width);
    for (; n < end; ++n) {
        if (sampleIsBlack(input, forward.point())) words.setBlack(n);
        forward.step();
    }
}

} // namespace

void rotatePageInto(const LaBitmap& input, LaBitmap& output, double angleDegrees) {
    if (!input.hasPixels() || !output.hasPixels()) return;
    const RotationMapping mapping(input, output, angleDegrees);
    const std::uint64_t flip =
        (input.blackIsZero != 0) == (output.blackIsZero != 0) ? 0 : ~std::uint64_t(0);
    RowWords words(output);
    RowEntrySteps entrySteps;
    for (std::int32_t r = 0; r < output.height; ++r) {
        sampleRow(input, mapping.map(0, r), mapping.map(output.width - 1, r), output.width, flip,
                  entrySteps, words);
        words.storeAndClear(output.row(r), output.rowBytes());
    }
}

} // namespace quadrel
