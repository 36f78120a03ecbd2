#include "evalia/main_window.h"

#include "evalia/busy_cursor.h"
#include "evalia/process_report.h"
#include "evalia/zone_overlay.h"
#include "zones/layout_xml.h"
#include "zones/maker_notice.h"
#include "zones/outlined_image.h"
#include "zones/page_refusal.h"
#include "zones/page_straightening.h"

#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>

#include <exception>

namespace {

constexpr int kListBoxWidth = 73;
constexpr int kClientWidth = 688;
constexpr int kClientHeight = 426;
constexpr int kStatusPanelWidth = 50;
// Zone outlines on the saved image are drawn on a page halved in both directions.
constexpr int kOutlinedImageDivisor = 2;
constexpr const char* kOutOfMemoryWarning =
    "The analysis ran out of memory: some zones of this page may be missing.";

struct ZoneMenuEntry {
    zones::ZoneKind kind;
    const char* caption;
};

// The "&Zones" menu, in menu order.
constexpr std::array<ZoneMenuEntry, zones::kZoneKindCount> kZoneItems{{
    {zones::ZoneKind::Picture, "Image (red)"},
    {zones::ZoneKind::Text, "Text (blue)"},
    {zones::ZoneKind::Line, "Line (yellow)"},
    {zones::ZoneKind::Noise, "Noise (gray)"},
    {zones::ZoneKind::Table, "Table (purple)"},
    {zones::ZoneKind::TableColumn, "Column Table (teal)"},
    {zones::ZoneKind::TableCell, "Cell Table (maroon)"},
    {zones::ZoneKind::InvertedText, "Inverse Text (green)"},
}};

QString FromView(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
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
    CreateComponents();
    CreateMainMenu();
    CreatePopupMenu();
    move(260, 131);
    resize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
    UpdateProcessEnabled();
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
    ListBoxZones->setStyleSheet(QStringLiteral("QListWidget::item { height: 13px; }"));
    connect(ListBoxZones, &QListWidget::itemSelectionChanged, this,
            &TMainWindow::ListBoxZonesClick);

    VistrelImage1 = new TVistrelImage(Splitter1);
    VistrelImage1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(VistrelImage1, &TVistrelImage::painted, this, &TMainWindow::VistrelImage1Paint);
    connect(VistrelImage1, &TVistrelImage::imageMouseDown, this,
            &TMainWindow::VistrelImage1ImageMouseDown);

    Splitter1->addWidget(ListBoxZones);
    Splitter1->addWidget(VistrelImage1);
    Splitter1->setStretchFactor(0, 0);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setSizes({kListBoxWidth, kClientWidth - kListBoxWidth});
    setCentralWidget(Splitter1);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setFixedHeight(19);
    StatusBar1->setSizeGripEnabled(false);
    StatusPanel = new QLabel(StatusBar1);
    StatusPanel->setMinimumWidth(kStatusPanelWidth);
    StatusBar1->addWidget(StatusPanel, 1);
    setStatusBar(StatusBar1);
}

void TMainWindow::CreateMainMenu() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    Open1 = file->addAction(QStringLiteral("&Open..."), this, &TMainWindow::Open1Click);
    file->addSeparator();
    Process1 = file->addAction(QStringLiteral("&Process !"), this, &TMainWindow::Process1Click);
    Process1->setEnabled(false);
    file->addSeparator();
    SaveOutlinedImage1 = file->addAction(QStringLiteral("&Save Outlined Image..."), this,
                                         &TMainWindow::SaveOutlinedImageClick);
    SaveLayoutasXML1 = file->addAction(QStringLiteral("Save Layout as XML..."), this,
                                       &TMainWindow::SaveLayoutasXML1Click);
    file->addSeparator();
    Exit1 = file->addAction(QStringLiteral("&Exit"), this, &TMainWindow::Exit1Click);

    CreateZonesMenu(menuBar()->addMenu(QStringLiteral("&Zones")));
    CreateZoomMenu(menuBar()->addMenu(QStringLiteral("Zoom")));

    QMenu* help = menuBar()->addMenu(QStringLiteral("&?"));
    About1 = help->addAction(QStringLiteral("&About..."), this, &TMainWindow::About1Click);
}

void TMainWindow::CreateZonesMenu(QMenu* menu) {
    for (std::size_t i = 0; i < kZoneItems.size(); ++i) {
        const zones::ZoneKind kind = kZoneItems[i].kind;
        QAction* item = menu->addAction(QString::fromLatin1(kZoneItems[i].caption));
        item->setCheckable(true);
        item->setChecked(true);
        connect(item, &QAction::triggered, this, [this, kind] { ZoneKindClick(kind); });
        ZoneItems[i] = item;
    }
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

zones::ZoneSource TMainWindow::CurrentZones() const {
    return zonesBelongToPage_ ? session_->Zones() : zones::ZoneSource{};
}

void TMainWindow::RunCommand(const std::function<void()>& command) {
    try {
        command();
    } catch (const std::exception& error) {
        prompts_->ShowError(this, QString::fromLocal8Bit(error.what()));
    } catch (...) {
        prompts_->ShowError(this, QStringLiteral("Unexpected error"));
    }
}

// ---- File menu ----------------------------------------------------------

void TMainWindow::Open1Click() {
    const QString fileName = prompts_->ChooseFileToOpen(
        this, {QStringLiteral("Open"), QStringLiteral("TIFF Files (*.tif)"), QString()});
    if (fileName.isEmpty()) return;
    OpenFile(fileName);
}

void TMainWindow::OpenFile(const QString& fileName) {
    selectedZones_.Clear();
    ListBoxZones->clear();
    zonesBelongToPage_ = false;
    StatusPanel->setText(QFileInfo(fileName).absoluteFilePath());
    RunCommand([&] { LoadPage(fileName); });
    UpdateProcessEnabled();
}

void TMainWindow::LoadPage(const QString& fileName) {
    VistrelImage1->LoadFile(fileName, zmFitToWidth, 0);
    if (const auto refusal = zones::AnalysisRefusal(VistrelImage1->Image().DIB()))
        prompts_->ShowWarning(this,
                              QString::fromLatin1(refusal->data(), qsizetype(refusal->size())));
}

// Processing needs the library and a 1-bit page.
void TMainWindow::UpdateProcessEnabled() {
    const TMemoryImage& image = VistrelImage1->Image();
    Process1->setEnabled(session_->CanProcess() && image.IsValid() &&
                         !zones::AnalysisRefusal(image.DIB()));
}

void TMainWindow::Process1Click() {
    if (!Process1->isEnabled()) return;
    RunCommand([this] {
        const evalia::BusyCursor busy;
        selectedZones_.Clear();
        const std::int32_t status = session_->Execute(VistrelImage1->ImageHandle());
        zonesBelongToPage_ = true;
        if (status == LA_STATUS_OUT_OF_MEMORY)
            prompts_->ShowWarning(this, QString::fromLatin1(kOutOfMemoryWarning));
        const std::int32_t skew = session_->SkewAngle();
        zones::StraightenPage(VistrelImage1->Image().DIB(), skew);
        const std::int32_t zoneCount = CurrentZones().zoneCount();
        prompts_->ShowInformation(this, evalia::ProcessReportText(zoneCount, skew));
        FillZoneList(zoneCount);
        VistrelImage1->RefreshView(true);
    });
}

void TMainWindow::FillZoneList(std::int32_t zoneCount) {
    const QSignalBlocker quiet(ListBoxZones);
    ListBoxZones->clear();
    for (int i = 0; i < zoneCount; ++i) ListBoxZones->addItem(evalia::ZoneListEntry(i));
}

void TMainWindow::SaveOutlinedImageClick() {
    const QString fileName = prompts_->ChooseFileToSave(
        this, {QStringLiteral("Save Outlined Image"), QStringLiteral("TIFF Files (*.tif)"),
               QStringLiteral("tif")});
    if (fileName.isEmpty()) return;
    bool saved = false;
    RunCommand([&] {
        zones::WriteOutlinedImage(VistrelImage1->Image().DIB(),
                                  QFile::encodeName(fileName).toStdString(), kOutlinedImageDivisor,
                                  CurrentZones(), ShownKinds());
        saved = true;
    });
    if (saved) prompts_->OpenWithDesktop(fileName);
}

void TMainWindow::SaveLayoutasXML1Click() {
    const QString fileName = prompts_->ChooseFileToSave(this, {QStringLiteral("Save Layout as XML"),
                                                               QStringLiteral("XML Files (*.xml)"),
                                                               QStringLiteral("xml")});
    if (fileName.isEmpty()) return;
    RunCommand(
        [&] { zones::WriteLayoutXml(QFile::encodeName(fileName).toStdString(), CurrentZones()); });
}

void TMainWindow::Exit1Click() {
    close();
}

void TMainWindow::About1Click() {
    prompts_->ShowInformation(this, QString::fromLatin1(kCaption) + QStringLiteral("\r\n") +
                                        FromView(zones::kLegalNotice) + QStringLiteral("\r\n") +
                                        FromView(zones::kContactLine));
}

// ---- Zone display -------------------------------------------------------

int TMainWindow::ListSelection() const {
    const QList<QListWidgetItem*> chosen = ListBoxZones->selectedItems();
    return chosen.isEmpty() ? -1 : ListBoxZones->row(chosen.constFirst());
}

void TMainWindow::ListBoxZonesClick() {
    VistrelImage1->RefreshView(true);
}

void TMainWindow::ZoneKindClick(zones::ZoneKind) {
    VistrelImage1->RefreshView(true);
}

void TMainWindow::VistrelImage1Paint(QPainter& painter) {
    const std::vector<zones::ZoneRecord> zones = zones::readZones(CurrentZones());
    evalia::ZoneOverlayState state;
    state.zoom = VistrelImage1->Zoom();
    state.shownKinds = ShownKinds();
    state.selected = &selectedZones_;
    state.listSelection = ListSelection();
    evalia::DrawZoneOverlay(painter, zones, state);
}

void TMainWindow::VistrelImage1ImageMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers, int x,
                                              int y) {
    if (button != Qt::LeftButton) return;
    const std::vector<zones::ZoneRecord> zones = zones::readZones(CurrentZones());
    for (const int zone : evalia::ZonesAtSurfacePoint(zones, QPoint(x, y), VistrelImage1->Zoom())) {
        const std::int32_t content = zones[std::size_t(zone)].content;
        prompts_->ShowPlain(this, QStringLiteral("Zone ") + QString::number(zone) +
                                      QStringLiteral(":") +
                                      FromView(zones::ZoneContentName(content)));
        selectedZones_.Toggle(zone);
        VistrelImage1->RefreshView(true);
    }
}
