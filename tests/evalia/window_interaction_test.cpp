// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// What the window offers beyond its menus' commands: zones on pages of
// unequal resolutions, zoom steps, the pointer readout, the zone list in
// step with the page, failed analyses, dropped files, recent files and the
// last-used folder, and pages of multi-page files.
#include "scripted_form.h"

#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>

namespace {

const QColor kBlue(0, 0, 255);

QString WriteMultiPage(const QString& path, int pages) {
    for (int i = 0; i < pages; ++i) {
        imaging::TDIB page;
        page.NewImage(100 + 10 * i, 80, imaging::pf1bit, 200, 200);
        page.Fill(255);
        imaging::SaveTiff(page, path.toStdString(), i > 0, imaging::tcGroup4, 0);
    }
    return path;
}

TEST_F(ScriptedFormTest, ZonesFollowAFaxPageOfUnequalResolutions) {
    // 400 x 200 pixels at 200 x 100 dpi: shown 400 x 400 at 100 %.
    OpenAndProcess(400, 200, 0, {10, 20, 300, 60, LA_CONTENT_TEXT}, true, 100);
    form->VistrelImage1->SetZoom(100.0);
    TDisplayPanel* surface = form->VistrelImage1->DisplayPanel();
    ASSERT_EQ(surface->size(), QSize(400, 400));
    const QImage shot = surface->grab().toImage();
    EXPECT_EQ(shot.pixelColor(10, 40), kBlue); // row 20 is surface row 40
    EXPECT_EQ(shot.pixelColor(299, 119), kBlue);
    EXPECT_EQ(shot.pixelColor(10, 20), QColor(Qt::white));

    prompts.messages.clear();
    QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(200, 100)); // page row 50
    QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(200, 30));  // page row 15
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("Zone 0:Text"));
    QTest::mouseMove(surface, QPoint(200, 100));
    EXPECT_EQ(form->PointerPanel->text(), QStringLiteral("x 200, y 50  |  zone 0 Text"));
}

TEST_F(ScriptedFormTest, ZoomStepsShowInTheStatusBar) {
    OpenAndProcess(400, 200, 0, {}, true);
    form->VistrelImage1->SetZoom(100.0);
    EXPECT_EQ(form->ZoomPanel->text(), QStringLiteral("Zoom 100%"));
    form->ZoomIn1->trigger();
    EXPECT_DOUBLE_EQ(form->VistrelImage1->Zoom(), 125.0);
    EXPECT_EQ(form->ZoomPanel->text(), QStringLiteral("Zoom 125%"));
    QTest::keyClick(form.get(), Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(form->VistrelImage1->Zoom(), 100.0);
    EXPECT_EQ(form->PagePanel->text(), QStringLiteral("page 1 of 1"));
}

TEST_F(ScriptedFormTest, TheListShowsKindAndBoxAndScrollsThePageToAZone) {
    OpenAndProcess(3000, 3000, 0,
                   {10, 20, 300, 60, LA_CONTENT_TEXT, 2500, 2600, 2700, 2800, LA_CONTENT_TABLE},
                   true);
    ASSERT_EQ(form->ListBoxZones->count(), 2);
    EXPECT_EQ(form->ListBoxZones->item(0)->text(), QStringLiteral("0 Text 10,20-300,60"));
    EXPECT_EQ(form->ListBoxZones->item(1)->text(), QStringLiteral("1 Table 2500,2600-2700,2800"));
    EXPECT_GT(form->ListBoxZones->width(), 73); // widened to show the entries

    form->VistrelImage1->SetZoom(100.0);
    form->ListBoxZones->setCurrentRow(1);
    const QRect visible(-form->VistrelImage1->DisplayPanel()->pos(),
                        form->VistrelImage1->viewport()->size());
    EXPECT_TRUE(visible.contains(QRect(2500, 2600, 200, 200)));
    EXPECT_TRUE(form->SelectedZones().Contains(1));
}

TEST_F(ScriptedFormTest, AFailedAnalysisIsAnErrorAndShowsNoZones) {
    OpenAndProcess(400, 200, 0, {10, 20, 300, 60, LA_CONTENT_TEXT}, true);
    ASSERT_EQ(form->ListBoxZones->count(), 1);
    prompts.messages.clear();
    setStatus(LA_STATUS_OUT_OF_MEMORY);
    form->Process1Click();
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].kind, "error");
    EXPECT_TRUE(prompts.messages[0].text.contains(QStringLiteral("ran out of memory")));
    EXPECT_EQ(form->ListBoxZones->count(), 0);
    EXPECT_EQ(form->CurrentZones().zoneCount(), 0);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(ScriptedFormTest, ADroppedFileIsOpened) {
    const QString path = WriteMultiPage(dir.filePath(QStringLiteral("dropped.tif")), 1);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(form.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(form.get(), &drop);
    EXPECT_EQ(form->StatusPanel->text(), path);
    EXPECT_TRUE(form->VistrelImage1->Image().IsValid());

    QMimeData text;
    text.setText(QStringLiteral("not a file"));
    QDragEnterEvent refused(QPoint(100, 100), Qt::CopyAction, &text, Qt::LeftButton, {});
    refused.setAccepted(false);
    QCoreApplication::sendEvent(form.get(), &refused);
    EXPECT_FALSE(refused.isAccepted());
}

TEST_F(ScriptedFormTest, RecentFilesAndTheLastFolderAreRemembered) {
    evalia::TRecentFiles().Clear();
    const QString first = WriteMultiPage(dir.filePath(QStringLiteral("first.tif")), 1);
    const QString second = WriteMultiPage(dir.filePath(QStringLiteral("second.tif")), 1);
    prompts.filesToOpen << first;
    form->Open1Click();
    prompts.filesToOpen << second;
    form->Open1Click();
    EXPECT_EQ(prompts.dialogs.back().folder, dir.path()); // where the first came from
    EXPECT_EQ(evalia::TRecentFiles().Files(), (QStringList{second, first}));

    // The submenu lists them; choosing one opens it.
    emit form->RecentMenu->aboutToShow();
    const QList<QAction*> items = form->RecentMenu->actions();
    ASSERT_GE(items.size(), 2);
    EXPECT_EQ(items[0]->text(), QStringLiteral("&1 ") + second);
    items[1]->trigger();
    EXPECT_EQ(form->StatusPanel->text(), first);
    EXPECT_EQ(evalia::TRecentFiles().Files().first(), first);

    // A file gone since is reported and leaves the list.
    QFile::remove(second);
    emit form->RecentMenu->aboutToShow();
    prompts.messages.clear();
    form->RecentMenu->actions()[1]->trigger();
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].kind, "error");
    EXPECT_EQ(evalia::TRecentFiles().Files(), QStringList{first});

    prompts.filesToSave << dir.filePath(QStringLiteral("sub/none.xml"));
    form->SaveLayoutasXML1Click();
    EXPECT_EQ(prompts.dialogs.back().folder, dir.path());
}

TEST_F(ScriptedFormTest, PagesOfAMultiPageFile) {
    const QString path = WriteMultiPage(dir.filePath(QStringLiteral("three.tif")), 3);
    prompts.filesToOpen << path;
    form->Open1Click();
    EXPECT_EQ(form->PagePanel->text(), QStringLiteral("page 1 of 3"));
    EXPECT_FALSE(form->PreviousPage1->isEnabled());
    setResult(0, std::vector<std::int32_t>{1, 1, 5, 5, LA_CONTENT_TEXT}.data(), 1);
    form->Process1Click();
    ASSERT_EQ(form->ListBoxZones->count(), 1);

    QTest::keyClick(form.get(), Qt::Key_PageDown);
    EXPECT_EQ(form->PagePanel->text(), QStringLiteral("page 2 of 3"));
    EXPECT_EQ(form->VistrelImage1->Image().DIB().Width(), 110);
    EXPECT_EQ(form->ListBoxZones->count(), 0); // the zones were the first page's
    form->NextPage1->trigger();
    EXPECT_EQ(form->PagePanel->text(), QStringLiteral("page 3 of 3"));
    EXPECT_FALSE(form->NextPage1->isEnabled());
    form->PreviousPage1->trigger();
    EXPECT_EQ(form->VistrelImage1->Page(), 1);
}

// The icon carries the tick, as styles show a checkable item's icon in its place.
TEST_F(ScriptedFormTest, ZoneMenuIconsShowColourAndTick) {
    QAction* line = form->ZoneItem(zones::ZoneKind::Line);
    const QImage shown = line->icon().pixmap(16, 16).toImage();
    line->trigger();
    EXPECT_FALSE(line->isChecked());
    const QImage hidden = line->icon().pixmap(16, 16).toImage();
    EXPECT_NE(shown, hidden);
    EXPECT_EQ(hidden.pixelColor(8, 8), QColor(Qt::white));
    EXPECT_EQ(shown.pixelColor(2, 2), QColor(255, 255, 0));
}

} // namespace

TEST_F(ScriptedFormTest, TheLayoutIsSavedInEachStandardFormat) {
    EXPECT_FALSE(form->SaveLayoutAsMenu->isEnabled()) << "no page, no layout";
    OpenAndProcess(400, 200, 0,
                   {10, 20, 300, 60, LA_CONTENT_TEXT, 5, 100, 390, 101, LA_CONTENT_LINE}, true);
    ASSERT_TRUE(form->SaveLayoutAsMenu->isEnabled());
    const QList<QAction*> formats = form->SaveLayoutAsMenu->actions();
    ASSERT_EQ(formats.size(), 3);
    const char* marks[] = {"<TextRegion id=\"zone_0\"", "<TextBlock ID=\"zone_0\"",
                           "id=\"zone_0\""};
    const char* lines[] = {"<SeparatorRegion id=\"zone_1\"", "<GraphicalElement ID=\"zone_1\"",
                           "id=\"zone_1\""};
    for (int i = 0; i < 3; ++i) {
        const QString path = dir.filePath(QStringLiteral("layout%1").arg(i));
        prompts.filesToSave << path;
        formats[i]->trigger();
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << formats[i]->text().toStdString();
        const QByteArray text = file.readAll();
        EXPECT_TRUE(text.contains(marks[i])) << text.left(400).toStdString();
        EXPECT_TRUE(text.contains(lines[i])) << formats[i]->text().toStdString();
        EXPECT_TRUE(text.contains("page.tif")) << "names the page's file";
    }
}
