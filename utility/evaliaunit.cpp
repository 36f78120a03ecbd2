#include "utility/evaliaunit.h"

#include "utility/busy_cursor.h"
#include "utility/layout_xml.h"
#include "utility/maker_notice.h"
#include "utility/outlined_image.h"
#include "utility/process_report.h"
#include "utility/zone_overlay.h"

#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>

#include <exception>

using evalia::ZoneKind;

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
    ZoneKind kind;
    const char* caption;
};

// The "&Zones" menu, in menu order.
constexpr std::array<ZoneMenuEntry, evalia::kZoneKindCount> kZoneItems{{
    {ZoneKind::Picture, "Image (red)"},
    {ZoneKind::Text, "Text (blue)"},
    {ZoneKind::Line, "Line (yellow)"},
    {ZoneKind::Noise, "Noise (gray)"},
    {ZoneKind::Table, "Table (purple)"},
    {ZoneKind::TableColumn, "Column Table (teal)"},
    {ZoneKind::TableCell, "Cell Table (maroon)"},
    {ZoneKind::InvertedText, "Inverse Text (green)"},
}};

QString FromView(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

TForm1::TForm1(std::unique_ptr<evalia::TQuadrelLibrary> library, evalia::TUserPrompts& prompts,
               QWidget* parent)
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
TForm1::~TForm1() {
    QObject::disconnect(ListBoxZones, nullptr, this, nullptr);
    QObject::disconnect(VistrelImage1, nullptr, this, nullptr);
    delete Splitter1;
    Splitter1 = nullptr;
    VistrelImage1 = nullptr;
    ListBoxZones = nullptr;
}

void TForm1::CreateComponents() {
    Splitter1 = new QSplitter(Qt::Horizontal, this);
    Splitter1->setChildrenCollapsible(false);

    ListBoxZones = new QListWidget(Splitter1);
    ListBoxZones->setStyleSheet(QStringLiteral("QListWidget::item { height: 13px; }"));
    connect(ListBoxZones, &QListWidget::itemSelectionChanged, this, &TForm1::ListBoxZonesClick);

    VistrelImage1 = new TVistrelImage(Splitter1);
    VistrelImage1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(VistrelImage1, &TVistrelImage::painted, this, &TForm1::VistrelImage1Paint);
    connect(VistrelImage1, &TVistrelImage::imageMouseDown, this,
            &TForm1::VistrelImage1ImageMouseDown);

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

void TForm1::CreateMainMenu() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    Open1 = file->addAction(QStringLiteral("&Open..."), this, &TForm1::Open1Click);
    file->addSeparator();
    Process1 = file->addAction(QStringLiteral("&Process !"), this, &TForm1::Process1Click);
    Process1->setEnabled(false);
    file->addSeparator();
    SaveOutlinedImage1 = file->addAction(QStringLiteral("&Save Outlined Image..."), this,
                                         &TForm1::SaveOutlinedImageClick);
    SaveLayoutasXML1 = file->addAction(QStringLiteral("Save Layout as XML..."), this,
                                       &TForm1::SaveLayoutasXML1Click);
    file->addSeparator();
    Exit1 = file->addAction(QStringLiteral("&Exit"), this, &TForm1::Exit1Click);

    CreateZonesMenu(menuBar()->addMenu(QStringLiteral("&Zones")));
    CreateZoomMenu(menuBar()->addMenu(QStringLiteral("Zoom")));

    QMenu* help = menuBar()->addMenu(QStringLiteral("&?"));
    About1 = help->addAction(QStringLiteral("&About..."), this, &TForm1::About1Click);
}

void TForm1::CreateZonesMenu(QMenu* menu) {
    for (std::size_t i = 0; i < kZoneItems.size(); ++i) {
        const ZoneKind kind = kZoneItems[i].kind;
        QAction* item = menu->addAction(QString::fromLatin1(kZoneItems[i].caption));
        item->setCheckable(true);
        item->setChecked(true);
        connect(item, &QAction::triggered, this, [this, kind] { ZoneKindClick(kind); });
        ZoneItems[i] = item;
    }
}

void TForm1::CreateZoomMenu(QMenu* menu) {
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
void TForm1::CreatePopupMenu() {
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

QAction* TForm1::ZoneItem(ZoneKind kind) const {
    for (std::size_t i = 0; i < kZoneItems.size(); ++i)
        if (kZoneItems[i].kind == kind) return ZoneItems[i];
    return nullptr;
}

evalia::ShownZoneKinds TForm1::ShownKinds() const {
    evalia::ShownZoneKinds shown;
    for (std::size_t i = 0; i < kZoneItems.size(); ++i)
        shown.set(kZoneItems[i].kind, ZoneItems[i]->isChecked());
    return shown;
}

evalia::ZoneSource TForm1::CurrentZones() const {
    return zonesBelongToPage_ ? session_->Zones() : evalia::ZoneSource{};
}

void TForm1::RunCommand(const std::function<void()>& command) {
    try {
        command();
    } catch (const std::exception& error) {
        prompts_->ShowError(this, QString::fromLocal8Bit(error.what()));
    } catch (...) {
        prompts_->ShowError(this, QStringLiteral("Unexpected error"));
    }
}

// ---- File menu ----------------------------------------------------------

void TForm1::Open1Click() {
    const QString fileName = prompts_->ChooseFileToOpen(
        this, {QStringLiteral("Open"), QStringLiteral("TIFF Files (*.tif)"), QString()});
    if (fileName.isEmpty()) return;
    OpenFile(fileName);
}

void TForm1::OpenFile(const QString& fileName) {
    selectedZones_.Clear();
    ListBoxZones->clear();
    zonesBelongToPage_ = false;
    StatusPanel->setText(QFileInfo(fileName).absoluteFilePath());
    RunCommand([&] { LoadPage(fileName); });
    UpdateProcessEnabled();
}

void TForm1::LoadPage(const QString& fileName) {
    VistrelImage1->LoadFile(fileName, zmFitToWidth, 0);
    if (VistrelImage1->Image().DIB().BitCount() != 1)
        prompts_->ShowWarning(this, QString::fromLatin1(kNotBlackAndWhite));
}

// Processing needs the library and a 1-bit page.
void TForm1::UpdateProcessEnabled() {
    const TMemoryImage& image = VistrelImage1->Image();
    Process1->setEnabled(session_->CanProcess() && image.IsValid() && image.DIB().BitCount() == 1);
}

void TForm1::Process1Click() {
    if (!Process1->isEnabled()) return;
    RunCommand([this] {
        const evalia::BusyCursor busy;
        selectedZones_.Clear();
        const std::int32_t status = session_->Execute(VistrelImage1->ImageHandle());
        zonesBelongToPage_ = true;
        if (status == LA_STATUS_OUT_OF_MEMORY)
            prompts_->ShowWarning(this, QString::fromLatin1(kOutOfMemoryWarning));
        const std::int32_t skew = session_->SkewAngle();
        StraightenImage(skew);
        const std::int32_t zoneCount = CurrentZones().zoneCount();
        prompts_->ShowInformation(this, evalia::ProcessReportText(zoneCount, skew));
        FillZoneList(zoneCount);
        VistrelImage1->RefreshView(true);
    });
}

// Turns the page back by the measured skew: the two shears keep the page's
// size, and the row shift brings back down what the shear lifted.
void TForm1::StraightenImage(std::int32_t skewHundredths) {
    imaging::TDIB& page = VistrelImage1->Image().DIB();
    const double angle = -skewHundredths / 100.0;
    page.ShearDeskew(true, false, true, angle, angle);
    page.ShiftRows(evalia::StraighteningRowShift(skewHundredths, page.Width()));
}

void TForm1::FillZoneList(std::int32_t zoneCount) {
    const QSignalBlocker quiet(ListBoxZones);
    ListBoxZones->clear();
    for (int i = 0; i < zoneCount; ++i) ListBoxZones->addItem(evalia::ZoneListEntry(i));
}

void TForm1::SaveOutlinedImageClick() {
    const QString fileName = prompts_->ChooseFileToSave(
        this, {QStringLiteral("Save Outlined Image"), QStringLiteral("TIFF Files (*.tif)"),
               QStringLiteral("tif")});
    if (fileName.isEmpty()) return;
    bool saved = false;
    RunCommand([&] {
        evalia::WriteOutlinedImage(VistrelImage1->Image().DIB(),
                                   QFile::encodeName(fileName).toStdString(), kOutlinedImageDivisor,
                                   CurrentZones(), ShownKinds());
        saved = true;
    });
    if (saved) prompts_->OpenWithDesktop(fileName);
}

void TForm1::SaveLayoutasXML1Click() {
    const QString fileName = prompts_->ChooseFileToSave(this, {QStringLiteral("Save Layout as XML"),
                                                               QStringLiteral("XML Files (*.xml)"),
                                                               QStringLiteral("xml")});
    if (fileName.isEmpty()) return;
    RunCommand(
        [&] { evalia::WriteLayoutXml(QFile::encodeName(fileName).toStdString(), CurrentZones()); });
}

void TForm1::Exit1Click() {
    close();
}

void TForm1::About1Click() {
    prompts_->ShowInformation(this, QString::fromLatin1(kCaption) + QStringLiteral("\r\n") +
                                        FromView(evalia::kLegalNotice) + QStringLiteral("\r\n") +
                                        FromView(evalia::kContactLine));
}

// ---- Zone display -------------------------------------------------------

int TForm1::ListSelection() const {
    const QList<QListWidgetItem*> chosen = ListBoxZones->selectedItems();
    return chosen.isEmpty() ? -1 : ListBoxZones->row(chosen.constFirst());
}

void TForm1::ListBoxZonesClick() {
    VistrelImage1->RefreshView(true);
}

void TForm1::ZoneKindClick(ZoneKind) {
    VistrelImage1->RefreshView(true);
}

void TForm1::VistrelImage1Paint(QPainter& painter) {
    const std::vector<evalia::ZoneRecord> zones = evalia::readZones(CurrentZones());
    evalia::ZoneOverlayState state;
    state.zoom = VistrelImage1->Zoom();
    state.shownKinds = ShownKinds();
    state.selected = &selectedZones_;
    state.listSelection = ListSelection();
    evalia::DrawZoneOverlay(painter, zones, state);
}

void TForm1::VistrelImage1ImageMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers, int x,
                                         int y) {
    if (button != Qt::LeftButton) return;
    const std::vector<evalia::ZoneRecord> zones = evalia::readZones(CurrentZones());
    for (const int zone : evalia::ZonesAtSurfacePoint(zones, QPoint(x, y), VistrelImage1->Zoom())) {
        const std::int32_t content = zones[std::size_t(zone)].content;
        prompts_->ShowPlain(this, QStringLiteral("Zone ") + QString::number(zone) +
                                      QStringLiteral(":") +
                                      FromView(evalia::ZoneContentName(content)));
        selectedZones_.Toggle(zone);
        VistrelImage1->RefreshView(true);
    }
}
