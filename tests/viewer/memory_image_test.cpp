// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "viewer/memory_image.h"

#include "tiny_tiff.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(MemoryImage, VertSizeCorrectedFollowsTheResolutionRatio) {
    TMemoryImage image;
    image.DIB().NewImage(50, 1000, imaging::pf1bit, 200, 100);
    EXPECT_EQ(image.VertSizeCorrected(), 2000);
    image.DIB().NewImage(50, 1000, imaging::pf1bit, 100, 300);
    EXPECT_EQ(image.VertSizeCorrected(), 333);
    // Without a vertical resolution the rows are taken as they are.
    image.DIB().NewImage(50, 1000, imaging::pf1bit, 200, 0);
    EXPECT_EQ(image.VertSizeCorrected(), 1000);
}

TEST(MemoryImage, LoadImageReadsTheChosenPageAndCountsThePages) {
    QTemporaryDir dir;
    const std::string path = dir.filePath(QStringLiteral("two.tif")).toStdString();
    ASSERT_TRUE(testsupport::WriteBytes(path, testsupport::TinyTiff({{16, 8, {}}, {24, 10, {}}})));

    TMemoryImage image;
    image.LoadImage(QString::fromStdString(path), 1);
    ASSERT_TRUE(image.IsValid());
    EXPECT_EQ(image.PageCount(), 2);
    EXPECT_EQ(image.Page(), 1);
    EXPECT_EQ(image.DIB().Width(), 24);
    EXPECT_EQ(image.DIB().BitCount(), 1);
    EXPECT_EQ(image.FileName(), QString::fromStdString(path));
}

TEST(MemoryImage, AFailedLoadLeavesNoPageBehind) {
    QTemporaryDir dir;
    const std::string path = dir.filePath(QStringLiteral("one.tif")).toStdString();
    ASSERT_TRUE(testsupport::WriteBytes(path, testsupport::TinyTiff({{16, 8, {}}})));
    TMemoryImage image;
    image.LoadImage(QString::fromStdString(path), 0);
    ASSERT_TRUE(image.IsValid());
    EXPECT_THROW(image.LoadImage(QString::fromStdString(path), 3), imaging::ImageError);
    EXPECT_FALSE(image.IsValid());
    EXPECT_THROW(image.LoadImage(dir.filePath(QStringLiteral("missing.tif")), 0),
                 imaging::ImageError);
}

} // namespace
