// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Picture detection: every component that grouping puts into a tall element
// (a photograph, a drawing, a long rule) is reported with its own box.
#include "library/functions/analysis_functions.h"
#include "library/functions/list_result.h"

#include "library/image/components.h"
#include "library/image/grouping.h"
#include "library/image/run_table_memo.h"
#include "library/la_api.h"

#include <algorithm>
#include <new>
#include <optional>

namespace quadrel {

namespace {

constexpr std::int32_t kTextCandidateKind = 1;
constexpr std::int32_t kSmallestGroupingSize = 2;

// True when the component went into an element that is not a text candidate.
bool inTallElement(const LaComponent& c, const std::vector<LaLineGroup>& groups) {
    if (c.linkB < 0 || c.linkA < 0) return false;
    if (std::size_t(c.linkB) >= groups.size()) return false;
    const LaLineGroup& group = groups[std::size_t(c.linkB)];
    if (std::size_t(c.linkA) >= group.elements.size()) return false;
    return group.elements[std::size_t(c.linkA)].kind != kTextCandidateKind;
}

// The page's components, from the labels an earlier step kept when there are
// some; `boxes` gets their boxes. Text block segmentation reads the same page
// with the same connectivity: the labels are kept for it, so the page is
// labelled once.
std::int32_t pageComponents(const LaBitmap& input, LaComponentSource& source,
                            std::vector<LaComponent>& components,
                            std::vector<LaComponentBox>& boxes) {
    LabelledRuns labels;
    // Without labels (a page without black) the extraction gives the status.
    if (labelPageComponents(input, labels) != LA_STATUS_OK)
        return extractComponents(&source, &components);
    boxes = std::move(labels.boxes);
    return componentsOfLabelledRuns(std::move(labels.runs), boxes, &source, &components);
}

std::int32_t detectPicturesOrThrow(const LaBitmap& input, std::int32_t groupingSize,
                                   LaList<LaPictureRecord>& output) {
    LaComponentSource source = componentSourceOf(input, 0x1010);
    std::vector<LaComponent> components;
    std::vector<LaComponentBox> boxes;
    std::int32_t status = pageComponents(input, source, components, boxes);
    if (status != LA_STATUS_OK) return status;

    const LaGroupRequest request =
        groupRequestFor(input, std::max(groupingSize, kSmallestGroupingSize));
    std::vector<LaLineGroup> groups;
    status = groupComponents(source, components, request, groups);
    if (status != LA_STATUS_OK) return status;
    // The runs grouping read are the page's labelled row runs.
    RunTableMemo::keepLabels(input, LabelledRuns{std::move(source.runTable), std::move(boxes)});

    for (const LaComponent& c : components) {
        if (!inTallElement(c, groups)) continue;
        LaPictureRecord record;
        record.xMin = c.xMin;
        record.xMax = c.xEnd;
        record.yMin = c.yMin;
        record.yMax = c.yMax;
        output.push_back(record);
    }
    return LA_STATUS_OK;
}

} // namespace

std::int32_t detectPictures(const LaBitmap& input, std::int32_t groupingSize,
                            LaList<LaPictureRecord>& output) {
    return fillListOrLeaveEmpty(output,
                                [&] { return detectPicturesOrThrow(input, groupingSize, output); });
}

} // namespace quadrel
