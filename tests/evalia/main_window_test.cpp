#include "evalia/main_window.h"

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

#include <dlfcn.h>

#include <dlfcn.h>

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
    EXPECT_EQ(Captions(form->menuBar()->actions()), (QStringList{"&File", "&Zones", "Zoom", "&?"}));
    EXPECT_EQ(Captions(MenuNamed(*form, "&File")->actions()),
              (QStringList{"&Open...", "-", "&Process !", "-", "&Save Outlined Image...",
                           "Save Layout as XML...", "-", "&Exit"}));
    EXPECT_EQ(Captions(MenuNamed(*form, "&Zones")->actions()),
              (QStringList{"Image (red)", "Text (blue)", "Line (yellow)", "Noise (gray)",
                           "Table (purple)", "Column Table (teal)", "Cell Table (maroon)",
                           "Inverse Text (green)"}));
    for (QAction* item : form->ZoneItems)
        EXPECT_TRUE(item->isChecked()) << item->text().toStdString();
    EXPECT_EQ(Captions(MenuNamed(*form, "Zoom")->actions()),
              (QStringList{"Fit To Width", "Fit To Height", "Original Size", "1:1"}));
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
    for (int i = 0; i < n; ++i)
        EXPECT_EQ(form->ListBoxZones->item(i)->text(), QStringLiteral("Zone %1").arg(i));
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
    // Nothing open yet: there is no page to outline.
    prompts.filesToSave << dir.filePath("nothing.tif");
    form->SaveOutlinedImageClick();
    auto nothing = prompts.TakeMessages();
    ASSERT_EQ(nothing.size(), 1u);
    EXPECT_EQ(nothing[0].kind, "error");
    EXPECT_TRUE(prompts.openedWithDesktop.isEmpty());

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
    EXPECT_FALSE(messages[0].text.isEmpty());
    EXPECT_FALSE(form->Process1->isEnabled());

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

    form->FitToHeight1->trigger();
    EXPECT_EQ(form->VistrelImage1->ZoomMode(), zmFitToHeight);
    form->PopupMenu1->actions()[2]->trigger(); // "1:1" of the context menu: the zoom mode
    EXPECT_EQ(form->VistrelImage1->ZoomMode(), zmFitToOriginal);
    form->VistrelImage1->SetZoom(40.0);
    form->OneToOne1->trigger(); // "1:1" of the main menu: the zoom factor
    EXPECT_DOUBLE_EQ(form->VistrelImage1->Zoom(), 100.0);
}

} // namespace
