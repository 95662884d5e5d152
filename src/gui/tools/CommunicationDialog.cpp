#include "gui/tools/CommunicationDialog.h"

#include <array>

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/common/Dialogs.h"
#include "core/operations/FlashAreas.h"
#include "core/protocol/Command.h"
#include "core/protocol/CommandIds.h"
#include "core/protocol/CommandTable.h"
#include "core/settings/ControlModeSetting.h"
#include "core/settings/SettingsStore.h"
#include "core/transport/SerialLink.h"
#include "gui/common/DropDownAccessible.h"
#include "gui/common/InitialiseFailure.h"
#include "gui/common/WindowList.h"
#include "gui/operations/LongOperation.h"
#include "gui/operations/OperationGuard.h"
#include "gui/tools/CommunicationHost.h"
#include "gui/tools/LogFileSave.h"

namespace {

namespace Id {
constexpr int LineIcon = 1071;
constexpr int LineWord = 1063;
constexpr int Category = 1009;
constexpr int PortName = 1005;
constexpr int BaudRate = 1027;
constexpr int SaveSettingFile = 1072;
constexpr int OpenSettingFile = 1073;
constexpr int CurrentArea = 1075;
constexpr int GetArea = 1074;
constexpr int AreaList = 1026;
constexpr int Store = 1076;
constexpr int Load = 1077;
constexpr int Log = 1078;
constexpr int WriteLog = 1079;
constexpr int ClearLog = 1080;
constexpr int StatusStrip = 1066;
constexpr int Auto = 1088;
} // namespace Id

constexpr unsigned kAreaQueryMs = 5000;
constexpr unsigned kStoreMs = 40000;
constexpr unsigned kLoadMs = 10000;

constexpr std::array<const char *, 4> kCategoryNames = {
    "Com Port", "Camera Link spec. 2000", "Camera Link spec. 2001", "Camera Link spec. ver.1.1",
};
constexpr std::array<const char *, 5> kBaudNames = {
    "9600bps", "19200bps", "38400bps", "57600bps", "115200bps",
};
constexpr int kComPortNames = 16;

template <std::size_t N>
QStringList toList(const std::array<const char *, N> &names)
{
    QStringList list;
    for (const char *name : names)
        list << QString::fromLatin1(name);
    return list;
}

QGroupBox *makeGroup(QWidget &parent, const QString &title)
{
    auto *group = new QGroupBox(title, &parent);
    group->setAccessibleName(title);
    return group;
}

} // namespace

CCommunicationDialog::CCommunicationDialog(const Services &services, QWidget *parent)
    : QDialog(parent),
      link_(services.link),
      command_(services.command),
      settings_(services.settings),
      controlMode_(services.controlMode),
      dialogs_(services.dialogs),
      onlineStatus_(services.onlineStatus),
      windowList_(services.windowList),
      progress_(services.progress),
      host_(services.host),
      operations_(services.operations)
{
    // After a run that did not end normally (a crash may have come from a Camera Link
    // library) the link starts on the COM port, whatever kind was stored.
    if (!settings_.PreviousShutdownWasNormal())
        link_.SetKind(0);

    setWindowTitle(QStringLiteral("Communication"));
    InstallDropDownAccessibility();
    buildControls();
    connectControls();

    onlineStatus_.Register(*this);
    windowList_.Register(*this);
    OnOnlineStatusChanged(onlineStatus_.IsOnline() ? 1 : 0);
    initialiseFromLink();
}

CCommunicationDialog::~CCommunicationDialog()
{
    onlineStatus_.Unregister(*this);
    windowList_.Unregister(*this);
}

QPushButton *CCommunicationDialog::makeButton(int controlId, const QString &text)
{
    auto *button = new QPushButton(text, this);
    // Enter closes this window, as every other way of closing it does; it does not press
    // whichever button has the focus.
    button->setAutoDefault(false);
    controls_.Register(controlId, *button);
    return button;
}

QComboBox *CCommunicationDialog::makeList(int controlId, const QStringList &entries,
                                          const QString &accessibleName)
{
    auto *list = new QComboBox(this);
    list->addItems(entries);
    list->setAccessibleName(accessibleName);
    controls_.Register(controlId, *list);
    return list;
}

void CCommunicationDialog::buildControls()
{
    // Line status.
    lineIcon_ = new QLabel(this);
    lineIcon_->setFixedSize(32, 32);
    lineIcon_->setScaledContents(true);
    controls_.Register(Id::LineIcon, *lineIcon_);
    lineWord_ = new QLabel(QStringLiteral("Offline"), this);
    controls_.Register(Id::LineWord, *lineWord_);
    QGroupBox *lineGroup = makeGroup(*this, QStringLiteral("Line Status"));
    auto *lineLayout = new QHBoxLayout(lineGroup);
    lineLayout->addWidget(lineIcon_);
    lineLayout->addWidget(lineWord_, 1);

    // Link kind, port and rate.
    category_ = makeList(Id::Category, toList(kCategoryNames), QStringLiteral("Category"));
    QStringList ports;
    for (int i = 1; i <= kComPortNames; ++i)
        ports << QStringLiteral("COM%1").arg(i);
    portName_ = makeList(Id::PortName, ports, QStringLiteral("Port Name"));
    baudRate_ = makeList(Id::BaudRate, toList(kBaudNames), QStringLiteral("Baud Rate"));
    baudRate_->setEnabled(false); // shows the rate in use; the negotiation chooses it
    QGroupBox *portGroup = makeGroup(*this, QStringLiteral("Communication Port"));
    auto *portLayout = new QFormLayout(portGroup);
    portLayout->addRow(QStringLiteral("Category"), category_);
    portLayout->addRow(QStringLiteral("Port Name"), portName_);
    portLayout->addRow(QStringLiteral("Baud Rate"), baudRate_);

    // Setting file shortcuts.
    QGroupBox *filesGroup = makeGroup(*this, QStringLiteral("Files"));
    auto *filesLayout = new QVBoxLayout(filesGroup);
    filesLayout->addWidget(makeButton(Id::SaveSettingFile, QStringLiteral("Write To File...")));
    filesLayout->addWidget(makeButton(Id::OpenSettingFile, QStringLiteral("Read To FIle....")));

    // Current area.
    currentArea_ = new QLabel(this);
    currentArea_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    currentArea_->setMinimumWidth(100);
    currentArea_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    // No accessible name of its own: a reader hears the area it shows, inside the group
    // titled "Current Area"; a fixed name would hide the value.
    controls_.Register(Id::CurrentArea, *currentArea_);
    QGroupBox *areaGroup = makeGroup(*this, QStringLiteral("Current Area"));
    auto *areaLayout = new QHBoxLayout(areaGroup);
    areaLayout->addWidget(currentArea_, 1);
    areaLayout->addWidget(makeButton(Id::GetArea, QStringLiteral("Get Area")));

    // Flash areas.
    const QString flashTitle = QStringLiteral("Factory And User Setting In Camera");
    areaList_ = makeList(Id::AreaList, toList(kFlashAreaNames), flashTitle);
    store_ = makeButton(Id::Store, QStringLiteral("Store"));
    store_->setEnabled(false);
    QGroupBox *flashGroup = makeGroup(*this, flashTitle);
    auto *flashLayout = new QHBoxLayout(flashGroup);
    flashLayout->addWidget(areaList_, 1);
    flashLayout->addWidget(store_);
    flashLayout->addWidget(makeButton(Id::Load, QStringLiteral("Load")));

    // Message log.
    const QString logTitle = QStringLiteral("ControlTool Message");
    logView_ = MakeLogView(*this, log_, logTitle);
    controls_.Register(Id::Log, *logView_);
    QGroupBox *logGroup = makeGroup(*this, logTitle);
    auto *logLayout = new QGridLayout(logGroup);
    logLayout->addWidget(logView_, 0, 0, 1, 3);
    logLayout->addWidget(makeButton(Id::WriteLog, QStringLiteral("Write To File")), 1, 1);
    logLayout->addWidget(makeButton(Id::ClearLog, QStringLiteral("Clear")), 1, 2);
    logLayout->setColumnStretch(0, 1);

    // Part of the window's layout from the start, never offered.
    QPushButton *autoButton = makeButton(Id::Auto, QStringLiteral("Auto"));
    autoButton->setEnabled(false);
    autoButton->hide();

    QLabel *strip = MakeStatusStrip(*this, Id::StatusStrip);
    controls_.Register(Id::StatusStrip, *strip);
    SetStatusStrip(strip);

    auto *top = new QHBoxLayout;
    top->addWidget(lineGroup);
    top->addWidget(portGroup, 1);
    auto *middle = new QHBoxLayout;
    middle->addWidget(filesGroup);
    middle->addWidget(areaGroup, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(middle);
    layout->addWidget(flashGroup);
    layout->addWidget(logGroup, 1);
    layout->addWidget(strip);
    resize(440, 560);

    // Every group but the line status and the log starts an exchange of some kind. Their own
    // controls keep their own enabled state ("Baud Rate", "Store") under the group's.
    for (QGroupBox *starters : {portGroup, filesGroup, areaGroup, flashGroup})
        operations_.AddStarter(*starters);
}

void CCommunicationDialog::connectControls()
{
    // Operator choices only: the lists are also set by the window itself.
    connect(category_, &QComboBox::activated, this, &CCommunicationDialog::OnCategoryChanged);
    connect(portName_, &QComboBox::activated, this, &CCommunicationDialog::NegotiateBaudRate);
    connect(portName_, &QComboBox::currentIndexChanged, this,
            [this] { portName_->setToolTip(portName_->currentData(Qt::ToolTipRole).toString()); });
    // Any change of the area, whoever makes it, decides about "Store".
    connect(areaList_, &QComboBox::currentIndexChanged, this, &CCommunicationDialog::UpdateStoreButton);

    const auto onClick = [this](int controlId, void (CCommunicationDialog::*handler)()) {
        auto *button = static_cast<QPushButton *>(controls_.Find(controlId));
        connect(button, &QPushButton::clicked, this, handler);
    };
    onClick(Id::GetArea, &CCommunicationDialog::OnGetArea);
    onClick(Id::Store, &CCommunicationDialog::OnStore);
    onClick(Id::Load, &CCommunicationDialog::OnLoad);
    onClick(Id::WriteLog, &CCommunicationDialog::OnWriteLog);
    onClick(Id::ClearLog, &CCommunicationDialog::OnClearLog);
    connect(static_cast<QPushButton *>(controls_.Find(Id::SaveSettingFile)), &QPushButton::clicked, this,
            [this] { host_.SaveAllDataAs(); });
    connect(static_cast<QPushButton *>(controls_.Find(Id::OpenSettingFile)), &QPushButton::clicked, this,
            [this] { host_.OpenSettingFile(); });
}

void CCommunicationDialog::initialiseFromLink()
{
    category_->setCurrentIndex(link_.GetKind());
    RefreshPortList();
    SetBaudSelection(link_.CodeOfBaud());
    // No area chosen yet, so "Store" starts enabled; then the first user area is chosen.
    areaList_->setCurrentIndex(-1);
    UpdateStoreButton();
    areaList_->setCurrentIndex(1);
}

void CCommunicationDialog::AppendLogLine(const QString &text)
{
    log_.AddNewest(text);
}

void CCommunicationDialog::SetBaudSelection(int code)
{
    baudRate_->setCurrentIndex(code);
}

void CCommunicationDialog::LogNote(const QString &text)
{
    AppendLogLine(text);
}

bool CCommunicationDialog::IdentifyModel()
{
    return host_.IdentifyModel();
}

void CCommunicationDialog::UpdateStoreButton()
{
    store_->setEnabled(areaList_->currentIndex() != kFactoryArea || controlMode_.Get() != 0);
}

void CCommunicationDialog::OnOnlineStatusChanged(int online)
{
    const QString word = online ? QStringLiteral("Online") : QStringLiteral("Offline");
    lineIcon_->setPixmap(QPixmap(online ? QStringLiteral(":/res/icon-503.png") : QStringLiteral(":/res/icon-502.png")));
    lineIcon_->setAccessibleName(word);
    lineWord_->setText(word);
}

void CCommunicationDialog::RefreshPortList()
{
    portName_->clear();
    const int count = link_.PortCount();
    for (int i = 0; i < count; ++i)
        portName_->addItem(link_.PortName(i));
    int current = link_.CurrentPortIndex();
    if (current < 0 || current >= count) {
        link_.ReopenWithPort(0);
        current = 0;
    }
    portName_->setCurrentIndex(current);
    ShowPortDevices();
}

void CCommunicationDialog::ShowPortDevices()
{
    const bool com = link_.GetKind() == 0;
    for (int i = 0; i < portName_->count(); ++i) {
        const QString device = com ? settings_.PortDevice(portName_->itemText(i)) : QString();
        portName_->setItemData(i, device, Qt::ToolTipRole);
        portName_->setItemData(i, device, Qt::AccessibleDescriptionRole);
    }
    portName_->setToolTip(portName_->currentData(Qt::ToolTipRole).toString());
}

QString CCommunicationDialog::logOpenFailure()
{
    const QString reason = link_.LastOpenFailureText();
    if (!reason.isEmpty())
        AppendLogLine(QStringLiteral("Failed to initialize: ") + reason.simplified());
    return reason;
}

void CCommunicationDialog::OnCategoryChanged(int kind)
{
    if (!link_.ReopenWithKind(kind))
        ShowInitialiseFailure(dialogs_, logOpenFailure());
    RefreshPortList();
    if (host_.IdentifyModel())
        host_.ReloadAllSettings();
}

void CCommunicationDialog::NegotiateBaudRate(int portIndex)
{
    if (!link_.ReopenWithPort(portIndex))
        logOpenFailure();
    LinkNegotiation negotiation(link_, command_, *this);
    negotiation.NoteWhenRateFixed();
    negotiation.WakeUpBurst();
    // The burst leaves the link at 9600 bit/s, where a freshly powered camera listens.
    if (!host_.IdentifyModel() && !negotiation.ScanRates())
        return;
    negotiation.MoveToTopRate();
    host_.ReloadAllSettings();
}

void CCommunicationDialog::OnGetArea()
{
    std::int32_t area = -1;
    if (!command_.QueryValue(CommandId::EA, area, kAreaQueryMs))
        area = -1;
    currentArea_->setText(FlashAreaText(area));
}

void CCommunicationDialog::OnStore()
{
    LongOperation operation(progress_, operations_, this, QStringLiteral("Now, Storing camera data."));
    const int area = areaList_->currentIndex();
    if (StoreFlashArea(command_, area, kStoreMs)) {
        dialogs_.Message(QStringLiteral("Completed to store current setting data!"), QString(),
                         MessageIcon::Information);
    }
    operation.Finish();
}

void CCommunicationDialog::OnLoad()
{
    if (LoadFlashArea(command_, areaList_->currentIndex(), kLoadMs))
        host_.ReloadAllSettings();
}

void CCommunicationDialog::OnWriteLog()
{
    LogFileSaveOptions options;
    options.nameFilter = QStringLiteral("txt file (*.txt)");
    options.defaultSuffix = QStringLiteral("txt");
    options.dialogErrorShowsCode = true;
    // The file reads in the order the lines went over the wire: oldest first.
    if (SaveLogFileWithDialog(dialogs_, settings_, options, log_.OldestFirst()) == LogFileSaveResult::Written)
        AppendLogLine(QStringLiteral("Writing file has been done!"));
}

void CCommunicationDialog::OnClearLog()
{
    log_.Clear();
}

void CCommunicationDialog::keyPressEvent(QKeyEvent *event)
{
    // Enter and Escape close the window like its close box: it hides and keeps its log.
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        hide();
        return;
    default:
        break;
    }
    QDialog::keyPressEvent(event);
}
