// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The CCITT fax test pages, converted to Group 4 TIFF files, load as the
// 1-bit pages they are, pixel for pixel.
#include "imaging/image_loader.h"
#include "imaging/image_stream.h"
#include "tests/support/test_page.h"

#include <gtest/gtest.h>

namespace {

using namespace imaging;

TEST(CcittPagesTest, EveryPageLoadsAsBilevel1728x2376) {
    for (int n = 1; n <= 8; ++n) {
        const std::string path = testsupport::ccittTiffPath(n);
        if (path.empty()) GTEST_SKIP() << "CCITT test pages or conversion tools not installed";
        SCOPED_TRACE(path);
        TDIB page;
        EXPECT_EQ(LoadFromFile(page, path, 0), tcGroup4);
        EXPECT_EQ(page.Format(), pf1bit);
        EXPECT_EQ(page.Width(), 1728);
        EXPECT_EQ(page.Height(), 2376);
        EXPECT_EQ(page.XDpi(), 200);
        EXPECT_EQ(page.GetPaletteEntry(0), 0u); // black pixels are 0 bits
        EXPECT_EQ(TiffPageCount(path), 1);
    }
}

TEST(CcittPagesTest, PixelsMatchTheReferencePage) {
    const std::string path = testsupport::ccittTiffPath(1);
    const auto reference = testsupport::loadCcittPage(1);
    if (path.empty() || !reference) GTEST_SKIP() << "CCITT test pages not installed";
    TDIB page;
    LoadFromFile(page, path, 0);
    ASSERT_EQ(page.Height(), reference->height());
    std::int64_t mismatches = 0;
    std::int64_t black = 0;
    for (int y = 0; y < page.Height(); ++y)
        for (int x = 0; x < page.Width(); ++x) {
            // The reference stores the bottom row first.
            const bool isBlack = page.GetPixel(x, y) == 0;
            black += isBlack;
            mismatches += isBlack != reference->black(x, page.Height() - 1 - y);
        }
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(black, reference->blackCount());

    // Saved again with automatic compression and read back: identical.
    MemoryStream stream;
    SaveTiff(page, stream, false, tcAuto, 0);
    stream.Seek(0, SeekOrigin::Begin);
    TDIB again;
    LoadFromStream(again, stream, 0);
    EXPECT_TRUE(std::equal(page.Block().begin(), page.Block().end(), again.Block().begin()));
}

} // namespace
