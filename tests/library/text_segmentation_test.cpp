// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "library/functions/analysis_functions.h"
#include "library/functions/word_splitting.h"
#include "library/la_api.h"
#include "tests/support/test_page.h"

#include <gtest/gtest.h>

#include <iostream>
#include <tuple>

namespace {

using quadrel::LaBlockBox;
using quadrel::LaElement;
using quadrel::LaTextBlock;
using testsupport::TestPage;

// A letter-like ring, 10 x 14 with a 2-pixel stroke.
void drawLetter(TestPage& page, int x, int y) {
    page.fillRect(x, y, 10, 14);
    page.fillRect(x + 2, y + 2, 6, 10, false);
}

// A line of words of `letters` letters, 3 columns apart within a word and 12
// between words, with its letters' top row at `y`.
void drawTextLine(TestPage& page, int x, int y, int words, int letters) {
    for (int w = 0; w < words; ++w) {
        for (int l = 0; l < letters; ++l) {
            drawLetter(page, x, y);
            x += 13;
        }
        x += 9;
    }
}

// Lines 22 rows apart (8 white rows between them).
void drawParagraph(TestPage& page, int x, int y, int lines) {
    for (int l = 0; l < lines; ++l) drawTextLine(page, x, y + 22 * l, 4, 4);
}

std::vector<LaTextBlock> segment(const quadrel::LaBitmap& bitmap,
                                 const quadrel::LaList<quadrel::LaRegionRecord>* lines = nullptr) {
    quadrel::LaList<LaTextBlock> blocks;
    EXPECT_EQ(quadrel::segmentTextBlocks(bitmap, lines, blocks, 0), LA_STATUS_OK);
    return blocks;
}

std::vector<LaTextBlock> segment(const TestPage& page, int blackIsZero = 0) {
    return segment(page.toBitmap(blackIsZero));
}

auto asTuple(const LaTextBlock& b) {
    return std::make_tuple(b.xMin, b.yMin, b.xMax, b.yMax, b.content, b.itemCount);
}

void expectSameBlocks(const std::vector<LaTextBlock>& a, const std::vector<LaTextBlock>& b) {
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) EXPECT_EQ(asTuple(a[i]), asTuple(b[i])) << i;
}

TEST(TextSegmentationTest, ABlankPageGivesNoBlocks) {
    TestPage page(300, 200);
    for (int polarity : {0, 1}) EXPECT_TRUE(segment(page, polarity).empty());
    quadrel::LaBitmap none;
    EXPECT_TRUE(segment(none).empty());
}

TEST(TextSegmentationTest, AParagraphIsOneTextBlockInEitherPolarity) {
    TestPage page(400, 200);
    drawParagraph(page, 20, 40, 4);
    const std::vector<LaTextBlock> blocks = segment(page);
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0].xMin, 20);
    EXPECT_EQ(blocks[0].xMax, 20 + 16 * 13 + 3 * 9 - 3);
    EXPECT_EQ(blocks[0].yMin, 40);
    EXPECT_EQ(blocks[0].yMax, 40 + 3 * 22 + 13);
    EXPECT_EQ(blocks[0].content, LA_CONTENT_TEXT);
    EXPECT_EQ(blocks[0].itemCount, 0);
    expectSameBlocks(blocks, segment(page, 1));
}

TEST(TextSegmentationTest, TallElementsArePicturesListedFirst) {
    // The bar starts below the paragraph's first row, so its components come
    // later in scan order than the paragraph's.
    TestPage page(500, 400);
    drawParagraph(page, 20, 40, 3);
    page.fillRect(400, 60, 30, 302); // bottom - top = 301
    const std::vector<LaTextBlock> blocks = segment(page);
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(asTuple(blocks[0]), std::make_tuple(400, 60, 430, 361, 5, 0));
    EXPECT_EQ(blocks[1].content, LA_CONTENT_TEXT);
    EXPECT_EQ(blocks[1].xMin, 20);

    // One row less and the bar is a text candidate: a block of its own after
    // the paragraph, which the classifier calls a picture for its ink.
    TestPage shorter(500, 400);
    drawParagraph(shorter, 20, 40, 3);
    shorter.fillRect(400, 60, 30, 301);
    const std::vector<LaTextBlock> candidates = segment(shorter);
    ASSERT_EQ(candidates.size(), 2u);
    EXPECT_EQ(candidates[0].xMin, 20);
    EXPECT_EQ(asTuple(candidates[1]), std::make_tuple(400, 60, 430, 360, 5, 0));
}

TEST(TextSegmentationTest, DotsUpToEightPixelsBelongToNoBlock) {
    TestPage page(400, 300);
    drawParagraph(page, 20, 40, 3);
    page.fillRect(300, 250, 8, 8);
    EXPECT_EQ(segment(page).size(), 1u);
    page.fillRect(300, 250, 9, 8);
    EXPECT_EQ(segment(page).size(), 2u);
}

TEST(TextSegmentationTest, OnlyRuledLinesSeparateBlocks) {
    TestPage page(400, 200);
    drawParagraph(page, 20, 40, 2); // lines at rows 40..53 and 62..75
    const int height = page.height();
    quadrel::LaList<quadrel::LaRegionRecord> lines(1);
    // In page rows, as the dispatcher leaves the code-2 list: bitmap row 58.
    lines[0].xMin = 0;
    lines[0].xMax = 400;
    lines[0].yMin = height - 1 - 58;
    lines[0].yMax = height - 1 - 58;
    const quadrel::LaBitmap bitmap = page.toBitmap();
    lines[0].content = LA_CONTENT_LINE;
    EXPECT_EQ(segment(bitmap, &lines).size(), 2u);
    lines[0].content = LA_CONTENT_TABLE;
    EXPECT_EQ(segment(bitmap, &lines).size(), 1u);
    EXPECT_EQ(segment(bitmap).size(), 1u);
}

LaElement element(int left, int right, int top, int bottom, int kind = 1) {
    LaElement e;
    e.memberCount = 1;
    e.left = left;
    e.right = right;
    e.top = top;
    e.bottom = bottom;
    e.kind = kind;
    return e;
}

// A line of 20-row elements 11 wide with the given gaps.
quadrel::LaLineGroup lineWithGaps(const std::vector<int>& gaps) {
    quadrel::LaLineGroup group;
    int x = 0;
    for (std::size_t k = 0; k <= gaps.size(); ++k) {
        group.elements.push_back(element(x, x + 11, 0, 19));
        if (k < gaps.size()) x += 11 + gaps[k];
    }
    group.elementCount = std::int32_t(group.elements.size());
    return group;
}

TEST(WordSplittingTest, TheWordThresholdFollowsGapAndHeightModes) {
    EXPECT_EQ(quadrel::wordThreshold(4, 20), 5);   // 1.25 g
    EXPECT_EQ(quadrel::wordThreshold(50, 20), 42); // gaps wide for the height: 2.1 h
    EXPECT_EQ(quadrel::wordThreshold(10, 10), 12); // h < 1.1 g: 1.29 g
    EXPECT_EQ(quadrel::wordThreshold(3, 6), 9);    // small text: 3 g
    EXPECT_EQ(quadrel::wordThreshold(3, 12), 3);   // 3.75 truncated
    EXPECT_EQ(quadrel::wordThreshold(0, 20), 0);
}

TEST(WordSplittingTest, ALineSplitsAtGapsAboveTheThreshold) {
    // Gap mode 4, height mode 20: T = 5, so only the 12-column gap splits.
    quadrel::LaLineGroup line = lineWithGaps({4, 4, 12, 4});
    line.elements.push_back(element(200, 230, 0, 400, 2));
    std::vector<LaBlockBox> words(1); // a word of an earlier line
    quadrel::splitLineIntoWords(line, words);
    ASSERT_EQ(words.size(), 3u);
    EXPECT_EQ(words[1].left, 0);
    EXPECT_EQ(words[1].right, 3 * 11 + 8);
    EXPECT_EQ(words[2].left, 3 * 11 + 8 + 12);
    EXPECT_EQ(words[2].bottom, 19);
    std::vector<std::int32_t> links;
    for (const LaElement& e : line.elements) links.push_back(e.blockLink);
    EXPECT_EQ(links, (std::vector<std::int32_t>{2, 2, 2, 3, 3, 0}));
}

TEST(WordSplittingTest, NarrowGapsOnlyMakeEveryElementAWord) {
    // The largest gap is 6: half-width 0, gap mode 0, threshold 0.
    quadrel::LaLineGroup line = lineWithGaps({2, 6, 3});
    std::vector<LaBlockBox> words;
    quadrel::splitLineIntoWords(line, words);
    EXPECT_EQ(words.size(), 4u);
    quadrel::LaLineGroup pictures;
    pictures.elements.push_back(element(0, 10, 0, 400, 2));
    quadrel::splitLineIntoWords(pictures, words);
    EXPECT_EQ(words.size(), 4u);
}

LaBlockBox word(int left, int right, int top, int bottom) {
    LaBlockBox b;
    b.add(left, right, top, bottom);
    return b;
}

TEST(WordAttachmentTest, SmallWordsAreNarrowOrLowAndBelow51) {
    EXPECT_FALSE(quadrel::isSmallWord(word(0, 60, 0, 10)));
    EXPECT_FALSE(quadrel::isSmallWord(word(0, 40, 0, 40)));
    EXPECT_TRUE(quadrel::isSmallWord(word(0, 40, 0, 29)));
    EXPECT_TRUE(quadrel::isSmallWord(word(0, 29, 0, 50)));
    EXPECT_FALSE(quadrel::isSmallWord(word(0, 29, 0, 51)));
}

TEST(WordAttachmentTest, ASmallWordJoinsANeighbourCloserThanItsHeight) {
    for (int distance : {2, 25}) {
        std::vector<LaBlockBox> words{word(0, 100, 0, 19), word(300, 400, 0, 19),
                                      word(100 + distance, 112 + distance, 4, 16)};
        const std::vector<LaBlockBox> blocks = quadrel::attachSmallWords(words, {0, 2});
        EXPECT_EQ(words[2].small, 1);
        EXPECT_EQ(words[0].small, 0);
        if (distance == 2) {
            ASSERT_EQ(blocks.size(), 2u);
            EXPECT_EQ(words[2].label, 0);
            EXPECT_EQ(blocks[0].right, 114);
            EXPECT_EQ(blocks[1].left, 300);
        } else {
            ASSERT_EQ(blocks.size(), 3u); // 25 is not below 19
            EXPECT_EQ(words[2].label, 2);
        }
    }
    // Words on other rows are never neighbours.
    std::vector<LaBlockBox> apart{word(0, 100, 0, 19), word(102, 114, 20, 30)};
    EXPECT_EQ(quadrel::attachSmallWords(apart, {0, 1}).size(), 2u);
}

class CcittSegmentationTest : public testing::TestWithParam<int> {};

TEST_P(CcittSegmentationTest, BlocksLieOnThePageAndDoNotDependOnPolarity) {
    const auto page = testsupport::loadCcittPage(GetParam());
    if (!page) GTEST_SKIP() << "CCITT test pages not installed";
    const quadrel::LaBitmap bitmap = page->toBitmap(1);
    const std::vector<LaTextBlock> blocks = segment(bitmap);
    int pictures = 0;
    for (const LaTextBlock& b : blocks) {
        EXPECT_LE(0, b.xMin);
        EXPECT_LT(b.xMin, b.xMax);
        EXPECT_LE(b.xMax, page->width());
        EXPECT_LE(0, b.yMin);
        EXPECT_LE(b.yMin, b.yMax);
        EXPECT_LT(b.yMax, page->height());
        EXPECT_TRUE(b.content == LA_CONTENT_PICTURE || b.content == LA_CONTENT_TEXT) << b.content;
        pictures += b.content == LA_CONTENT_PICTURE;
    }
    std::cout << "[ ccitt" << GetParam() << " ] " << blocks.size() << " blocks, " << pictures
              << " pictures\n";
    EXPECT_FALSE(blocks.empty());
    expectSameBlocks(blocks, segment(bitmap));
    expectSameBlocks(blocks, segment(page->toBitmap(0)));
}

INSTANTIATE_TEST_SUITE_P(Pages, CcittSegmentationTest, testing::Range(1, 9));

} // namespace
