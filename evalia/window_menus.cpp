// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The main window's menus, their shortcuts and the viewer's context menu.
// The specified items come first in each menu, in their order; what the
// window adds (recent files, zoom steps, zone numbers, pages) follows them.
#include "evalia/main_window.h"
#include "evalia/layout_export.h"
#include "evalia/zone_colours.h"

#include <QFileInfo>
#include <QMenuBar>

namespace {

struct ZoneMenuEntry {
    zones::ZoneKind kind;
    std::int32_t content; // a content code of the kind, for its colour
    const char* caption;
};

// The "&Zones" menu, in menu order.
constexpr std::array<ZoneMenuEntry, zones::kZoneKindCount> kZoneItems{{
    {zones::ZoneKind::Picture, LA_CONTENT_PICTURE, "Image (red)"},
    {zones::ZoneKind::Text, LA_CONTENT_TEXT, "Text (blue)"},
    {zones::ZoneKind::Line, LA_CONTENT_LINE, "Line (yellow)"},
    {zones::ZoneKind::Noise, LA_CONTENT_NOISE, "Noise (gray)"},
    {zones::ZoneKind::Table, LA_CONTENT_TABLE, "Table (purple)"},
    {zones::ZoneKind::TableColumn, LA_CONTENT_TABLE_COLUMN, "Column Table (teal)"},
    {zones::ZoneKind::TableCell, LA_CONTENT_TABLE_CELL, "Cell Table (maroon)"},
    {zones::ZoneKind::InvertedText, LA_CONTENT_INVERTED_TEXT, "Inverse Text (green)"},
}};

} // namespace

void TMainWindow::CreateMainMenu() {
    CreateFileMenu(menuBar()->addMenu(QStringLiteral("&File")));
    CreateZonesMenu(menuBar()->addMenu(QStringLiteral("&Zones")));
    CreateZoomMenu(menuBar()->addMenu(QStringLiteral("Zoom")));
    CreatePageMenu(menuBar()->addMenu(QStringLiteral("&Page")));
    QMenu* help = menuBar()->addMenu(QStringLiteral("&?"));
    About1 = help->addAction(QStringLiteral("&About..."), this, &TMainWindow::About1Click);
}

void TMainWindow::CreateFileMenu(QMenu* file) {
    FileMenu = file;
    Open1 = file->addAction(QStringLiteral("&Open..."), this, &TMainWindow::Open1Click);
    Open1->setShortcut(QKeySequence::Open);
    RecentMenu = file->addMenu(QStringLiteral("Open &Recent"));
    connect(RecentMenu, &QMenu::aboutToShow, this, &TMainWindow::FillRecentMenu);
    file->addSeparator();
    Process1 = file->addAction(QStringLiteral("&Process !"), this, &TMainWindow::Process1Click);
    Process1->setShortcut(Qt::Key_F5);
    Process1->setEnabled(false);
    file->addSeparator();
    SaveOutlinedImage1 = file->addAction(QStringLiteral("&Save Outlined Image..."), this,
                                         &TMainWindow::SaveOutlinedImageClick);
    SaveOutlinedImage1->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+S")));
    SaveLayoutasXML1 = file->addAction(QStringLiteral("Save Layout as XML..."), this,
                                       &TMainWindow::SaveLayoutasXML1Click);
    SaveLayoutasXML1->setShortcut(QKeySequence::Save);
    SaveLayoutAsMenu = file->addMenu(QStringLiteral("Save Layout &As"));
    int formats = 0;
    const evalia::LayoutFormat* format = evalia::LayoutFormats(formats);
    for (int i = 0; i < formats; ++i)
        SaveLayoutAsMenu->addAction(QString::fromLatin1(format[i].caption), this,
                                    [this, i] { SaveLayoutAsFormat(i); });
    exitSeparator_ = file->addSeparator();
    Exit1 = file->addAction(QStringLiteral("&Exit"), this, &TMainWindow::Exit1Click);
    Exit1->setShortcut(QKeySequence::Quit);
}

QAction* TMainWindow::AddFileCommand(const QString& caption, const std::function<void()>& command) {
    auto* action = new QAction(caption, FileMenu);
    connect(action, &QAction::triggered, this, [command] { command(); });
    FileMenu->insertAction(exitSeparator_, action);
    return action;
}

// Rebuilt each time the submenu opens, so it follows other windows' opens too.
void TMainWindow::FillRecentMenu() {
    RecentMenu->clear();
    const QStringList files = recentFiles_.Files();
    for (int i = 0; i < files.size(); ++i) {
        const QString& path = files[i];
        RecentMenu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(path), this, [this, path] {
            if (!OpenFile(path)) recentFiles_.Remove(path);
        });
    }
    if (files.isEmpty()) RecentMenu->addAction(QStringLiteral("(none)"))->setEnabled(false);
    RecentMenu->addSeparator();
    RecentMenu->addAction(QStringLiteral("&Clear List"), this, [this] { recentFiles_.Clear(); })
        ->setEnabled(!files.isEmpty());
}

void TMainWindow::CreateZonesMenu(QMenu* menu) {
    for (std::size_t i = 0; i < kZoneItems.size(); ++i) {
        const zones::ZoneKind kind = kZoneItems[i].kind;
        const std::int32_t content = kZoneItems[i].content;
        QAction* item = menu->addAction(evalia::ZoneKindIcon(content, true),
                                        QString::fromLatin1(kZoneItems[i].caption));
        item->setCheckable(true);
        item->setChecked(true);
        connect(item, &QAction::toggled, this, [item, content](bool shown) {
            item->setIcon(evalia::ZoneKindIcon(content, shown));
        });
        connect(item, &QAction::triggered, this, [this, kind] { ZoneKindClick(kind); });
        ZoneItems[i] = item;
    }
    menu->addSeparator();
    ShowNumbers1 = menu->addAction(QStringLiteral("Zone &Numbers"), this,
                                   [this] { VistrelImage1->RefreshView(true); });
    ShowNumbers1->setCheckable(true);
    ShowNumbers1->setChecked(true);
    ShowNumbers1->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+N")));
}

void TMainWindow::CreateZoomMenu(QMenu* menu) {
    FitToWidth1 = menu->addAction(QStringLiteral("Fit To Width"), this,
                                  [this] { VistrelImage1->SetZoomMode(zmFitToWidth); });
    FitToHeight1 = menu->addAction(QStringLiteral("Fit To Height"), this,
                                   [this] { VistrelImage1->SetZoomMode(zmFitToHeight); });
    OriginalSize1 = menu->addAction(QStringLiteral("Original Size"), this,
                                    [this] { VistrelImage1->SetZoomMode(zmFitToOriginal); });
    OneToOne1 =
        menu->addAction(QStringLiteral("1:1"), this, [this] { VistrelImage1->SetZoom(100.0); });
    menu->addSeparator();
    ZoomIn1 = menu->addAction(QStringLiteral("Zoom &In"), this,
                              [this] { VistrelImage1->StepZoom(viewer::ZoomDirection::In); });
    // Ctrl+= as well: on many keyboards "+" needs Shift.
    ZoomIn1->setShortcuts({QKeySequence::ZoomIn, QKeySequence(QStringLiteral("Ctrl+="))});
    ZoomOut1 = menu->addAction(QStringLiteral("Zoom &Out"), this,
                               [this] { VistrelImage1->StepZoom(viewer::ZoomDirection::Out); });
    ZoomOut1->setShortcut(QKeySequence::ZoomOut);
}

void TMainWindow::CreatePageMenu(QMenu* menu) {
    PreviousPage1 = menu->addAction(QStringLiteral("&Previous Page"), this,
                                    [this] { GoToPage(VistrelImage1->Page() - 1); });
    PreviousPage1->setShortcut(Qt::Key_PageUp);
    NextPage1 = menu->addAction(QStringLiteral("&Next Page"), this,
                                [this] { GoToPage(VistrelImage1->Page() + 1); });
    NextPage1->setShortcut(Qt::Key_PageDown);
}

// The viewer's context menu gives "1:1" to the zoom mode that keeps the
// current zoom; the main menu's "1:1" sets the zoom factor.
void TMainWindow::CreatePopupMenu() {
    PopupMenu1 = new QMenu(this);
    PopupMenu1->addAction(QStringLiteral("FitToWidth"), this,
                          [this] { VistrelImage1->SetZoomMode(zmFitToWidth); });
    PopupMenu1->addAction(QStringLiteral("FitToHeight"), this,
                          [this] { VistrelImage1->SetZoomMode(zmFitToHeight); });
    PopupMenu1->addAction(QStringLiteral("1:1"), this,
                          [this] { VistrelImage1->SetZoomMode(zmFitToOriginal); });
    PopupMenu1->addAction(QStringLiteral("100%"), this, [this] { VistrelImage1->SetZoom(100.0); });
    connect(VistrelImage1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu1->popup(VistrelImage1->mapToGlobal(at)); });
}

QAction* TMainWindow::ZoneItem(zones::ZoneKind kind) const {
    for (std::size_t i = 0; i < kZoneItems.size(); ++i)
        if (kZoneItems[i].kind == kind) return ZoneItems[i];
    return nullptr;
}

zones::ShownZoneKinds TMainWindow::ShownKinds() const {
    zones::ShownZoneKinds shown;
    for (std::size_t i = 0; i < kZoneItems.size(); ++i)
        shown.set(kZoneItems[i].kind, ZoneItems[i]->isChecked());
    return shown;
}
