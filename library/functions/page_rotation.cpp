// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "library/functions/page_rotation.h"

#include <algorithm>
#include <cmath>
#include <cstring>
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
    // The walk runs along rows, left to right: its points between two
    // changes of row are consecutive pixels of one row.
    bool alongRowsRightwards() const { return xMajor_ && stepX_ == 1; }

    // Steps from here that move along the major axis only (up to `limit`).
    std::int64_t straightStepsAhead(std::int64_t limit) const {
        if (error_ >= 0) return 0;
        if (minor_ == 0) return limit;
        return std::min(limit, (-error_ + 2 * minor_ - 1) / (2 * minor_));
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
        walk.step();
        ++n;
    }
    return n;
}

// First column in [x, limit) of `row` whose pixel is black when `black`, else
// white; `limit` when there is none. Eight bytes at a time where they lie
// wholly before `limit`.
std::int64_t nextOfColour(const LaBitmap& bitmap, const std::uint8_t* row, std::int64_t x,
                          std::int64_t limit, bool black) {
    // Bits of a byte turned to 1 where the pixel has the colour sought.
    const std::uint8_t flip = std::uint8_t((bitmap.blackIsZero ? 0xFF : 0x00) ^ (black ? 0 : 0xFF));
    while (x < limit) {
        if ((x & 7) == 0 && limit - x >= 64) {
            std::uint64_t word;
            std::memcpy(&word, row + (x >> 3), sizeof word);
            word = __builtin_bswap64(word) ^ (flip * 0x0101010101010101ull);
            if (word) return x + __builtin_clzll(word);
            x += 64;
            continue;
        }
        const std::uint8_t bits = std::uint8_t((row[x >> 3] ^ flip) & (0xFF >> (x & 7)));
        if (bits) return std::min(limit, (x & ~std::int64_t(7)) + __builtin_clz(bits) - 24);
        x = (x & ~std::int64_t(7)) + 8;
    }
    return limit;
}

// Records the colour changes met on `count` consecutive pixels of input row
// y from column x on, numbered from step `firstStep`; outside the input reads
// as white. `black` is the colour before the first of them and after the last.
void recordSegmentTransitions(const LaBitmap& input, std::int64_t y, std::int64_t x,
                              std::int64_t count, std::int64_t firstStep, bool& black,
                              std::vector<std::int64_t>& transitions) {
    const std::int64_t from = y < 0 || y >= input.height ? x : std::max<std::int64_t>(x, 0);
    const std::int64_t to =
        y < 0 || y >= input.height ? x : std::min<std::int64_t>(x + count, input.width);
    if (black && from > x) { // white before the input's left edge
        transitions.push_back(firstStep);
        black = false;
    }
    const std::uint8_t* row = from < to ? input.row(std::int32_t(y)) : nullptr;
    for (std::int64_t c = from; c < to;) {
        c = nextOfColour(input, row, c, to, !black);
        if (c == to) break;
        transitions.push_back(firstStep + (c - x));
        black = !black;
    }
    if (black && std::max(from, to) < x + count) { // white past the right edge
        transitions.push_back(firstStep + (std::max(from, to) - x));
        black = false;
    }
}

// Walks from p0 to p1 and records the step numbers at which the sampled colour
// changes (starting from white). Sampling runs from the first step inside the
// input to the step before the one where the walk back from p1 first enters
// it; a run still open at the end is closed after the last sampled step.
void recordRowTransitions(const LaBitmap& input, Point p0, Point p1,
                          std::vector<std::int64_t>& transitions) {
    transitions.clear();
    BresenhamWalk forward(p0, p1);
    std::int64_t n = stepsUntilInside(input, forward);
    if (n > forward.major()) return;
    BresenhamWalk backward(p1, p0);
    const std::int64_t stepsBack = stepsUntilInside(input, backward);
    const std::int64_t end = forward.major() - stepsBack; // one past the last sampled step
    bool black = false;
    if (forward.alongRowsRightwards()) {
        // A row of the input at a time, between the walk's changes of row.
        while (n < end) {
            const std::int64_t count = forward.straightStepsAhead(end - n - 1) + 1;
            recordSegmentTransitions(input, forward.point().y, forward.point().x, count, n, black,
                                     transitions);
            n += count;
            if (n >= end) break;
            forward.stepStraight(count - 1);
            forward.step();
        }
        if (black) transitions.push_back(end);
        return;
    }
    for (; n < end; ++n) {
        if (sampleIsBlack(input, forward.point()) != black) {
            transitions.push_back(n);
            black = !black;
        }
        forward.step();
    }
    if (black) transitions.push_back(end);
}

// Paints columns [start, end) of a row in the ink colour.
void paintRun(std::uint8_t* row, std::int64_t start, std::int64_t end, bool inkIsOne) {
    std::int64_t x = start;
    while (x < end) {
        if ((x & 7) == 0 && end - x >= 8) {
            row[x >> 3] = inkIsOne ? 0xFF : 0x00;
            x += 8;
            continue;
        }
        const std::uint8_t mask = std::uint8_t(0x80 >> (x & 7));
        row[x >> 3] =
            inkIsOne ? std::uint8_t(row[x >> 3] | mask) : std::uint8_t(row[x >> 3] & ~mask);
        ++x;
    }
}

} // namespace

void rotatePageInto(const LaBitmap& input, LaBitmap& output, double angleDegrees) {
    if (!input.hasPixels() || !output.hasPixels()) return;
    const RotationMapping mapping(input, output, angleDegrees);
    const bool inkIsOne = output.blackIsZero != 1;
    // Sized from the width: one row never records more changes than steps.
    std::vector<std::int64_t> transitions;
    transitions.reserve(std::size_t(output.width) + 2);
    for (std::int32_t r = 0; r < output.height; ++r) {
        recordRowTransitions(input, mapping.map(0, r), mapping.map(output.width - 1, r),
                             transitions);
        std::uint8_t* row = output.row(r);
        for (std::size_t i = 0; i + 1 < transitions.size(); i += 2) {
            // A walk can be a step longer than the row; its surplus is dropped.
            const std::int64_t start = std::max<std::int64_t>(transitions[i], 0);
            const std::int64_t end = std::min<std::int64_t>(transitions[i + 1], output.width);
            paintRun(row, start, end, inkIsOne);
        }
    }
}

} // namespace quadrel
