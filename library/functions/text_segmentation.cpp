// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Code 32: text block segmentation.
//
// Bottom-up: connected components are grouped into text lines of elements,
// the text elements of each line are cut into words, small words are
// attached to their neighbours, the resulting blocks are merged into
// paragraphs (never across a ruled line from code 2), and every block is
// classified as text or picture from an image holding only its own
// components. Very tall elements are reported as pictures before the blocks.
#include "library/functions/analysis_functions.h"
#include "library/functions/list_result.h"

#include "library/functions/block_classifier.h"
#include "library/functions/block_member_runs.h"
#include "library/functions/block_merging.h"
#include "library/functions/word_splitting.h"
#include "library/image/grouping.h"
#include "library/image/run_table_memo.h"
#include "library/la_api.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <optional>

namespace quadrel {

namespace {

constexpr std::int32_t kTextGroupingSize = 8;

// The ruled lines of a code-2 list, turned back from page rows into the rows
// of this bitmap. Tables, columns and cells do not separate blocks.
std::vector<SeparatorLine> collectSeparators(const LaList<LaRegionRecord>* lines,
                                             std::int32_t height) {
    std::vector<SeparatorLine> separators;
    if (!lines) return separators;
    for (const LaRegionRecord& r : *lines) {
        if (r.content != LA_CONTENT_LINE) continue;
        separators.push_back({r.xMin, height - 1 - r.yMin, r.xMax, height - 1 - r.yMax});
    }
    return separators;
}

// The page's components, their run table and their line groups.
struct PageLines {
    LaComponentSource source;
    std::vector<LaComponent> components;
    std::vector<LaLineGroup> groups;
};

// Status 1 when memory runs out; a page without black (or anything else the
// extraction cannot read) just has no lines.
std::int32_t findLines(const LaBitmap& input, PageLines& page) {
    page.source = componentSourceOf(input, kKeepRuns | 0x10);
    // Labelled by picture detection, or by inverse text detection when line
    // removal found nothing to remove; else from the row runs line removal
    // kept of its copy.
    std::optional<LabelledRuns> kept = takePageLabels(input);
    const std::int32_t status = kept ? componentsOfLabelledRuns(std::move(kept->runs), kept->boxes,
                                                                &page.source, &page.components)
                                     : extractComponents(&page.source, &page.components);
    // The labels' boxes are in the records now: freed before grouping, the
    // step where a page of dots holds the most.
    kept.reset();
    if (status == LA_STATUS_OUT_OF_MEMORY) return LA_STATUS_OUT_OF_MEMORY;
    if (status != LA_STATUS_OK) return LA_STATUS_OK;
    return groupComponents(page.source, page.components, groupRequestFor(input, kTextGroupingSize),
                           page.groups);
}

// Words of every line with text elements, then small words attached: the first blocks.
std::vector<LaBlockBox> firstBlocks(std::vector<LaLineGroup>& groups) {
    std::vector<LaBlockBox> words;
    std::vector<std::size_t> lineStarts;
    for (LaLineGroup& g : groups) {
        const std::size_t before = words.size();
        splitLineIntoWords(g, words);
        if (words.size() > before) lineStarts.push_back(before);
    }
    std::vector<LaBlockBox> blocks = attachSmallWords(words, lineStarts);
    moveBlockLinks(groups, words);
    return blocks;
}

std::vector<LaBlockBox> mergeBlocks(std::vector<LaBlockBox>& blocks,
                                    std::vector<LaLineGroup>& groups, const LaBitmap& input,
                                    const std::vector<SeparatorLine>& separators,
                                    const RunTable& rowRuns) {
    std::vector<LaBlockBox> similar = mergeSimilarBlocks(blocks, input, separators, &rowRuns);
    moveBlockLinks(groups, blocks);
    std::vector<LaBlockBox> once = mergeOverlappingBlocks(similar);
    moveBlockLinks(groups, similar);
    std::vector<LaBlockBox> twice = mergeOverlappingBlocks(once);
    moveBlockLinks(groups, once);
    return twice;
}

// One text block per box that received a member; `textIndexOfBox` maps box
// indices to text block indices (-1 for a skipped box).
std::vector<LaTextBlock> textBlocksOf(const std::vector<LaBlockBox>& boxes,
                                      std::vector<std::int32_t>& textIndexOfBox) {
    std::vector<LaTextBlock> blocks;
    textIndexOfBox.assign(boxes.size(), -1);
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const LaBlockBox& b = boxes[i];
        if (std::int64_t(b.bottom) - b.top + 1 <= 0) continue;
        textIndexOfBox[i] = std::int32_t(blocks.size());
        LaTextBlock t;
        t.xMin = b.left;
        t.yMin = b.top;
        t.xMax = b.right;
        t.yMax = b.bottom;
        t.content = LA_CONTENT_TEXT;
        blocks.push_back(t);
    }
    return blocks;
}

// Paints columns [x0, x1) of row y black in an image whose 0 bits are black.
void paintRun(LaBitmap& image, std::int32_t y, std::int32_t x0, std::int32_t x1) {
    x0 = std::max(x0, 0);
    x1 = std::min(x1, image.width);
    if (y < 0 || y >= image.height || x0 >= x1) return;
    std::uint8_t* row = image.row(y);
    // Masked bits in the first and last byte, whole bytes between them.
    const std::int32_t first = x0 >> 3;
    const std::int32_t last = (x1 - 1) >> 3;
    const std::uint8_t head = std::uint8_t(0xFF >> (x0 & 7));
    const std::uint8_t tail = std::uint8_t(0xFF << (7 - ((x1 - 1) & 7)));
    if (first == last) {
        row[first] = std::uint8_t(row[first] & ~(head & tail));
        return;
    }
    row[first] = std::uint8_t(row[first] & ~head);
    if (last > first + 1) std::memset(row + first + 1, 0x00, std::size_t(last - first - 1));
    row[last] = std::uint8_t(row[last] & ~tail);
}

// The text block that holds each component, or -1.
std::vector<std::int32_t> blockOfComponents(const PageLines& page,
                                            const std::vector<std::int32_t>& textIndexOfBox) {
    std::vector<std::int32_t> blockOf(page.components.size(), -1);
    for (std::size_t i = 0; i < blockOf.size(); ++i) {
        const LaComponent& c = page.components[i];
        if (c.linkB < 0 || c.linkA < 0) continue;
        const LaElement& e = page.groups[std::size_t(c.linkB)].elements[std::size_t(c.linkA)];
        const std::int32_t box = linkedBox(e);
        if (box >= 0) blockOf[i] = textIndexOfBox[std::size_t(box)];
    }
    return blockOf;
}

// Every text block's content, from an image holding only its components.
// One pass down the blocks' rows draws every image and sums its rows, which
// alone decide many blocks.
void classifyTextBlocks(std::vector<LaTextBlock>& blocks,
                        const std::vector<std::int32_t>& textIndexOfBox, const PageLines& page) {
    const std::vector<std::int32_t> blockOf = blockOfComponents(page, textIndexOfBox);
    std::vector<LaBitmap> images(blocks.size());
    std::vector<BlockRows> rows;
    rows.reserve(blocks.size());
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const std::int32_t width = blocks[i].xMax - blocks[i].xMin;
        const std::int32_t height = blocks[i].yMax - blocks[i].yMin + 1;
        if (bitmapAllocate(images[i], height, width, rowLengthForWidth(width), 1) != LA_STATUS_OK)
            throw std::bad_alloc();
        rows.emplace_back(height, width);
    }
    forEachBlockMemberRun(
        page.source.runTable, blocks, blockOf,
        [&](std::int32_t t, std::int32_t y, std::int32_t start, std::int32_t end) {
            rows[std::size_t(t)].add(y, start, end);
            paintRun(images[std::size_t(t)], y, start, end);
        });
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        blocks[i].content = classifyBlockRows(rows[i], images[i]);
        bitmapRelease(&images[i]);
    }
}

void appendPictureElements(const std::vector<LaLineGroup>& groups, LaList<LaTextBlock>& output) {
    for (const LaLineGroup& g : groups) {
        for (const LaElement& e : g.elements) {
            if (e.kind != 2) continue;
            LaTextBlock t;
            t.xMin = e.left;
            t.yMin = e.top;
            t.xMax = e.right;
            t.yMax = e.bottom;
            t.content = LA_CONTENT_PICTURE;
            output.push_back(t);
        }
    }
}

std::int32_t segment(const LaBitmap& input, const LaList<LaRegionRecord>* lines,
                     LaList<LaTextBlock>& output) {
    const std::vector<SeparatorLine> separators = collectSeparators(lines, input.height);
    PageLines page;
    const std::int32_t status = findLines(input, page);
    if (status != LA_STATUS_OK) return status;

    std::vector<LaBlockBox> blocks = firstBlocks(page.groups);
    const std::vector<LaBlockBox> finalBlocks =
        mergeBlocks(blocks, page.groups, input, separators, page.source.runTable);
    blocks.clear();

    std::vector<std::int32_t> textIndexOfBox;
    std::vector<LaTextBlock> textBlocks = textBlocksOf(finalBlocks, textIndexOfBox);
    classifyTextBlocks(textBlocks, textIndexOfBox, page);
    appendPictureElements(page.groups, output);
    for (const LaTextBlock& t : textBlocks) output.push_back(t);
    // The zone post-processing measures text on this page again.
    RunTableMemo::keep(input, RunAxis::kRows, std::move(page.source.runTable));
    return LA_STATUS_OK;
}

} // namespace

std::int32_t segmentTextBlocks(const LaBitmap& input, const LaList<LaRegionRecord>* lines,
                               LaList<LaTextBlock>& output, std::int32_t) {
    return fillListOrLeaveEmpty(output, [&] { return segment(input, lines, output); });
}

} // namespace quadrel
