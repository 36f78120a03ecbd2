// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// TMainWindow: Evalia's main window.
//
// Opens a TIFF page into the viewer, runs the analysis library on it (bound
// at run time, one context for the window's life), reports the zone count
// and skew angle, lists the zones, draws them over the page in their
// colours, and saves the zone table as XML or the outlined page as a TIFF
// file. Dialogs and message boxes go through TUserPrompts, so the window
// never blocks when driven by tests or unattended runs.
//
// Around that: zoom steps, a status bar that follows the pointer, a zone list
// in step with the page, recent files, dropped files, and page navigation
// in multi-page files. The menus are built in window_menus.cpp.
#pragma once

#include "evalia/analysis_session.h"
#include "evalia/recent_files.h"
#include "evalia/selected_zones.h"
#include "evalia/user_prompts.h"
#include "evalia/zone_overlay.h"
#include "viewer/page_view.h"
#include "zones/zone_kinds.h"

#include <QMainWindow>

#include <array>
#include <filesystem>
#include <functional>
#include <memory>

class QAction;
class QLabel;
class QListWidget;
class QMenu;
class QSplitter;
class QStatusBar;

class TMainWindow : public QMainWindow {
    Q_OBJECT
  public:
    static constexpr const char* kCaption = "Folivane Layout Analysis - Evaluation Utility";

    // `prompts` must outlive the window. When the library is not bound, a
    // message says what is missing and processing stays disabled.
    TMainWindow(std::unique_ptr<evalia::TQuadrelLibrary> library, evalia::TUserPrompts& prompts,
                QWidget* parent = nullptr);
    ~TMainWindow() override;

    void SetPrompts(evalia::TUserPrompts& prompts) { prompts_ = &prompts; }

    // Components, named as the window's parts.
    QListWidget* ListBoxZones = nullptr;
    QSplitter* Splitter1 = nullptr;
    TVistrelImage* VistrelImage1 = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QLabel* StatusPanel = nullptr;  // the open file
    QLabel* PointerPanel = nullptr; // page coordinates and zones under the pointer
    QLabel* PagePanel = nullptr;    // "page 2 of 3"
    QLabel* ZoomPanel = nullptr;    // "Zoom 150%"
    QMenu* PopupMenu1 = nullptr;
    QMenu* FileMenu = nullptr;
    QMenu* RecentMenu = nullptr;
    QMenu* SaveLayoutAsMenu = nullptr; // the standard formats

    // Menu items.
    QAction* Open1 = nullptr;
    QAction* Process1 = nullptr;
    QAction* SaveOutlinedImage1 = nullptr;
    QAction* SaveLayoutasXML1 = nullptr;
    QAction* Exit1 = nullptr;
    // "&Zones" items in menu order: Image1, Text1, Line1, Noise1, Table1,
    // Column1, Cell1, InverseText1.
    std::array<QAction*, zones::kZoneKindCount> ZoneItems{};
    QAction* FitToWidth1 = nullptr;
    QAction* FitToHeight1 = nullptr;
    QAction* OriginalSize1 = nullptr;
    QAction* OneToOne1 = nullptr;
    QAction* ZoomIn1 = nullptr;
    QAction* ZoomOut1 = nullptr;
    QAction* ShowNumbers1 = nullptr;
    QAction* PreviousPage1 = nullptr;
    QAction* NextPage1 = nullptr;
    QAction* About1 = nullptr;

    // Adds a command to the File menu below the save commands, above Exit.
    QAction* AddFileCommand(const QString& caption, const std::function<void()>& command);
    // Asks for a file to save (starting in the last-used folder) and hands it
    // to `write`; an error that `write` raises is shown in the error box.
    // True when the file was written.
    bool SaveWith(const evalia::FileDialogRequest& request,
                  const std::function<void(const std::filesystem::path&)>& write);

    // The item of the "&Zones" menu for a kind.
    QAction* ZoneItem(zones::ZoneKind kind) const;

    const evalia::TSelectedZones& SelectedZones() const { return selectedZones_; }
    const evalia::TAnalysisSession& Session() const { return *session_; }
    // The zones shown over the current page: none after Open until Process.
    zones::ZoneSource CurrentZones() const;
    zones::ShownZoneKinds ShownKinds() const;

  public slots:
    void Open1Click();
    // Open without the dialog: the file is already chosen.
    // True when the page was loaded.
    bool OpenFile(const QString& fileName);
    void GoToPage(int page);
    // Scrolls page point `pagePoint` into view and shows its status bar
    // readout, as a move of the pointer there would.
    void ShowPointerAt(QPoint pagePoint);
    void Process1Click();
    void SaveOutlinedImageClick();
    void SaveLayoutasXML1Click();
    // Saves the zones of the analysed page in the standard format `index`
    // of evalia::LayoutFormats.
    void SaveLayoutAsFormat(int index);
    void About1Click();
    void Exit1Click();
    void ListBoxZonesClick();
    void ZoneKindClick(zones::ZoneKind kind);
    void VistrelImage1Paint(QPainter& painter);
    void VistrelImage1ImageMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x,
                                     int y);
    void VistrelImage1ImageMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers,
                                     int x, int y);

  protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void CreateComponents();
    void CreateStatusBar();
    void CreateMainMenu();
    void CreateFileMenu(QMenu* menu);
    void CreateZonesMenu(QMenu* menu);
    void CreateZoomMenu(QMenu* menu);
    void CreatePageMenu(QMenu* menu);
    void CreatePopupMenu();
    void FillRecentMenu();
    // Runs a command; an error it raises is shown in the error box and the
    // window goes on. True when it ran to its end.
    bool RunCommand(const std::function<void()>& command);
    // What follows every page change: the refusal warning, the zones set
    // aside, the actions and the status bar.
    void PageChanged();
    void UpdateActions();
    void UpdateStatusPanels();
    void ForgetZones();
    // The page's surface scale of each direction (see zone_overlay.h).
    evalia::SurfaceScale Scale() const;
    // Mirrors the picked zones in the zone list, without echoing back.
    void SyncListWithSelection();
    void FillZoneList();
    void WidenListToEntries();
    int ListSelection() const;

    std::unique_ptr<evalia::TAnalysisSession> session_;
    evalia::TUserPrompts* prompts_;
    evalia::TSelectedZones selectedZones_;
    evalia::TRecentFiles recentFiles_;
    QAction* exitSeparator_ = nullptr;
    // Open keeps the library's zone table (only Process replaces it) but it
    // belongs to the previous page: it is hidden until the next Process.
    bool zonesBelongToPage_ = false;
};
