// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "library/functions/table_detection.h"

#include "library/la_api.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <new>
#include <optional>
#include <utility>
#include <vector>

namespace quadrel {

namespace {

// A line that stops this many pixels short of another still crosses it.
constexpr std::int64_t kCrossingTolerance = 10;
constexpr std::int32_t kBoxStart = std::numeric_limits<std::int32_t>::max();
// Slope given to a line whose box has no width.
constexpr double kUprightSlope = 1e300;

struct Point {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

struct Crossing {
    bool exists = false;
    Point at;
    std::int32_t table = 0; // 1-based table number once grouped
};

// Every horizontal line (matrix row) against every vertical line (matrix
// column), both in list order.
class CrossingMatrix {
  public:
    std::vector<std::size_t> horizontal; // list positions
    std::vector<std::size_t> vertical;

    void resize() { cells_.assign(horizontal.size() * vertical.size(), Crossing{}); }
    std::size_t rows() const { return horizontal.size(); }
    std::size_t columns() const { return vertical.size(); }
    Crossing& at(std::size_t i, std::size_t j) { return cells_[i * vertical.size() + j]; }
    const Crossing& at(std::size_t i, std::size_t j) const {
        return cells_[i * vertical.size() + j];
    }

  private:
    std::vector<Crossing> cells_;
};

struct StraightLine {
    double slope = 0;
    double offset = 0; // y at x = 0
};

// The straight line from a box's (x_min, y_min) corner to its (x_max, y_max) corner.
StraightLine throughBox(const LaRegionRecord& r) {
    const double slope = r.xMax == r.xMin ? kUprightSlope
                                          : double(std::int64_t(r.yMax) - r.yMin) /
                                                double(std::int64_t(r.xMax) - r.xMin);
    return {slope, double(r.yMin) - double(r.xMin) * slope};
}

std::optional<std::int32_t> roundToPixel(double value) {
    if (!std::isfinite(value)) return std::nullopt;
    const double rounded = std::trunc(value + 0.5);
    if (rounded < std::numeric_limits<std::int32_t>::min() ||
        rounded > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return std::int32_t(rounded);
}

bool withinWidenedBox(const LaRegionRecord& r, Point p) {
    return std::int64_t(r.xMin) - kCrossingTolerance <= p.x &&
           p.x <= std::int64_t(r.xMax) + kCrossingTolerance &&
           std::int64_t(r.yMin) - kCrossingTolerance <= p.y &&
           p.y <= std::int64_t(r.yMax) + kCrossingTolerance;
}

// Where the straight lines through the two boxes meet, when that point lies
// near both boxes. Parallel lines have no finite crossing and never cross.
std::optional<Point> crossingPoint(const LaRegionRecord& h, const LaRegionRecord& v) {
    const StraightLine a = throughBox(h);
    const StraightLine b = throughBox(v);
    const double denominator = b.slope - a.slope;
    if (denominator == 0.0) return std::nullopt;
    const auto x = roundToPixel((a.offset - b.offset) / denominator);
    const auto y = roundToPixel((a.offset * b.slope - a.slope * b.offset) / denominator);
    if (!x || !y) return std::nullopt;
    const Point p{*x, *y};
    if (!withinWidenedBox(h, p) || !withinWidenedBox(v, p)) return std::nullopt;
    return p;
}

// Length and thickness as the table step reads them, whichever axis the
// line was found along.
void remeasureLines(LaList<LaRegionRecord>& list, std::size_t lineCount) {
    for (std::size_t k = 0; k < lineCount; ++k) {
        LaRegionRecord& r = list[k];
        r.length = std::int32_t(std::int64_t(r.xMax) - r.xMin);
        r.thickness = std::int32_t(std::llabs(std::int64_t(r.yMax) - r.yMin) + 1);
    }
}

// A line thicker than long is vertical.
CrossingMatrix classifyLines(const LaList<LaRegionRecord>& list, std::size_t lineCount) {
    CrossingMatrix matrix;
    for (std::size_t k = 0; k < lineCount; ++k)
        (list[k].thickness > list[k].length ? matrix.vertical : matrix.horizontal).push_back(k);
    matrix.resize();
    return matrix;
}

void findCrossings(const LaList<LaRegionRecord>& list, CrossingMatrix& matrix) {
    for (std::size_t i = 0; i < matrix.rows(); ++i) {
        for (std::size_t j = 0; j < matrix.columns(); ++j) {
            const auto p = crossingPoint(list[matrix.horizontal[i]], list[matrix.vertical[j]]);
            if (!p) continue;
            matrix.at(i, j).exists = true;
            matrix.at(i, j).at = *p;
        }
    }
}

// Crossings that share a line belong to one table, transitively. Tables are
// numbered in row-major order of their first crossing; returns their count.
std::int32_t groupIntoTables(CrossingMatrix& matrix) {
    std::int32_t tables = 0;
    std::vector<std::pair<std::size_t, std::size_t>> pending;
    auto claim = [&](std::size_t i, std::size_t j) {
        Crossing& c = matrix.at(i, j);
        if (!c.exists || c.table != 0) return;
        c.table = tables;
        pending.emplace_back(i, j);
    };
    for (std::size_t i = 0; i < matrix.rows(); ++i) {
        for (std::size_t j = 0; j < matrix.columns(); ++j) {
            const Crossing& c = matrix.at(i, j);
            if (!c.exists || c.table != 0) continue;
            ++tables;
            claim(i, j);
            while (!pending.empty()) {
                const auto [a, b] = pending.back();
                pending.pop_back();
                for (std::size_t k = 0; k < matrix.rows(); ++k) claim(k, b);
                for (std::size_t k = 0; k < matrix.columns(); ++k) claim(a, k);
            }
        }
    }
    return tables;
}

struct Box {
    std::int32_t xMin = kBoxStart;
    std::int32_t yMin = kBoxStart;
    std::int32_t xMax = 0;
    std::int32_t yMax = 0;

    void widenX(std::int32_t x) {
        xMin = std::min(xMin, x);
        xMax = std::max(xMax, x);
    }
    void widenY(std::int32_t y) {
        yMin = std::min(yMin, y);
        yMax = std::max(yMax, y);
    }
    void widen(Point p) {
        widenX(p.x);
        widenY(p.y);
    }
};

LaRegionRecord zoneRecord(const Box& box, std::int32_t content) {
    LaRegionRecord r;
    r.xMin = box.xMin;
    r.yMin = box.yMin;
    r.xMax = box.xMax;
    r.yMax = box.yMax;
    r.length = std::int32_t(std::int64_t(box.xMax) - box.xMin);
    r.thickness = std::int32_t(std::int64_t(box.yMax) - box.yMin + 1);
    r.content = content;
    return r;
}

// One table: its crossings (row-major) and member lines (matrix positions, in
// list order).
struct Table {
    std::vector<std::pair<std::size_t, std::size_t>> crossings;
    std::vector<std::size_t> h;
    std::vector<std::size_t> v;
};

std::vector<Table> collectTables(const CrossingMatrix& matrix, std::int32_t tableCount) {
    std::vector<Table> tables(static_cast<std::size_t>(tableCount));
    for (std::size_t i = 0; i < matrix.rows(); ++i)
        for (std::size_t j = 0; j < matrix.columns(); ++j)
            if (matrix.at(i, j).exists)
                tables[std::size_t(matrix.at(i, j).table - 1)].crossings.emplace_back(i, j);
    std::vector<bool> isMemberH(matrix.rows());
    std::vector<bool> isMemberV(matrix.columns());
    for (Table& t : tables) {
        for (const auto& [i, j] : t.crossings) {
            if (!isMemberH[i]) t.h.push_back(i);
            if (!isMemberV[j]) t.v.push_back(j);
            isMemberH[i] = true;
            isMemberV[j] = true;
        }
        std::sort(t.h.begin(), t.h.end());
        std::sort(t.v.begin(), t.v.end());
        for (std::size_t i : t.h) isMemberH[i] = false;
        for (std::size_t j : t.v) isMemberV[j] = false;
    }
    return tables;
}

// The table's box covers both lines of every crossing.
Box tableBox(const LaList<LaRegionRecord>& list, const CrossingMatrix& matrix, const Table& t) {
    Box box;
    for (const auto& [i, j] : t.crossings) {
        for (const LaRegionRecord* r : {&list[matrix.horizontal[i]], &list[matrix.vertical[j]]}) {
            box.widenX(r->xMin);
            box.widenX(r->xMax);
            box.widenY(r->yMin);
            box.widenY(r->yMax);
        }
    }
    return box;
}

// Column k lies between member vertical lines k and k + 1: the box of their
// crossings with the table's horizontal lines.
std::vector<Box> tableColumns(const CrossingMatrix& matrix, const Table& t) {
    std::vector<Box> columns;
    for (std::size_t k = 0; k + 1 < t.v.size(); ++k) {
        Box box;
        for (std::size_t i : t.h)
            for (std::size_t j : {t.v[k], t.v[k + 1]})
                if (matrix.at(i, j).exists) box.widen(matrix.at(i, j).at);
        columns.push_back(box);
    }
    return columns;
}

// The positions, among the table's lines of the other direction, of the first
// and last lines a line crosses (0 and 0 when none); the line spans every
// position between them.
struct Span {
    std::size_t first = 0;
    std::size_t last = 0;
    bool covers(std::size_t k) const { return first <= k && k <= last; }
};

template <class CrossesAt> Span spanOf(std::size_t count, CrossesAt crossesAt) {
    Span span;
    bool found = false;
    for (std::size_t k = 0; k < count; ++k) {
        if (!crossesAt(k)) continue;
        if (!found) span.first = k;
        span.last = k;
        found = true;
    }
    return span;
}

// The grid of a table: cell (i, j) lies between h[i], h[i + 1], v[j], v[j + 1].
class CellGrid {
  public:
    CellGrid(const CrossingMatrix& matrix, const Table& t)
        : matrix_(matrix), t_(t), rows_(t.h.size() - 1), cols_(t.v.size() - 1) {
        for (std::size_t i : t.h)
            hSpans_.push_back(
                spanOf(t.v.size(), [&](std::size_t k) { return matrix.at(i, t.v[k]).exists; }));
        for (std::size_t j : t.v)
            vSpans_.push_back(
                spanOf(t.h.size(), [&](std::size_t k) { return matrix.at(t.h[k], j).exists; }));
    }

    // Cell number of every grid cell (row-major) and the number of cells.
    std::vector<std::size_t> mergeCells(std::size_t& cellCount) const;
    std::vector<Box> cellBoxes(const std::vector<std::size_t>& cellOf, std::size_t cellCount) const;

  private:
    // A horizontal line h[i] walls off the grid cells above and below it in
    // column j when it spans both j and j + 1; likewise a vertical line.
    bool hWall(std::size_t i, std::size_t j) const {
        return hSpans_[i].covers(j) && hSpans_[i].covers(j + 1);
    }
    bool vWall(std::size_t j, std::size_t i) const {
        return vSpans_[j].covers(i) && vSpans_[j].covers(i + 1);
    }
    void lowerToNeighbours(std::vector<std::size_t>& label, std::size_t i, std::size_t j) const;
    const Crossing& crossing(std::size_t i, std::size_t j) const {
        return matrix_.at(t_.h[i], t_.v[j]);
    }

    const CrossingMatrix& matrix_;
    const Table& t_;
    std::size_t rows_;
    std::size_t cols_;
    std::vector<Span> hSpans_;
    std::vector<Span> vSpans_;
};

void CellGrid::lowerToNeighbours(std::vector<std::size_t>& label, std::size_t i,
                                 std::size_t j) const {
    std::size_t& own = label[i * cols_ + j];
    if (i > 0 && !hWall(i, j)) own = std::min(own, label[(i - 1) * cols_ + j]);
    if (i + 1 < rows_ && !hWall(i + 1, j)) own = std::min(own, label[(i + 1) * cols_ + j]);
    if (j > 0 && !vWall(j, i)) own = std::min(own, label[i * cols_ + j - 1]);
    if (j + 1 < cols_ && !vWall(j + 1, i)) own = std::min(own, label[i * cols_ + j + 1]);
}

std::vector<std::size_t> CellGrid::mergeCells(std::size_t& cellCount) const {
    std::vector<std::size_t> label(rows_ * cols_);
    for (std::size_t k = 0; k < label.size(); ++k) label[k] = k;
    // One forward and one backward pass of lowering labels to open neighbours.
    for (std::size_t i = 0; i < rows_; ++i)
        for (std::size_t j = 0; j < cols_; ++j) lowerToNeighbours(label, i, j);
    for (std::size_t i = rows_; i-- > 0;)
        for (std::size_t j = cols_; j-- > 0;) lowerToNeighbours(label, i, j);
    // Labels only ever point to smaller indices, so every chain ends at a root.
    std::vector<std::size_t> cellOfRoot(label.size(), SIZE_MAX);
    std::vector<std::size_t> cellOf(label.size());
    cellCount = 0;
    for (std::size_t k = 0; k < label.size(); ++k) {
        std::size_t root = label[k];
        while (label[root] != root) root = label[root];
        label[k] = root;
        if (cellOfRoot[root] == SIZE_MAX) cellOfRoot[root] = cellCount++;
        cellOf[k] = cellOfRoot[root];
    }
    return cellOf;
}

std::vector<Box> CellGrid::cellBoxes(const std::vector<std::size_t>& cellOf,
                                     std::size_t cellCount) const {
    std::vector<Box> boxes(cellCount);
    for (std::size_t i = 0; i < rows_; ++i) {
        for (std::size_t j = 0; j < cols_; ++j) {
            Box& box = boxes[cellOf[i * cols_ + j]];
            for (std::size_t jj : {j, j + 1}) {
                if (crossing(i, jj).exists) box.xMin = std::min(box.xMin, crossing(i, jj).at.x);
                if (crossing(i + 1, jj).exists)
                    box.xMax = std::max(box.xMax, crossing(i + 1, jj).at.x);
            }
            for (std::size_t ii : {i, i + 1}) {
                if (crossing(ii, j).exists) box.yMin = std::min(box.yMin, crossing(ii, j).at.y);
                if (crossing(ii, j + 1).exists)
                    box.yMax = std::max(box.yMax, crossing(ii, j + 1).at.y);
            }
        }
    }
    return boxes;
}

std::vector<Box> tableCells(const CrossingMatrix& matrix, const Table& t) {
    if (t.h.size() < 2 || t.v.size() < 2) return {};
    const CellGrid grid(matrix, t);
    std::size_t cellCount = 0;
    const std::vector<std::size_t> cellOf = grid.mergeCells(cellCount);
    return grid.cellBoxes(cellOf, cellCount);
}

std::vector<LaRegionRecord> buildTables(const LaList<LaRegionRecord>& list, std::size_t lineCount) {
    CrossingMatrix matrix = classifyLines(list, lineCount);
    findCrossings(list, matrix);
    const std::int32_t tableCount = groupIntoTables(matrix);
    std::vector<LaRegionRecord> records;
    for (const Table& t : collectTables(matrix, tableCount)) {
        const std::vector<Box> columns = tableColumns(matrix, t);
        const std::vector<Box> cells = tableCells(matrix, t);
        if (columns.size() <= 1 && cells.size() <= 1) continue;
        records.push_back(zoneRecord(tableBox(list, matrix, t), LA_CONTENT_TABLE));
        for (const Box& b : columns) records.push_back(zoneRecord(b, LA_CONTENT_TABLE_COLUMN));
        for (const Box& b : cells) records.push_back(zoneRecord(b, LA_CONTENT_TABLE_CELL));
    }
    return records;
}

} // namespace

std::int32_t appendTables(LaList<LaRegionRecord>& list, std::size_t lineCount) {
    lineCount = std::min(lineCount, list.size());
    remeasureLines(list, lineCount);
    try {
        const std::vector<LaRegionRecord> tables = buildTables(list, lineCount);
        list.insert(list.end(), tables.begin(), tables.end());
        return LA_STATUS_OK;
    } catch (const std::bad_alloc&) {
        list.resize(lineCount);
        return LA_STATUS_OUT_OF_MEMORY;
    }
}

} // namespace quadrel
