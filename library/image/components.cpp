// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "library/image/components.h"

#include "library/image/component_profiles.h"
#include "library/la_api.h"

#include <algorithm>
#include <limits>
#include <new>

namespace quadrel {

namespace {

// Provisional labels of the runs: a run that touches no run of the row
// before starts a label of its own, the others take the label of the first
// run above they touch, and labels that meet are joined under the smaller.
// Labels are made in scan order, so the smallest label of a component is that
// of its first run and numbering the roots in label order numbers the
// components by their first runs. Each label keeps the box of its own runs.
class ProvisionalLabels {
  public:
    explicit ProvisionalLabels(std::size_t runCount) {
        parent_.reserve(runCount / 8 + 16);
        boxes_.reserve(runCount / 8 + 16);
    }

    // A label of its own for the first run of a set.
    std::int32_t add(const LaRun& run, std::int32_t row) {
        const auto label = std::int32_t(parent_.size());
        parent_.push_back(label);
        boxes_.push_back(LaComponentBox{run.start, run.end, row, row});
        return label;
    }

    std::int32_t root(std::int32_t label) {
        std::int32_t* const parent = parent_.data();
        while (parent[label] != label) {
            const std::int32_t up = parent[parent[label]];
            parent[label] = up;
            label = up;
        }
        return label;
    }

    // Joins the set of `label` with the set rooted at `root`; returns the new root.
    // A label that is the root already (as labels of one large component
    // mostly are) is not looked up.
    std::int32_t join(std::int32_t root, std::int32_t label) {
        if (label == root) return root;
        const std::int32_t other = this->root(label);
        return other == root ? root : link(root, other);
    }

    // Rows come in order: a label's box starts on the row the label was
    // made and ends on the last row that reached it. `stretch` is the span
    // of consecutive runs of one row that took the label.
    void widen(std::int32_t label, const LaComponentBox& stretch) {
        LaComponentBox& b = boxes_[std::size_t(label)];
        b.xMin = std::min(b.xMin, stretch.xMin);
        b.xEnd = std::max(b.xEnd, stretch.xEnd);
        b.yMax = stretch.yMax;
    }

    // Replaces every label's parent by its component's number and hands over
    // the components' boxes; the labels' own boxes are used up. A parent is
    // always a smaller label, so one pass in label order finds each parent
    // numbered already, and a component's number is never above its first
    // label: its box is gathered in place, over boxes of labels already read.
    void number(std::vector<LaComponentBox>& boxes) {
        std::int32_t* const parent = parent_.data();
        LaComponentBox* const box = boxes_.data();
        std::int32_t count = 0;
        for (std::size_t l = 0; l < parent_.size(); ++l) {
            if (parent[l] == std::int32_t(l)) {
                parent[l] = count;
                box[count++] = box[l];
                continue;
            }
            // The set's first label was numbered before and made on its top row.
            const std::int32_t c = parent[parent[l]];
            parent[l] = c;
            box[c].xMin = std::min(box[c].xMin, box[l].xMin);
            box[c].xEnd = std::max(box[c].xEnd, box[l].xEnd);
            box[c].yMax = std::max(box[c].yMax, box[l].yMax);
        }
        boxes_.resize(std::size_t(count));
        boxes = std::move(boxes_);
    }

    // The component of a label, once numbered.
    const std::int32_t* components() const { return parent_.data(); }

  private:
    // Puts two different roots under the smaller; returns it.
    std::int32_t link(std::int32_t a, std::int32_t b) {
        const auto [low, high] = std::minmax(a, b);
        parent_[std::size_t(high)] = low;
        return low;
    }

    std::vector<std::int32_t> parent_;
    std::vector<LaComponentBox> boxes_;
};

// Labels a band row by row. The runs of each row touch the runs of the row
// before it that they overlap, diagonally included: [s1, e1) and [s2, e2)
// touch when s1 <= e2 and e1 >= s2. The row before is kept as a copy closed
// by a run that nothing reaches, so that the walk along it needs no bound.
// The last run above that a run touches may touch the next run as well: the
// walk goes on from it, and its label in the copy is replaced by the root
// found, so that the next run finds that root at once.
class RowLabeller {
  public:
    explicit RowLabeller(std::size_t runCount) : labels(runCount) { above_.push_back(kClosing); }

    void label(std::span<LaRun> current, std::int32_t row) {
        LaRun* above = above_.data();
        // Consecutive runs that take one label (on a page of dots mostly
        // those of one large component) widen its box once, as a stretch:
        // widening the box in memory run by run would chain every run to
        // the store of the one before.
        std::int32_t stretchLabel = -1;
        LaComponentBox stretch{0, 0, row, row};
        for (LaRun& run : current) {
            while (above->end < run.start) ++above;
            if (above->start > run.end) {
                run.label = labels.add(run, row);
                continue;
            }
            // A run touches one or two runs above about equally often on a
            // page of dots, mostly runs that carry one label already: the
            // second is looked up only when its label differs.
            const std::int32_t firstLabel = above->label;
            std::int32_t label = labels.root(firstLabel);
            above += std::ptrdiff_t(above[1].start <= run.end);
            if (above->label != firstLabel) label = labels.join(label, above->label);
            while (above[1].start <= run.end) label = labels.join(label, (++above)->label);
            above->label = label;
            run.label = label;
            if (label == stretchLabel) {
                stretch.xEnd = run.end;
                continue;
            }
            if (stretchLabel >= 0) labels.widen(stretchLabel, stretch);
            stretchLabel = label;
            stretch.xMin = run.start;
            stretch.xEnd = run.end;
        }
        if (stretchLabel >= 0) labels.widen(stretchLabel, stretch);
        above_.assign(current.begin(), current.end());
        above_.push_back(kClosing);
    }

    ProvisionalLabels labels;

  private:
    static constexpr LaRun kClosing{std::numeric_limits<std::int32_t>::max(),
                                    std::numeric_limits<std::int32_t>::max(), 0};
    std::vector<LaRun> above_;
};

std::span<LaRun> rowOf(FlatRunTable& runs, std::int32_t r) {
    return {runs.runs.data() + runs.rowStart[std::size_t(r)],
            runs.runs.data() + runs.rowStart[std::size_t(r) + 1]};
}

std::span<LaRun> rowOf(RunTable& runs, std::int32_t r) {
    return runs[std::size_t(r)];
}

// Numbers the components of the labelled rows of `runs` and hands over their
// boxes; every run then carries its component's number, and the reader (when
// there is one) is handed each row so numbered.
template <class Table>
void numberComponents(Table& runs, std::int32_t rows, ProvisionalLabels& labels,
                      std::vector<LaComponentBox>& boxes, NumberedRowReader* reader) {
    labels.number(boxes);
    const std::int32_t* const componentOf = labels.components();
    if (reader) reader->start(boxes);
    for (std::int32_t r = 0; r < rows; ++r) {
        const std::span<LaRun> row = rowOf(runs, r);
        for (LaRun& run : row) run.label = componentOf[run.label];
        if (reader) reader->read(r, row);
    }
}

// labelRuns over either kind of table, with `count` runs in `rows` rows.
template <class Table>
std::int32_t labelTable(Table& runs, std::size_t count, std::int32_t rows,
                        std::vector<LaComponentBox>& boxes, NumberedRowReader* reader) {
    boxes.clear();
    if (count == 0) return LA_STATUS_NO_BLACK_PIXEL;
    {
        RowLabeller labeller(count);
        for (std::int32_t r = 0; r < rows; ++r) labeller.label(rowOf(runs, r), r);
        numberComponents(runs, rows, labeller.labels, boxes, reader);
    }
    // The boxes were reserved for a guess at the number of labels and are
    // held as long as the runs: cut to size once the labels are gone, so
    // that the copy is made below the peak of labelling.
    boxes.shrink_to_fit();
    return LA_STATUS_OK;
}

void recordComponents(RunTable&& runs, const std::vector<LaComponentBox>& boxes,
                      LaComponentSource& source, std::vector<LaComponent>& components) {
    // Each record is written once, box included: on a page of dots the
    // records outgrow the cache, and a second pass would read them back.
    components.reserve(boxes.size());
    for (const LaComponentBox& box : boxes)
        components.push_back(LaComponent{box.xMin, box.xEnd, box.yMin, box.yMax});
    if (source.options & (kEdgeProfiles | kPixelCounts))
        recordProfiles(runs, components, source.options, source.profiles);
    if (source.options & kKeepRuns) source.runTable = std::move(runs);
}

std::int32_t extract(LaComponentSource& source, std::vector<LaComponent>& components) {
    FlatRunTable runs;
    std::vector<LaComponentBox> boxes;
    const std::int32_t status = labelComponents(source, runs, boxes);
    if (status != LA_STATUS_OK) return status;
    if (boxes.empty()) return LA_STATUS_NULL_ARGUMENT;
    // Rows of the table the source holds keep their storage when they have room.
    RunTable rows = std::move(source.runTable);
    if (source.options & (kKeepRuns | kEdgeProfiles | kPixelCounts)) {
        rows.resize(std::size_t(runs.rows()));
        for (std::int32_t r = 0; r < runs.rows(); ++r) {
            const auto row = runs.row(r);
            rows[std::size_t(r)].assign(row.begin(), row.end());
        }
    }
    runs = FlatRunTable{};
    recordComponents(std::move(rows), boxes, source, components);
    return LA_STATUS_OK;
}

// Runs the extraction step, leaving nothing behind when it fails.
template <typename Step>
std::int32_t extractOrClear(LaComponentSource* source, std::vector<LaComponent>* components,
                            Step step) {
    if (!source || !components) return LA_STATUS_NULL_ARGUMENT;
    components->clear();
    if (!(source->options & kKeepRuns)) source->runTable.clear();
    source->profiles.clear();
    try {
        const std::int32_t status = step(*source, *components);
        if (status != LA_STATUS_OK) {
            components->clear();
            source->runTable.clear();
        }
        return status;
    } catch (const std::bad_alloc&) {
        components->clear();
        source->runTable.clear();
        source->profiles.clear();
        return LA_STATUS_OUT_OF_MEMORY;
    }
}

} // namespace

std::int32_t labelComponents(const LaComponentSource& source, FlatRunTable& runs,
                             std::vector<LaComponentBox>& boxes) {
    runs = FlatRunTable{};
    boxes.clear();
    if (source.rows <= 0 || source.width <= 0 || !source.firstRow) return LA_STATUS_NO_BLACK_PIXEL;
    buildRowRuns(source, runs);
    return labelRuns(runs, boxes);
}

std::int32_t labelRuns(FlatRunTable& runs, std::vector<LaComponentBox>& boxes) {
    return labelTable(runs, runs.runs.size(), runs.rows(), boxes, nullptr);
}

std::int32_t labelRuns(RunTable& runs, std::vector<LaComponentBox>& boxes,
                       NumberedRowReader* reader) {
    std::size_t count = 0;
    for (const std::vector<LaRun>& row : runs) count += row.size();
    return labelTable(runs, count, std::int32_t(runs.size()), boxes, reader);
}

std::int32_t extractComponents(LaComponentSource* source, std::vector<LaComponent>* components) {
    return extractOrClear(source, components, extract);
}

std::int32_t componentsOfLabelledRuns(RunTable&& runs, const std::vector<LaComponentBox>& boxes,
                                      LaComponentSource* source,
                                      std::vector<LaComponent>* components) {
    return extractOrClear(source, components,
                          [&](LaComponentSource& s, std::vector<LaComponent>& c) {
                              if (boxes.empty()) return LA_STATUS_NO_BLACK_PIXEL;
                              recordComponents(std::move(runs), boxes, s, c);
                              return LA_STATUS_OK;
                          });
}

LaComponentSource componentSourceOf(const LaBitmap& bitmap, std::int32_t options) {
    LaComponentSource source;
    source.rows = bitmap.hasPixels() ? bitmap.height : 0;
    source.width = bitmap.width;
    source.stride = bitmap.stride;
    source.options = options;
    source.blackIsZero = bitmap.blackIsZero;
    source.firstRow = bitmap.firstRow;
    return source;
}

} // namespace quadrel
