// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The result a worker process sends its parent arrives whole, field for
// field, and anything but exactly one message is refused.
#include "cli/result_message.h"

#include <gtest/gtest.h>

namespace {

using quadrel_cli::decodeResult;
using quadrel_cli::encodeResult;
using quadrel_cli::PageResult;

PageResult analysedPage() {
    PageResult result;
    result.file = "a.tif";
    result.page = 3;
    result.width = 2480;
    result.height = 3508;
    result.xDpi = 300;
    result.yDpi = 200;
    result.skew = -137;
    result.skewMeasured = true;
    result.zones = {{1, 2, 30, 40, 6}, {-5, 0, 2479, 3507, 1}};
    return result;
}

TEST(ResultMessage, AnAnalysedPageArrivesWhole) {
    const PageResult sent = analysedPage();
    const auto got = decodeResult(encodeResult(sent));
    ASSERT_TRUE(got);
    EXPECT_TRUE(got->ok());
    EXPECT_EQ(got->width, 2480);
    EXPECT_EQ(got->height, 3508);
    EXPECT_EQ(got->xDpi, 300);
    EXPECT_EQ(got->yDpi, 200);
    EXPECT_EQ(got->skew, -137);
    EXPECT_TRUE(got->skewMeasured);
    ASSERT_EQ(got->zones.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(got->zones[i].left, sent.zones[i].left);
        EXPECT_EQ(got->zones[i].top, sent.zones[i].top);
        EXPECT_EQ(got->zones[i].right, sent.zones[i].right);
        EXPECT_EQ(got->zones[i].bottom, sent.zones[i].bottom);
        EXPECT_EQ(got->zones[i].content, sent.zones[i].content);
    }
    EXPECT_TRUE(got->file.empty()) << "the parent names the page from its own task";
}

TEST(ResultMessage, AFailureKeepsItsReasonAndAPageWithoutZonesStaysEmpty) {
    PageResult failed;
    failed.error = "cannot read page 2: \xff not UTF-8";
    const auto got = decodeResult(encodeResult(failed));
    ASSERT_TRUE(got);
    EXPECT_EQ(got->error, failed.error);
    EXPECT_TRUE(got->zones.empty());
    EXPECT_FALSE(got->skewMeasured);
}

TEST(ResultMessage, TruncatedOrPaddedMessagesAreRefused) {
    const std::string whole = encodeResult(analysedPage());
    for (std::size_t cut = 0; cut < whole.size(); ++cut)
        EXPECT_FALSE(decodeResult(std::string_view(whole).substr(0, cut))) << cut;
    EXPECT_FALSE(decodeResult(whole + "x"));
    std::string huge = whole;
    huge[0] = '\x7f'; // an error text longer than the message
    EXPECT_FALSE(decodeResult(huge));
    std::string badFlag = whole;
    badFlag[8 + 5 * 4] = 2; // skewMeasured is 0 or 1
    EXPECT_FALSE(decodeResult(badFlag));
}

} // namespace
