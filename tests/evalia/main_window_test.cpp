// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "evalia/main_window.h"
#include "quadrel/version.h"

#include "evalia/process_report.h"
#include "fake_prompts.h"
#include "imaging/image_stream.h"
#include "imaging/tiff_io.h"
#include "tests/support/test_page.h"

#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>

#include <QProcess>
#include <QScrollBar>

#include <gtest/gtest.h>

namespace {

using zones::ZoneRecord;

std::vector<std::string> BuiltLibrary() {
    return evalia::DefaultLibraryCandidates(
        QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString());
}

QStringList Captions(const QList<QAction*>& actions) {
    QStringList captions;
    for (QAction* a : actions) captions << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return captions;
}

QMenu* MenuNamed(QMainWindow& window, const QString& caption) {
    for (QAction* a : window.menuBar()->actions())
        if (a->text() == caption) return a->menu();
    return nullptr;
}

// The lines of a file written with CR LF line ends.
QStringList CrLfLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    QString text = QString::fromLatin1(file.readAll());
    if (!text.endsWith(QStringLiteral("\r\n"))) return {QStringLiteral("(no final CR LF)")};
    text.chop(2);
    return text.split(QStringLiteral("\r\n"));
}

class FormTest : public testing::Test {
  protected:
    void SetUp() override { MakeForm(BuiltLibrary()); }

    void MakeForm(const std::vector<std::string>& candidates) {
        form.reset();
        prompts.messages.clear();
        form = std::make_unique<TMainWindow>(std::make_unique<evalia::TQuadrelLibrary>(candidates),
                                             prompts);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }

    QString FaxPage() {
        const std::string path = testsupport::ccittTiffPath(1);
        return QString::fromStdString(path);
    }

    QString WritePage(const QString& name, int width, int height, imaging::PixelFormat format) {
        imaging::TDIB page;
        page.NewImage(width, height, format, 300, 300);
        page.Fill(255);
        const QString path = dir.filePath(name);
        imaging::SaveTiff(page, path.toStdString(), false, imaging::tcNone, 0);
        return path;
    }

    void Open(const QString& path) {
        prompts.filesToOpen << path;
        form->Open1Click();
    }

    // Opens the fax page and processes it; false when the page is unavailable.
    bool ProcessFaxPage() {
        const QString page = FaxPage();
        if (page.isEmpty()) return false;
        Open(page);
        form->Process1Click();
        return true;
    }

    std::vector<ZoneRecord> Zones() const { return zones::readZones(form->CurrentZones()); }

    FakePrompts prompts;
    QTemporaryDir dir;
    std::unique_ptr<TMainWindow> form;
};

TEST_F(FormTest, StartsWithItsCaptionMenusAndProcessingDisabled) {
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Folivane Layout Analysis - Evaluation Utility"));
    EXPECT_EQ(form->width(), 688);
    // The specified items in their order; what the window adds follows them
    // (and "Open Recent" sits below "Open", where users look for it).
    EXPECT_EQ(Captions(form->menuBar()->actions()),
              (QStringList{"&File", "&Zones", "Zoom", "&Page", "&?"}));
    EXPECT_EQ(Captions(MenuNamed(*form, "&File")->actions()),
              (QStringList{"&Open...", "Open &Recent", "-", "&Process !", "-",
                           "&Save Outlined Image...", "Save Layout as XML...", "Save Layout &As",
                           "-", "&Exit"}));
    EXPECT_EQ(Captions(MenuNamed(*form, "&Zones")->actions()),
              (QStringList{"Image (red)", "Text (blue)", "Line (yellow)", "Noise (gray)",
                           "Table (purple)", "Column Table (teal)", "Cell Table (maroon)",
                           "Inverse Text (green)", "-", "Zone &Numbers"}));
    for (QAction* item : form->ZoneItems) {
        EXPECT_TRUE(item->isChecked()) << item->text().toStdString();
        EXPECT_FALSE(item->icon().isNull()) << item->text().toStdString();
    }
    EXPECT_EQ(Captions(MenuNamed(*form, "Zoom")->actions()),
              (QStringList{"Fit To Width", "Fit To Height", "Original Size", "1:1", "-", "Zoom &In",
                           "Zoom &Out"}));
    EXPECT_EQ(form->Open1->shortcut(), QKeySequence(QKeySequence::Open));
    EXPECT_EQ(form->SaveLayoutasXML1->shortcut(), QKeySequence(QKeySequence::Save));
    EXPECT_EQ(form->Exit1->shortcut(), QKeySequence(QKeySequence::Quit));
    EXPECT_EQ(form->Process1->shortcut(), QKeySequence(Qt::Key_F5));
    // Nothing to save, zoom or page through before a page is open.
    EXPECT_FALSE(form->SaveOutlinedImage1->isEnabled());
    EXPECT_FALSE(form->ZoomIn1->isEnabled());
    EXPECT_FALSE(form->NextPage1->isEnabled());
    EXPECT_TRUE(form->SaveLayoutasXML1->isEnabled());
    EXPECT_EQ(Captions(MenuNamed(*form, "&?")->actions()), (QStringList{"&About..."}));
    EXPECT_EQ(Captions(form->PopupMenu1->actions()),
              (QStringList{"FitToWidth", "FitToHeight", "1:1", "100%"}));
    EXPECT_FALSE(form->Process1->isEnabled());
    EXPECT_EQ(form->ListBoxZones->count(), 0);
    EXPECT_EQ(form->ListBoxZones->width(), 73);
}

TEST_F(FormTest, OpenEnablesProcessingOnlyForBlackAndWhitePages) {
    const QString fax = FaxPage();
    if (fax.isEmpty()) GTEST_SKIP() << "CCITT test pages not installed";
    const QString grey = WritePage("grey.tif", 64, 48, imaging::pf8bit);

    Open(fax);
    EXPECT_TRUE(prompts.TakeMessages().empty());
    EXPECT_TRUE(form->Process1->isEnabled());
    EXPECT_EQ(form->StatusPanel->text(), fax);
    EXPECT_EQ(prompts.dialogs.back().filter, QStringLiteral("TIFF Files (*.tif)"));
    // Fitted to the width; the tall page needs the vertical bar's width.
    const int bar = form->VistrelImage1->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    EXPECT_DOUBLE_EQ(form->VistrelImage1->Zoom(),
                     (form->VistrelImage1->width() - bar) / 1728.0 * 100.0);
    EXPECT_EQ(form->VistrelImage1->ZoomMode(), zmCustom);

    Open(grey);
    const auto messages = prompts.TakeMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].kind, "warning");
    EXPECT_EQ(messages[0].text,
              QStringLiteral("Images is not black and white: analysis is not possible. Please "
                             "threshold the image before to process it !"));
    EXPECT_FALSE(form->Process1->isEnabled());

    Open(fax);
    EXPECT_TRUE(form->Process1->isEnabled());

    // A cancelled dialog changes nothing.
    form->Open1Click();
    EXPECT_TRUE(form->Process1->isEnabled());
    EXPECT_EQ(form->StatusPanel->text(), fax);
    EXPECT_EQ(form->VistrelImage1->Image().DIB().Width(), 1728);
}

TEST_F(FormTest, ProcessReportsListsAndLeavesAnUnskewedPageAlone) {
    const QString fax = FaxPage();
    if (fax.isEmpty()) GTEST_SKIP() << "CCITT test pages not installed";
    Open(fax);
    const auto before = form->VistrelImage1->Image().DIB().Block();
    const std::vector<std::uint8_t> pixels(before.begin(), before.end());

    form->Process1Click();
    const std::int32_t n = form->CurrentZones().zoneCount();
    EXPECT_GT(n, 0);
    const auto messages = prompts.TakeMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].kind, "information");
    EXPECT_EQ(messages[0].text, QString::number(n) + QString::fromUtf8(" zones found.\r\nSkew "
                                                                       "angle is 0\u00B0."));
    ASSERT_EQ(form->ListBoxZones->count(), n);
    const std::vector<ZoneRecord> zones = Zones();
    for (int i = 0; i < n; ++i)
        EXPECT_EQ(form->ListBoxZones->item(i)->text(),
                  evalia::ZoneListEntry(i, zones[std::size_t(i)]));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    const auto after = form->VistrelImage1->Image().DIB().Block();
    EXPECT_TRUE(std::equal(after.begin(), after.end(), pixels.begin(), pixels.end()));
}

TEST_F(FormTest, LayoutXmlBeforeAndAfterProcess) {
    const QString first = dir.filePath("fresh.xml");
    prompts.filesToSave << first;
    form->SaveLayoutasXML1Click();
    EXPECT_EQ(prompts.dialogs.back().filter, QStringLiteral("XML Files (*.xml)"));
    EXPECT_EQ(prompts.dialogs.back().defaultSuffix, QStringLiteral("xml"));
    QStringList lines = CrLfLines(first);
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines[3], QStringLiteral("<zones count=\"0\">"));
    EXPECT_EQ(lines[4], QStringLiteral("</zones>"));

    if (!ProcessFaxPage()) GTEST_SKIP() << "CCITT test pages not installed";
    const std::vector<ZoneRecord> zones = Zones();
    const QString second = dir.filePath("page.xml");
    prompts.filesToSave << second;
    form->SaveLayoutasXML1Click();
    lines = CrLfLines(second);
    ASSERT_EQ(lines.size(), 3 + 1 + 7 * qsizetype(zones.size()) + 1);
    EXPECT_EQ(lines[5], QStringLiteral("<left>%1</left>").arg(zones[0].left));

    // Opening a page sets the previous page's zones aside until the next Process.
    prompts.filesToOpen << FaxPage();
    form->Open1Click();
    EXPECT_EQ(form->ListBoxZones->count(), 0);
    EXPECT_EQ(form->CurrentZones().zoneCount(), 0);
    const QString third = dir.filePath("reopened.xml");
    prompts.filesToSave << third;
    form->SaveLayoutasXML1Click();
    EXPECT_EQ(CrLfLines(third).size(), 5);
}

TEST_F(FormTest, OutlinedImageIsHalfSizeAndHandedToTheDesktop) {
    Open(WritePage("big.tif", 2481, 3508, imaging::pf1bit));
    const QString out = dir.filePath("outlined.tif");
    prompts.filesToSave << out;
    form->SaveOutlinedImageClick();
    EXPECT_EQ(prompts.dialogs.back().defaultSuffix, QStringLiteral("tif"));
    EXPECT_EQ(prompts.openedWithDesktop, QStringList{out});

    imaging::TDIB saved;
    imaging::FileStream stream(out.toStdString(), imaging::FileStream::Mode::Read);
    imaging::LoadTiff(saved, stream, 0);
    EXPECT_EQ(saved.Width(), 1240);
    EXPECT_EQ(saved.Height(), 1754);
    EXPECT_EQ(saved.BitCount(), 24);
}

TEST_F(FormTest, ErrorsReachOneErrorBoxAndTheWindowGoesOn) {
    // Nothing open yet: there is no page to outline, and the command is off.
    EXPECT_FALSE(form->SaveOutlinedImage1->isEnabled());
    form->SaveOutlinedImageClick();
    EXPECT_TRUE(prompts.dialogs.empty());
    EXPECT_TRUE(prompts.TakeMessages().empty());

    // A tall page scrolled down, then a broken file: the error names the
    // reader's own reason, and neither its path nor the old scroll bars stay.
    Open(WritePage("tall.tif", 200, 3000, imaging::pf1bit));
    form->VistrelImage1->verticalScrollBar()->setValue(500);

    const QString junk = dir.filePath("junk.tif");
    {
        QFile file(junk);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("II*\0garbage", 11);
    }
    Open(junk);
    auto messages = prompts.TakeMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].kind, "error");
    EXPECT_TRUE(messages[0].text.startsWith(QStringLiteral("TIFFOpen: ")))
        << messages[0].text.toStdString();
    EXPECT_GT(messages[0].text.size(), QStringLiteral("TIFFOpen: ").size());
    EXPECT_FALSE(form->Process1->isEnabled());
    EXPECT_FALSE(form->SaveOutlinedImage1->isEnabled());
    EXPECT_TRUE(form->StatusPanel->text().isEmpty());
    EXPECT_EQ(form->VistrelImage1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);

    prompts.filesToSave << QStringLiteral("/nonexistent-folder/layout.xml");
    form->SaveLayoutasXML1Click();
    messages = prompts.TakeMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].kind, "error");

    const QString fax = FaxPage();
    if (fax.isEmpty()) return;
    Open(fax);
    EXPECT_TRUE(form->Process1->isEnabled());
}

TEST_F(FormTest, WithoutTheLibraryTheWindowOpensWithProcessingDisabled) {
    MakeForm({"/nonexistent/libquadrel.so"});
    const auto messages = prompts.TakeMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].kind, "warning");
    EXPECT_TRUE(messages[0].text.contains(QStringLiteral("libquadrel.so could not be loaded")));
    const QString fax = FaxPage();
    if (fax.isEmpty()) return;
    Open(fax);
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_FALSE(form->Process1->isEnabled());
    form->Process1Click(); // disabled: nothing happens
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(FormTest, AboutAndZoomCommands) {
    form->About1->trigger();
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_TRUE(prompts.messages[0].text.startsWith(
        QStringLiteral("Folivane Layout Analysis - Evaluation Utility\r\n")));
    EXPECT_TRUE(prompts.messages[0].text.contains(QStringLiteral("2006")));
    EXPECT_TRUE(prompts.messages[0].text.endsWith(QStringLiteral("\r\nVersion " QUADREL_VERSION)));

    form->FitToHeight1->trigger();
    EXPECT_EQ(form->VistrelImage1->ZoomMode(), zmFitToHeight);
    form->PopupMenu1->actions()[2]->trigger(); // "1:1" of the context menu: the zoom mode
    EXPECT_EQ(form->VistrelImage1->ZoomMode(), zmFitToOriginal);
    form->VistrelImage1->SetZoom(40.0);
    form->OneToOne1->trigger(); // "1:1" of the main menu: the zoom factor
    EXPECT_DOUBLE_EQ(form->VistrelImage1->Zoom(), 100.0);
}

TEST_F(FormTest, ANewPageOpensAtItsTopLeft) {
    Open(WritePage("tall.tif", 200, 3000, imaging::pf1bit));
    QScrollBar* bar = form->VistrelImage1->verticalScrollBar();
    bar->setValue(bar->maximum());
    ASSERT_GT(bar->value(), 0);
    Open(WritePage("other.tif", 200, 2500, imaging::pf1bit));
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(form->VistrelImage1->DisplayPanel()->pos(), QPoint(0, 0));
}

// The program run as a user's script would: a page that cannot be opened
// or analysed ends the run with status 1 and the reason on stderr.
TEST_F(FormTest, UnattendedRunsExitWithTheirOutcome) {
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/evalia");
    if (!QFile::exists(program)) GTEST_SKIP() << "the evalia program is not built";
    const auto run = [&](const QString& page, int* status) {
        QProcess process;
        process.start(program, {QStringLiteral("--process"), page, QStringLiteral("--screenshot"),
                                dir.filePath(QStringLiteral("shot.png"))});
        EXPECT_TRUE(process.waitForFinished(60000));
        *status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        return QString::fromLocal8Bit(process.readAllStandardError());
    };
    int status = 0;
    const QString junk = dir.filePath(QStringLiteral("junk.tif"));
    QFile file(junk);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("II*\0garbage", 11);
    file.close();
    EXPECT_TRUE(run(junk, &status).contains(QStringLiteral("error: TIFFOpen: ")));
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(run(WritePage("grey.tif", 64, 48, imaging::pf8bit), &status)
                    .contains(QStringLiteral("not black and white")));
    EXPECT_EQ(status, 1);
    const QString fax = FaxPage();
    if (fax.isEmpty()) return;
    run(fax, &status);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("shot.png"))));
}

} // namespace
