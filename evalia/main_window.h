// TMainWindow: Evalia's main window.
//
// Opens a TIFF page into the viewer, runs the analysis library on it (bound
// at run time, one context for the window's life), reports the zone count
// and skew angle, lists the zones, draws them over the page in their
// colours, and saves the zone table as XML or the outlined page as a TIFF
// file. Dialogs and message boxes go through TUserPrompts, so the window
// never blocks when driven by tests or unattended runs.
#pragma once

#include "evalia/analysis_session.h"
#include "evalia/selected_zones.h"
#include "evalia/user_prompts.h"
#include "viewer/page_view.h"
#include "zones/zone_kinds.h"

#include <QMainWindow>

#include <array>
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
    QLabel* StatusPanel = nullptr; // the status bar's one panel: the open file
    QMenu* PopupMenu1 = nullptr;

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
    QAction* About1 = nullptr;

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
    void OpenFile(const QString& fileName);
    void Process1Click();
    void SaveOutlinedImageClick();
    void SaveLayoutasXML1Click();
    void About1Click();
    void Exit1Click();
    void ListBoxZonesClick();
    void ZoneKindClick(zones::ZoneKind kind);
    void VistrelImage1Paint(QPainter& painter);
    void VistrelImage1ImageMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x,
                                     int y);

  private:
    void CreateComponents();
    void CreateMainMenu();
    void CreateZonesMenu(QMenu* menu);
    void CreateZoomMenu(QMenu* menu);
    void CreatePopupMenu();
    // Runs a command; an error it raises is shown in the error box and the
    // window goes on.
    void RunCommand(const std::function<void()>& command);
    void LoadPage(const QString& fileName);
    void UpdateProcessEnabled();
    void FillZoneList(std::int32_t zoneCount);
    int ListSelection() const;

    std::unique_ptr<evalia::TAnalysisSession> session_;
    evalia::TUserPrompts* prompts_;
    evalia::TSelectedZones selectedZones_;
    // Open keeps the library's zone table (only Process replaces it) but it
    // belongs to the previous page: it is hidden until the next Process.
    bool zonesBelongToPage_ = false;
};
