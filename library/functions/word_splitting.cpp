// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "library/functions/word_splitting.h"

#include "library/image/row_span_index.h"
#include "library/image/smoothed_mode.h"
#include "library/image/union_find.h"

#include <algorithm>

namespace quadrel {

namespace {

constexpr std::int32_t kMinimumWordGap = 2;
constexpr std::int32_t kSmallWordLimit = 51; // both sides below this ...
constexpr std::int32_t kSmallWordSide = 30;  // ... and one of them below this

// The text elements of a line, left to right.
std::vector<LaElement*> textElements(LaLineGroup& group) {
    std::vector<LaElement*> elements;
    for (LaElement& e : group.elements)
        if (e.kind == 1) elements.push_back(&e);
    return elements;
}

// Gaps between neighbouring elements, raised to at least 2.
std::vector<std::int32_t> elementGaps(const std::vector<LaElement*>& elements) {
    std::vector<std::int32_t> gaps;
    for (std::size_t i = 0; i + 1 < elements.size(); ++i)
        gaps.push_back(std::max(elements[i + 1]->left - elements[i]->right, kMinimumWordGap));
    return gaps;
}

std::int32_t gapMode(const std::vector<std::int32_t>& gaps) {
    const std::int32_t largest = gaps.empty() ? 0 : *std::max_element(gaps.begin(), gaps.end());
    std::vector<std::int32_t> histogram(std::size_t(largest) + 2, 0);
    for (std::int32_t g : gaps) ++histogram[std::size_t(g)];
    return smoothedMode(histogram, (largest + 1) >> 3);
}

std::int32_t heightMode(const std::vector<LaElement*>& elements) {
    std::int32_t tallest = 0;
    for (const LaElement* e : elements) tallest = std::max(tallest, e->bottom - e->top + 1);
    std::vector<std::int32_t> histogram(std::size_t(tallest) + 1, 0);
    for (const LaElement* e : elements) ++histogram[std::size_t(e->bottom - e->top + 1)];
    return smoothedMode(histogram, (tallest + 1) / 2 + 1);
}

} // namespace

std::int32_t wordThreshold(std::int32_t gapMode, std::int32_t heightMode) {
    const double g = gapMode;
    const double h = heightMode;
    double threshold;
    if (g > 2.1 * h)
        threshold = 2.1 * h;
    else if (h < 1.1 * g)
        threshold = 1.29 * g;
    else if (h >= 1.7 * g && h <= 11)
        threshold = 3.0 * g;
    else
        threshold = 1.25 * g;
    return std::int32_t(threshold);
}

void splitLineIntoWords(LaLineGroup& group, std::vector<LaBlockBox>& words) {
    const std::vector<LaElement*> elements = textElements(group);
    if (elements.empty()) return;
    const std::vector<std::int32_t> gaps = elementGaps(elements);
    const std::int32_t threshold = wordThreshold(gapMode(gaps), heightMode(elements));
    words.emplace_back();
    for (std::size_t i = 0; i < elements.size(); ++i) {
        if (i > 0 && gaps[i - 1] > threshold) words.emplace_back();
        words.back().add(*elements[i]);
        linkToBox(*elements[i], std::int32_t(words.size()) - 1);
    }
}

bool isSmallWord(const LaBlockBox& word) {
    const std::int32_t w = word.right - word.left;
    const std::int32_t h = word.bottom - word.top;
    return w < kSmallWordLimit && h < kSmallWordLimit && (w < kSmallWordSide || h < kSmallWordSide);
}

std::int64_t horizontalDistance(const LaBlockBox& a, const LaBlockBox& b) {
    if (a.right < b.left) return std::int64_t(b.left) - a.right;
    if (b.right < a.left) return std::int64_t(a.left) - b.right;
    return 0;
}

namespace {

// The nearest word sharing rows with word `a` (the first on equal distances), or -1.
std::int32_t nearestWordOnSameRows(const std::vector<LaBlockBox>& words, const RowSpanIndex& index,
                                   std::size_t a) {
    const LaBlockBox& word = words[a];
    std::int32_t best = -1;
    std::int64_t bestDistance = 0;
    index.forEachNear(word.top, word.bottom, [&](std::int32_t b) {
        const LaBlockBox& other = words[std::size_t(b)];
        if (std::size_t(b) == a || other.top > word.bottom || word.top > other.bottom) return;
        const std::int64_t d = horizontalDistance(word, other);
        if (best < 0 || d < bestDistance || (d == bestDistance && b < best)) {
            best = b;
            bestDistance = d;
        }
    });
    return best;
}

} // namespace

std::vector<LaBlockBox> attachSmallWords(std::vector<LaBlockBox>& words,
                                         const std::vector<std::size_t>& lineStarts) {
    // Set item i stands for the word labelled i + 1: joining keeps the
    // smaller label as the root, as the numbering below expects.
    UnionFind sets(words.size());
    for (LaBlockBox& w : words) w.small = isSmallWord(w) ? 1 : 0;
    const RowSpanIndex index = rowIndexOf(words);
    for (std::size_t line = 0; line < lineStarts.size(); ++line) {
        const std::size_t end = line + 1 < lineStarts.size() ? lineStarts[line + 1] : words.size();
        for (std::size_t a = lineStarts[line]; a < end; ++a) {
            if (!words[a].small) continue;
            const std::int32_t b = nearestWordOnSameRows(words, index, a);
            if (b < 0) continue;
            const LaBlockBox& neighbour = words[std::size_t(b)];
            if (horizontalDistance(words[a], neighbour) < neighbour.bottom - neighbour.top)
                sets.join(std::int32_t(a), b);
        }
        for (std::size_t a = lineStarts[line]; a < end; ++a)
            words[a].label = sets.root(std::int32_t(a)) + 1;
    }
    std::int32_t count = 0;
    const std::vector<std::int32_t> blockOf = sets.number(count);
    std::vector<LaBlockBox> blocks(static_cast<std::size_t>(count));
    for (std::size_t i = 0; i < words.size(); ++i) {
        words[i].label = blockOf[i];
        blocks[std::size_t(blockOf[i])].add(words[i]);
    }
    return blocks;
}

} // namespace quadrel
