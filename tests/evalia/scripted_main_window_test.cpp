// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The window driven by a stand-in library whose zone table and skew angle
// the test chooses.
#include "evalia/main_window.h"

#include "imaging/image_loader.h"
#include "scripted_form.h"

#include <QListWidget>
#include <QTest>

#include <algorithm>

namespace {

TEST_F(ScriptedFormTest, OneContextLivesAsLongAsTheWindow) {
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(contextsAlive(), 1);
    form.reset();
    EXPECT_EQ(contextsAlive(), 0);
}

TEST_F(ScriptedFormTest, ASkewedPageIsReportedStraightenedAndMovedDown) {
    OpenAndProcess(1000, 400, -143, {});
    EXPECT_EQ(lastDib(), form->VistrelImage1->ImageHandle());
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text,
              QString::fromUtf8("0 zones found.\r\nSkew angle is -1.43\u00B0."));
    EXPECT_EQ(form->ListBoxZones->count(), 0);

    // sin(1.43 degrees) * 1000 truncates to 24: the top 24 rows come in white
    // over the black page, the rows below stay black in the middle.
    const imaging::TDIB& page = form->VistrelImage1->Image().DIB();
    imaging::TDIB expected;
    imaging::LoadFromFile(expected, dir.filePath(QStringLiteral("page.tif")).toStdString(), 0);
    expected.ShearDeskew(true, false, true, 1.43, 1.43);
    expected.ShiftRows(24);
    EXPECT_TRUE(std::ranges::equal(page.Block(), expected.Block()));
    for (int x : {0, 500, 999}) {
        EXPECT_EQ(page.GetPixel(x, 0), 1) << x;
        EXPECT_EQ(page.GetPixel(x, 23), 1) << x;
    }
    EXPECT_EQ(page.GetPixel(500, 200), 0);
}

TEST_F(ScriptedFormTest, ProcessDropsTheGreyViewOfTheUnstraightenedPage) {
    OpenAndProcess(2000, 800, 0, {}, true);
    ASSERT_LT(form->VistrelImage1->Zoom(), 50.0);
    form->VistrelImage1->DisplayPanel()->grab();
    ASSERT_NE(form->VistrelImage1->DisplayPanel()->CachedGreyImage(), nullptr);
    setResult(-143, nullptr, 0);
    form->Process1Click();
    EXPECT_EQ(form->VistrelImage1->DisplayPanel()->CachedGreyImage(), nullptr);
}

TEST_F(ScriptedFormTest, ZonesLandWhereTheZoomPutsThem) {
    OpenAndProcess(400, 200, 0, {10, 20, 300, 60, 6, 5, 5, 50, 50, 9}, true);
    ASSERT_EQ(form->ListBoxZones->count(), 2);
    TDisplayPanel* surface = form->VistrelImage1->DisplayPanel();
    const QColor blue(0, 0, 255), grey(128, 128, 128), white(255, 255, 255);

    form->VistrelImage1->SetZoom(50.0);
    QImage shot = surface->grab().toImage();
    EXPECT_EQ(shot.pixelColor(5, 10), blue);
    EXPECT_EQ(shot.pixelColor(149, 29), blue);
    EXPECT_EQ(shot.pixelColor(150, 30), white);
    EXPECT_EQ(shot.pixelColor(2, 2), grey); // round(2.5) = 2

    form->VistrelImage1->SetZoom(100.0);
    shot = surface->grab().toImage();
    EXPECT_EQ(shot.pixelColor(10, 20), blue);
    EXPECT_EQ(shot.pixelColor(299, 59), blue);
    EXPECT_EQ(shot.pixelColor(300, 59), white);
    EXPECT_EQ(shot.pixelColor(5, 5), grey);

    prompts.messages.clear();
    QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(299, 59));
    QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(300, 59));
    QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(20, 30));
    ASSERT_EQ(prompts.messages.size(), 3u);
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("Zone 0:Text"));
    EXPECT_EQ(prompts.messages[1].text, QStringLiteral("Zone 0:Text"));
    EXPECT_EQ(prompts.messages[2].text, QStringLiteral("Zone 1:Noise"));
    // Zone 0 was toggled twice, zone 1 once: only zone 1 is hatched.
    EXPECT_EQ(form->SelectedZones().Numbers(), QStringList{QStringLiteral("1")});
    const QRect inside0(100, 25, 20, 20), inside1(7, 7, 10, 10);
    shot = surface->grab().toImage();
    EXPECT_EQ(CountColour(shot, inside0, blue), 0);
    EXPECT_GT(CountColour(shot, inside1, grey), 0);
    // The list shows the pick; choosing zone 0 there picks it alone, as a
    // plain click in a list does, and hatches it.
    EXPECT_TRUE(form->ListBoxZones->item(1)->isSelected());
    form->ListBoxZones->setCurrentRow(0);
    EXPECT_EQ(form->SelectedZones().Numbers(), QStringList{QStringLiteral("0")});
    shot = surface->grab().toImage();
    EXPECT_GT(CountColour(shot, inside0, blue), 0);
    EXPECT_EQ(CountColour(shot, inside1, grey), 0);
    form->ListBoxZones->clearSelection();
    EXPECT_TRUE(form->SelectedZones().IsEmpty());

    // Code 9 follows the "Noise (gray)" tick; a hidden zone is still hit.
    form->ZoneItem(zones::ZoneKind::Noise)->trigger();
    shot = surface->grab().toImage();
    EXPECT_EQ(shot.pixelColor(5, 5), white);
    EXPECT_EQ(shot.pixelColor(10, 20), blue);
    prompts.messages.clear();
    QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(7, 7));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("Zone 1:Noise"));
    EXPECT_EQ(form->SelectedZones().Numbers(), QStringList{QStringLiteral("1")});
    QTest::mouseClick(surface, Qt::RightButton, {}, QPoint(7, 7));
    EXPECT_EQ(prompts.messages.size(), 1u);
}

TEST_F(ScriptedFormTest, ProcessingAgainClearsTheSelection) {
    OpenAndProcess(400, 200, 0, {10, 20, 300, 60, 6}, true);
    form->VistrelImage1->SetZoom(100.0);
    QTest::mouseClick(form->VistrelImage1->DisplayPanel(), Qt::LeftButton, {}, QPoint(50, 30));
    EXPECT_TRUE(form->SelectedZones().Contains(0));
    form->Process1Click();
    EXPECT_TRUE(form->SelectedZones().IsEmpty());
    EXPECT_EQ(form->ListBoxZones->count(), 1);
}

} // namespace
