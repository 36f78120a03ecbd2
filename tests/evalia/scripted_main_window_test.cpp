// The window driven by a stand-in library whose zone table and skew angle
// the test chooses.
#include "evalia/main_window.h"

#include "fake_prompts.h"
#include "imaging/image_loader.h"
#include "imaging/tiff_io.h"

#include <QCoreApplication>
#include <QFile>
#include <QListWidget>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

#include <dlfcn.h>
#include <gtest/gtest.h>

namespace {

int CountColour(const QImage& image, const QRect& area, const QColor& colour) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) n += image.pixelColor(x, y) == colour;
    return n;
}

std::string ScriptedLibraryPath() {
    return QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString() +
           "/libevalia_scripted_quadrel.so";
}

class ScriptedFormTest : public testing::Test {
  protected:
    void SetUp() override {
        QLocale::setDefault(QLocale::c());
        // Kept open for the whole test, so the script survives the window.
        module = dlopen(ScriptedLibraryPath().c_str(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(module, nullptr) << dlerror();
        setResult = reinterpret_cast<decltype(setResult)>(dlsym(module, "Scripted_SetResult"));
        lastDib = reinterpret_cast<decltype(lastDib)>(dlsym(module, "Scripted_LastDib"));
        setStatus = reinterpret_cast<decltype(setStatus)>(dlsym(module, "Scripted_SetStatus"));
        contextsAlive =
            reinterpret_cast<decltype(contextsAlive)>(dlsym(module, "Scripted_ContextsAlive"));
        ASSERT_TRUE(setResult && lastDib && setStatus && contextsAlive);

        form = std::make_unique<TMainWindow>(std::make_unique<evalia::TQuadrelLibrary>(
                                                 std::vector<std::string>{ScriptedLibraryPath()}),
                                             prompts);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }

    void TearDown() override {
        form.reset();
        if (module != nullptr) dlclose(module);
        QLocale::setDefault(QLocale::system());
    }

    // Opens a 1-bit page, all black unless `white`, and processes it with
    // the given result.
    void OpenAndProcess(int width, int height, std::int32_t skew,
                        const std::vector<std::int32_t>& zones, bool white = false) {
        imaging::TDIB page;
        page.NewImage(width, height, imaging::pf1bit, 200, 200);
        if (white) page.Fill(255);
        const QString path = dir.filePath(QStringLiteral("page.tif"));
        imaging::SaveTiff(page, path.toStdString(), false, imaging::tcGroup4, 0);
        prompts.filesToOpen << path;
        form->Open1Click();
        ASSERT_TRUE(form->Process1->isEnabled());
        setResult(skew, zones.data(), std::int32_t(zones.size() / 5));
        form->Process1Click();
    }

    void* module = nullptr;
    void (*setResult)(std::int32_t, const std::int32_t*, std::int32_t) = nullptr;
    LaDibHandle (*lastDib)() = nullptr;
    void (*setStatus)(std::int32_t) = nullptr;
    int (*contextsAlive)() = nullptr;
    FakePrompts prompts;
    QTemporaryDir dir;
    std::unique_ptr<TMainWindow> form;
};

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

TEST_F(ScriptedFormTest, AnAnalysisOutOfMemoryIsReportedWithTheZonesItFound) {
    OpenAndProcess(400, 200, 0, {}, true);
    prompts.messages.clear();
    for (std::int32_t status : {1, 4}) {
        setResult(0, std::vector<std::int32_t>{10, 20, 300, 60, 6}.data(), 1);
        setStatus(status);
        form->Process1Click();
        const std::vector<RecordedMessage> messages = prompts.TakeMessages();
        ASSERT_FALSE(messages.empty());
        EXPECT_EQ(messages.back().text,
                  QString::fromUtf8("1 zones found.\r\nSkew angle is 0\u00B0."));
        EXPECT_EQ(form->ListBoxZones->count(), 1);
        if (status != 1) {
            EXPECT_EQ(messages.size(), 1u) << "status " << status << " is not reported";
            continue;
        }
        ASSERT_EQ(messages.size(), 2u);
        EXPECT_EQ(messages[0].kind, QStringLiteral("warning"));
        EXPECT_TRUE(messages[0].text.contains(QStringLiteral("out of memory")));
    }
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
    // Choosing zone 0 in the list hatches it as well.
    form->ListBoxZones->setCurrentRow(0);
    shot = surface->grab().toImage();
    EXPECT_GT(CountColour(shot, inside0, blue), 0);
    form->ListBoxZones->clearSelection();

    // Code 9 follows the "Noise (gray)" tick; a hidden zone is still hit.
    form->ZoneItem(zones::ZoneKind::Noise)->trigger();
    shot = surface->grab().toImage();
    EXPECT_EQ(shot.pixelColor(5, 5), white);
    EXPECT_EQ(shot.pixelColor(10, 20), blue);
    prompts.messages.clear();
    QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(7, 7));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("Zone 1:Noise"));
    EXPECT_TRUE(form->SelectedZones().IsEmpty());
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
