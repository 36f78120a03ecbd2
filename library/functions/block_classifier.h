// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Text-or-picture decision for one block image, from run-length statistics
// of its rows and columns: very small blocks are text; blocks with almost no
// ink or much ink, with very busy rows or columns, or with run statistics in
// a few fixed ranges are pictures; the rest is text.
#pragma once

#include "library/image/bitmap.h"
#include "library/image/components.h"
#include "library/la_api.h"

#include <cstdint>
#include <vector>

namespace quadrel {

// Run statistics of a block image (see classifyBlock for their use).
struct BlockFeatures {
    double rows = 0;         // H
    double width = 0;        // W, or 1 when W is below 1
    double ink = 0;          // black share of the row runs' lengths
    double meanBlackRow = 0; // mean black run along rows
    double meanWhiteRow = 0; // mean white run along rows
    double meanBlackCol = 0; // mean black run along columns
    double sdBlackRow = 0;   // sqrt(sum of squared deviations) / count, rows
    double sdBlackCol = 0;   // the same along columns
    double rowRuns = 0;      // runs per row per column
    double colRuns = 0;      // runs per column per row
    double colSpread = 0;    // spread of the columns' run counts, per row
    double rowPeak = 0;      // busiest row's changes per column
    double colPeak = 0;      // busiest column short of the very busiest, per row
};

// Computes the features of a block image. Throws std::bad_alloc when the run
// lists cannot be held.
BlockFeatures measureBlock(const LaBitmap& image);

// The content code of a block with these features: LA_CONTENT_TEXT or
// LA_CONTENT_PICTURE.
std::int32_t classifyFeatures(const BlockFeatures& f);

// Content code of a block image, text or picture. An image without rows
// or columns is text. Throws std::bad_alloc when memory runs out.
std::int32_t classifyBlock(const LaBitmap& image);

// A line's colour changes, counted from white before its first pixel (a
// line starting black changes at 0; its end is no change), and whether its
// first pixel is black.
struct LineChanges {
    std::int32_t changes = 0;
    bool startsBlack = false;
};

// The rows of a block image summed run by run, without drawing it: rows in
// order, each row's runs left to right, none touching another, inside the
// row.
class BlockRows {
  public:
    BlockRows(std::int32_t rows, std::int32_t width)
        : width_(width), lines_(std::size_t(rows > 0 ? rows : 0)) {}

    void add(std::int32_t y, std::int32_t start, std::int32_t end) {
        LineChanges& line = lines_[std::size_t(y)];
        // Each run starts a change, and ends one unless it reaches the row's end.
        line.changes += end == width_ ? 1 : 2;
        line.startsBlack = line.startsBlack || start == 0;
        black_ += end - start;
    }

    std::int32_t rows() const { return std::int32_t(lines_.size()); }
    std::int32_t width() const { return width_; }
    const std::vector<LineChanges>& lines() const { return lines_; }
    std::int64_t black() const { return black_; }

  private:
    std::int32_t width_;
    std::vector<LineChanges> lines_;
    std::int64_t black_ = 0;
};

// classifyBlock(image) for the image these rows make, whose pixels are read
// only when the rows do not decide.
std::int32_t classifyBlockRows(const BlockRows& rows, const LaBitmap& image);

} // namespace quadrel
