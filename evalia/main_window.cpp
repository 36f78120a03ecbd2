// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "evalia/main_window.h"
#include "evalia/layout_export.h"
#include "zones/output_file.h"
#include "quadrel/version.h"

#include "evalia/busy_cursor.h"
#include "evalia/pointer_readout.h"
#include "evalia/process_report.h"
#include "evalia/zone_colours.h"
#include "zones/analysis_status.h"
#include "zones/failure_reason.h"
#include "zones/layout_xml.h"
#include "zones/maker_notice.h"
#include "zones/outlined_image.h"
#include "zones/page_refusal.h"
#include "zones/page_straightening.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QMimeData>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>

#include <algorithm>
#include <exception>
#include <stdexcept>

namespace {

constexpr int kListBoxWidth = 73;
constexpr int kClientWidth = 688;
constexpr int kClientHeight = 426;
constexpr int kStatusPanelWidth = 50;
constexpr int kSwatchSize = 9; // the zone colour beside each list entry
// Zone outlines on the saved image are drawn on a page halved in both directions.
constexpr int kOutlinedImageDivisor = 2;

QString FromView(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The first local file among dropped URLs; empty when there is none.
QString DroppedFile(const QMimeData* data) {
    if (data == nullptr) return {};
    for (const QUrl& url : data->urls())
        if (url.isLocalFile()) return url.toLocalFile();
    return {};
}

} // namespace

TMainWindow::TMainWindow(std::unique_ptr<evalia::TQuadrelLibrary> library,
                         evalia::TUserPrompts& prompts, QWidget* parent)
    : QMainWindow(parent), session_(std::make_unique<evalia::TAnalysisSession>(std::move(library))),
      prompts_(&prompts) {
    setWindowTitle(QString::fromLatin1(kCaption));
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    setFont(font);
    setAcceptDrops(true);
    CreateComponents();
    CreateMainMenu();
    CreatePopupMenu();
    move(260, 131);
    resize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
    UpdateActions();
    UpdateStatusPanels();
    if (!session_->CanProcess())
        prompts_->ShowWarning(this, QString::fromStdString(session_->UnavailableReason()));
}

// The widgets that call back into the window go first, while it is whole;
// then the session releases the context and unloads the library.
TMainWindow::~TMainWindow() {
    QObject::disconnect(ListBoxZones, nullptr, this, nullptr);
    QObject::disconnect(VistrelImage1, nullptr, this, nullptr);
    delete Splitter1;
    Splitter1 = nullptr;
    VistrelImage1 = nullptr;
    ListBoxZones = nullptr;
}

void TMainWindow::CreateComponents() {
    Splitter1 = new QSplitter(Qt::Horizontal, this);
    Splitter1->setChildrenCollapsible(false);

    ListBoxZones = new QListWidget(Splitter1);
    ListBoxZones->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListBoxZones->setStyleSheet(QStringLiteral("QListWidget::item { height: 13px; }"));
    ListBoxZones->setIconSize(QSize(kSwatchSize, kSwatchSize));
    connect(ListBoxZones, &QListWidget::itemSelectionChanged, this,
            &TMainWindow::ListBoxZonesClick);

    VistrelImage1 = new TVistrelImage(Splitter1);
    VistrelImage1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(VistrelImage1, &TVistrelImage::painted, this, &TMainWindow::VistrelImage1Paint);
    connect(VistrelImage1, &TVistrelImage::imageMouseDown, this,
            &TMainWindow::VistrelImage1ImageMouseDown);
    connect(VistrelImage1, &TVistrelImage::imageMouseMove, this,
            &TMainWindow::VistrelImage1ImageMouseMove);
    connect(VistrelImage1, &TVistrelImage::scaled, this, &TMainWindow::UpdateStatusPanels);

    Splitter1->addWidget(ListBoxZones);
    Splitter1->addWidget(VistrelImage1);
    Splitter1->setStretchFactor(0, 0);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setSizes({kListBoxWidth, kClientWidth - kListBoxWidth});
    setCentralWidget(Splitter1);
    CreateStatusBar();
}

// The open file on the left as before; what the window adds sits on the right.
void TMainWindow::CreateStatusBar() {
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setFixedHeight(19);
    StatusBar1->setSizeGripEnabled(false);
    StatusPanel = new QLabel(StatusBar1);
    StatusPanel->setMinimumWidth(kStatusPanelWidth);
    StatusBar1->addWidget(StatusPanel, 1);
    PointerPanel = new QLabel(StatusBar1);
    PagePanel = new QLabel(StatusBar1);
    ZoomPanel = new QLabel(StatusBar1);
    StatusBar1->addPermanentWidget(PointerPanel);
    StatusBar1->addPermanentWidget(PagePanel);
    StatusBar1->addPermanentWidget(ZoomPanel);
    setStatusBar(StatusBar1);
}

zones::ZoneSource TMainWindow::CurrentZones() const {
    return zonesBelongToPage_ ? session_->Zones() : zones::ZoneSource{};
}

evalia::SurfaceScale TMainWindow::Scale() const {
    return {VistrelImage1->Zoom(), VistrelImage1->VerticalZoom()};
}

bool TMainWindow::RunCommand(const std::function<void()>& command) {
    try {
        command();
        return true;
    } catch (const std::exception& error) {
        prompts_->ShowError(this, QString::fromLocal8Bit(zones::FailureReason(error).c_str()));
    } catch (...) {
        prompts_->ShowError(this, QStringLiteral("Unexpected error"));
    }
    return false;
}

// ---- File menu ----------------------------------------------------------

void TMainWindow::Open1Click() {
    const QString fileName = prompts_->ChooseFileToOpen(
        this, {QStringLiteral("Open"), QStringLiteral("TIFF Files (*.tif)"), QString(),
               recentFiles_.LastFolder()});
    if (fileName.isEmpty()) return;
    recentFiles_.RememberFolderOf(fileName);
    OpenFile(fileName);
}

bool TMainWindow::OpenFile(const QString& fileName) {
    ForgetZones();
    const QString path = QFileInfo(fileName).absoluteFilePath();
    StatusPanel->setText(path);
    const bool loaded = RunCommand([&] { VistrelImage1->LoadFile(fileName, zmFitToWidth, 0); });
    if (loaded)
        recentFiles_.Add(path);
    else
        StatusPanel->clear(); // the failed file is not the one shown
    PageChanged();
    return loaded;
}

void TMainWindow::GoToPage(int page) {
    if (!VistrelImage1->Image().IsValid() || page < 0 || page >= VistrelImage1->PageCount() ||
        page == VistrelImage1->Page())
        return;
    ForgetZones();
    RunCommand([&] { VistrelImage1->SetPage(page); });
    PageChanged();
}

void TMainWindow::ForgetZones() {
    selectedZones_.Clear();
    ListBoxZones->clear();
    zonesBelongToPage_ = false;
}

void TMainWindow::PageChanged() {
    if (const auto refusal = zones::AnalysisRefusal(VistrelImage1->Image().DIB());
        refusal && VistrelImage1->Image().IsValid())
        prompts_->ShowWarning(this, FromView(*refusal));
    UpdateActions();
    UpdateStatusPanels();
    PointerPanel->clear();
}

// Commands that need a page are enabled only with one; processing needs the
// library and a 1-bit page as well.
void TMainWindow::UpdateActions() {
    const TMemoryImage& image = VistrelImage1->Image();
    const bool page = image.IsValid();
    Process1->setEnabled(session_->CanProcess() && page && !zones::AnalysisRefusal(image.DIB()));
    SaveOutlinedImage1->setEnabled(page);
    SaveLayoutAsMenu->setEnabled(page && zonesBelongToPage_);
    ZoomIn1->setEnabled(page);
    ZoomOut1->setEnabled(page);
    PreviousPage1->setEnabled(page && VistrelImage1->Page() > 0);
    NextPage1->setEnabled(page && VistrelImage1->Page() + 1 < VistrelImage1->PageCount());
}

void TMainWindow::UpdateStatusPanels() {
    const bool page = VistrelImage1->Image().IsValid();
    PagePanel->setText(page ? QStringLiteral("page %1 of %2")
                                  .arg(VistrelImage1->Page() + 1)
                                  .arg(VistrelImage1->PageCount())
                            : QString());
    ZoomPanel->setText(page ? QStringLiteral("Zoom %1%").arg(qRound(VistrelImage1->Zoom()))
                            : QString());
}

void TMainWindow::Process1Click() {
    if (!Process1->isEnabled()) return;
    RunCommand([this] {
        const evalia::BusyCursor busy;
        ForgetZones();
        const std::int32_t status = session_->Execute(VistrelImage1->ImageHandle());
        if (status != LA_STATUS_OK) {
            VistrelImage1->RefreshView(true);
            throw std::runtime_error("The analysis of " + StatusPanel->text().toStdString() +
                                     " failed: " + zones::AnalysisStatusReason(status) + ".");
        }
        zonesBelongToPage_ = true;
        const std::int32_t skew = session_->SkewAngle();
        zones::StraightenPage(VistrelImage1->Image().DIB(), skew);
        const std::int32_t zoneCount = CurrentZones().zoneCount();
        prompts_->ShowInformation(this, evalia::ProcessReportText(zoneCount, skew));
        FillZoneList();
        UpdateActions();
        VistrelImage1->RefreshView(true);
    });
}

void TMainWindow::FillZoneList() {
    const QSignalBlocker quiet(ListBoxZones);
    ListBoxZones->clear();
    const std::vector<zones::ZoneRecord> zones = zones::readZones(CurrentZones());
    for (std::size_t i = 0; i < zones.size(); ++i)
        ListBoxZones->addItem(new QListWidgetItem(evalia::ZoneColourIcon(zones[i].content),
                                                  evalia::ZoneListEntry(int(i), zones[i])));
    WidenListToEntries();
}

// The list starts narrow; once it holds entries with their kind and box it
// is widened to show them whole, up to a third of the window.
void TMainWindow::WidenListToEntries() {
    const int wanted = ListBoxZones->sizeHintForColumn(0) + 2 * ListBoxZones->frameWidth() +
                       ListBoxZones->verticalScrollBar()->sizeHint().width();
    const int width = std::min(wanted, Splitter1->width() / 3);
    if (width <= ListBoxZones->width()) return;
    // A page that fitted the width before still does afterwards.
    const bool fitted = VistrelImage1->horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOff;
    Splitter1->setSizes({width, Splitter1->width() - width - Splitter1->handleWidth()});
    if (fitted && VistrelImage1->horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOn)
        VistrelImage1->SetZoom(VistrelImage1->FitValue(zmFitToWidth));
}

bool TMainWindow::SaveWith(const evalia::FileDialogRequest& request,
                           const std::function<void(const std::filesystem::path&)>& write) {
    evalia::FileDialogRequest inFolder = request;
    inFolder.folder = recentFiles_.LastFolder();
    const QString fileName = prompts_->ChooseFileToSave(this, inFolder);
    if (fileName.isEmpty()) return false;
    recentFiles_.RememberFolderOf(fileName);
    return RunCommand([&] { write(QFile::encodeName(fileName).toStdString()); });
}

void TMainWindow::SaveOutlinedImageClick() {
    if (!SaveOutlinedImage1->isEnabled()) return;
    QString saved;
    SaveWith({QStringLiteral("Save Outlined Image"), QStringLiteral("TIFF Files (*.tif)"),
              QStringLiteral("tif"), QString()},
             [&](const std::filesystem::path& file) {
                 zones::WriteOutlinedImage(VistrelImage1->Image().DIB(), file,
                                           kOutlinedImageDivisor, CurrentZones(), ShownKinds());
                 saved = QFile::decodeName(file.c_str());
             });
    if (!saved.isEmpty()) prompts_->OpenWithDesktop(saved);
}

void TMainWindow::SaveLayoutasXML1Click() {
    SaveWith(
        {QStringLiteral("Save Layout as XML"), QStringLiteral("XML Files (*.xml)"),
         QStringLiteral("xml"), QString()},
        [this](const std::filesystem::path& file) { zones::WriteLayoutXml(file, CurrentZones()); });
}

void TMainWindow::SaveLayoutAsFormat(int index) {
    int count = 0;
    const evalia::LayoutFormat& format = evalia::LayoutFormats(count)[index];
    const imaging::TDIB& page = VistrelImage1->Image().DIB();
    const zones::LayoutDocument document = evalia::LayoutDocumentOf(
        VistrelImage1->Image().FileName(), VistrelImage1->Page(), page.Width(), page.Height(),
        page.XDpi(), page.YDpi(), CurrentZones());
    SaveWith({QStringLiteral("Save Layout As ") + QString::fromLatin1(format.caption).chopped(3),
              QString::fromLatin1(format.filter), QString::fromLatin1(format.suffix), QString()},
             [&](const std::filesystem::path& file) {
                 zones::WriteOutput(file, format.write(document));
             });
}

void TMainWindow::Exit1Click() {
    close();
}

void TMainWindow::About1Click() {
    prompts_->ShowInformation(this, QString::fromLatin1(kCaption) + QStringLiteral("\r\n") +
                                        FromView(zones::kLegalNotice) + QStringLiteral("\r\n") +
                                        FromView(zones::kContactLine) + QStringLiteral("\r\n") +
                                        QStringLiteral("Version " QUADREL_VERSION));
}

void TMainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!DroppedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void TMainWindow::dropEvent(QDropEvent* event) {
    const QString file = DroppedFile(event->mimeData());
    if (file.isEmpty()) return;
    event->acceptProposedAction();
    OpenFile(file);
}

// ---- Zone display -------------------------------------------------------

int TMainWindow::ListSelection() const {
    const int row = ListBoxZones->currentRow();
    return row >= 0 && ListBoxZones->item(row)->isSelected() ? row : -1;
}

// The list shows the zones picked on the page; picking in the list picks on
// the page, and the page scrolls to the zone last chosen.
void TMainWindow::ListBoxZonesClick() {
    selectedZones_.Clear();
    for (int row = 0; row < ListBoxZones->count(); ++row)
        if (ListBoxZones->item(row)->isSelected()) selectedZones_.Toggle(row);
    const int chosen = ListSelection();
    const std::vector<zones::ZoneRecord> zones = zones::readZones(CurrentZones());
    if (chosen >= 0 && std::size_t(chosen) < zones.size())
        VistrelImage1->ScrollToShow(evalia::ZoneSurfaceRect(zones[std::size_t(chosen)], Scale()));
    VistrelImage1->RefreshView(true);
}

void TMainWindow::SyncListWithSelection() {
    const QSignalBlocker quiet(ListBoxZones);
    for (int row = 0; row < ListBoxZones->count(); ++row)
        ListBoxZones->item(row)->setSelected(selectedZones_.Contains(row));
}

void TMainWindow::ZoneKindClick(zones::ZoneKind) {
    VistrelImage1->RefreshView(true);
}

void TMainWindow::VistrelImage1Paint(QPainter& painter) {
    const std::vector<zones::ZoneRecord> zones = zones::readZones(CurrentZones());
    evalia::ZoneOverlayState state;
    state.scale = Scale();
    state.shownKinds = ShownKinds();
    state.selected = &selectedZones_;
    state.listSelection = ListSelection();
    state.showNumbers = ShowNumbers1->isChecked();
    evalia::DrawZoneOverlay(painter, zones, state);
}

void TMainWindow::VistrelImage1ImageMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers, int x,
                                              int y) {
    if (button != Qt::LeftButton) return;
    const std::vector<zones::ZoneRecord> zones = zones::readZones(CurrentZones());
    for (const int zone : evalia::ZonesAtSurfacePoint(zones, QPoint(x, y), Scale())) {
        const std::int32_t content = zones[std::size_t(zone)].content;
        prompts_->ShowPlain(this, QStringLiteral("Zone ") + QString::number(zone) +
                                      QStringLiteral(":") +
                                      FromView(zones::ZoneContentName(content)));
        selectedZones_.Toggle(zone);
        SyncListWithSelection();
        if (selectedZones_.Contains(zone)) ListBoxZones->scrollToItem(ListBoxZones->item(zone));
        VistrelImage1->RefreshView(true);
    }
}

void TMainWindow::VistrelImage1ImageMouseMove(Qt::MouseButtons, Qt::KeyboardModifiers, int x,
                                              int y) {
    if (!VistrelImage1->Image().IsValid()) return;
    const std::vector<zones::ZoneRecord> zones = zones::readZones(CurrentZones());
    const QPoint page = evalia::SurfaceToPage(QPoint(x, y), Scale());
    PointerPanel->setText(
        evalia::PointerReadout(page, zones, evalia::ZonesAtPagePoint(zones, page)));
}

void TMainWindow::ShowPointerAt(QPoint pagePoint) {
    const QPoint surface(evalia::PageToSurface(pagePoint.x(), VistrelImage1->Zoom()),
                         evalia::PageToSurface(pagePoint.y(), VistrelImage1->VerticalZoom()));
    VistrelImage1->ScrollToShow(QRect(surface, QSize(1, 1)));
    VistrelImage1ImageMouseMove(Qt::NoButton, Qt::NoModifier, surface.x(), surface.y());
}
