#include "gui/main/CCtrlToolDlg.h"

#include <array>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

#include "core/catalog/PageTables.h"
#include "core/catalog/ParameterCatalog.h"
#include "core/common/Dialogs.h"
#include "core/operations/IdentifyModel.h"
#include "core/protocol/CommandIds.h"
#include "gui/app/AppContext.h"
#include "gui/common/InitialiseFailure.h"
#include "gui/lut/LutWindows.h"
#include "gui/main/AberrationGroup.h"
#include "gui/main/Calibrations.h"
#include "gui/main/CameraReads.h"
#include "gui/main/ControlBinding.h"
#include "gui/main/ControlId.h"
#include "gui/main/ControlValues.h"
#include "gui/main/DependentControls.h"
#include "gui/main/FastRepliesSwitch.h"
#include "gui/main/GainAutoControls.h"
#include "gui/main/IdentityMenu.h"
#include "gui/main/LineRateDisplay.h"
#include "gui/main/ListCodes.h"
#include "gui/main/MainMenu.h"
#include "gui/main/ModelLayout.h"
#include "gui/main/PageButtons.h"
#include "gui/main/ParameterSearch.h"
#include "gui/main/SettingFileOperations.h"
#include "gui/main/SpinRanges.h"
#include "gui/main/UserSetOperations.h"
#include "gui/operations/LongOperation.h"
#include "gui/operations/ReadAllSettings.h"
#include "gui/operations/ShadingTransfer.h"
#include "gui/pages/CTabSheetDialog.h"
#include "gui/pages/PageBuilder.h"
#include "gui/tools/CommunicationDialog.h"
#include "gui/tools/SerialDevices.h"
#include "gui/tools/SerialPortsDialog.h"
#include "gui/tools/TerminalDialog.h"

namespace {

constexpr unsigned kAreaQueryTimeoutMs = 5000;
constexpr unsigned kRateQueryTimeoutMs = 500;
constexpr int kCameraRateListId = 1124;

// The drop-down list whose open popup holds this widget, if any.
QComboBox *comboOfOpenPopup(QWidget *widget)
{
    for (QWidget *w = widget; w; w = w->parentWidget()) {
        if (auto *combo = qobject_cast<QComboBox *>(w))
            return w == widget ? nullptr : combo;
    }
    return nullptr;
}

// Key events travel up the parents when a widget ignores them; the keyboard rules look at
// each key once, at the widget it was addressed to.
bool isFirstReceiver(const QWidget *widget)
{
    if (QWidget *popup = QApplication::activePopupWidget())
        return widget == (popup->focusWidget() ? popup->focusWidget() : popup);
    QWidget *focus = QApplication::focusWidget();
    return widget == (focus ? focus : QApplication::activeWindow());
}

} // namespace

CCtrlToolDlg::CCtrlToolDlg(AppContext &context, QWidget *parent)
    : QDialog(parent), context_(context), negotiation_(context.serialLink(), context.command(), *this)
{
    setWindowIcon(QIcon(QStringLiteral(":/res/icon-500.png")));
    buildWindow();

    // The tool windows live for the whole run, beside the main window rather than inside it,
    // so disabling the main window during an operation leaves them to the window list.
    communication_ = std::make_unique<CCommunicationDialog>(CCommunicationDialog::Services{
        context_.serialLink(), context_.command(), context_.settings(), context_.controlMode(),
        context_.dialogs(), context_.onlineStatus(), context_.windowList(), context_.progress(), *this,
        context_.operations()});
    terminal_ = std::make_unique<CTerminalDialog>(CTerminalDialog::Services{
        context_.serialLink(), context_.settings(), context_.dialogs(), context_.onlineStatus(),
        context_.windowList(), context_.operations()});
    lut_ = std::make_unique<LutWindows>(
        CLUTDlg::Services{context_.command(), context_.dialogs(), context_.onlineStatus(), context_.windowList(),
                          context_.progress(), context_.operations()},
        context_.settings());
    context_.lineLog().Register(*terminal_);
    context_.lineLog().Register(*communication_);
    fastReplies_ = std::make_unique<FastRepliesSwitch>(context_.command(), context_.progress(), context_.settings(),
                                                       *communication_,
                                                       *FindMenuAction(*menuBar_, MenuId::FastReplies),
                                                       *fastRepliesLabel_);
    buildBinding();
    recovery_ = std::make_unique<LinkRecovery>(context_.serialLink(), context_.command(), *this, *this);

    context_.controlTable().CommitValues();
}

void CCtrlToolDlg::buildBinding()
{
    bindingServices_ = std::make_unique<BindingServices>(BindingServices{
        context_.controlTable(), context_.command(), context_.dialogs(), context_.cameraModel(), *this,
        [this] { RefreshChangedControls(); }});
    gainAuto_ = std::make_unique<GainAutoControls>(*bindingServices_);
    aberration_ = std::make_unique<AberrationGroup>(context_.command(), context_.controlTable(), *this);
    pageButtons_ = std::make_unique<PageButtons>(
        *bindingServices_, *aberration_,
        PageButtons::WindowHooks{[this] { return IdentifyModel(); },
                                    [this] {
                                        SetSkipExitConfirmation(true);
                                        reject();
                                    },
                                    [this] { showTerminal(); }, [this] { lut_->ShowLutWindows(true); }});
    binding_ = std::make_unique<ControlBinding>(*bindingServices_, *gainAuto_, *aberration_, *pageButtons_,
                                                [this] { lut_->ShowLutWindows(false); });
    installCameraProcedures();
    binding_->Connect(pages_);
    SetEditCommitHandler([this](int editId) { binding_->CommitEdit(editId); });
    settingFile_ = std::make_unique<SettingFileOperations>(context_, *this);
    userSets_ = std::make_unique<UserSetOperations>(context_, *this, [this] { ReloadAllSettings(); });
}

void CCtrlToolDlg::showSerialPorts()
{
    CSerialPortsDialog dialog(context_.settings(), context_.dialogs(), SerialDeviceChoices(PresentSerialPorts()), this);
    if (dialog.exec() == QDialog::Accepted)
        communication_->ShowPortDevices();
}

void CCtrlToolDlg::installCameraProcedures()
{
    calibrations_ = std::make_unique<Calibrations>(*bindingServices_);
    Calibrations &calibrations = *calibrations_;
    binding_->SetOneShotHooks({guarded([&calibrations] { calibrations.GainAutoOnce(); }),
                               guarded([&calibrations] { calibrations.WhiteBalanceOnce(); }),
                               guarded([&calibrations] { calibrations.WhiteBalanceExposureOnce(); })});
    shadingTransfer_ = std::make_unique<ShadingTransfer>(
        ShadingTransfer::Services{context_.command(), context_.dialogs(), context_.settings(), context_.progress(),
                                  context_.windowList(), context_.operations()},
        this);
    ShadingTransfer &shading = *shadingTransfer_;
    using Later = PageButtons::LaterOperation;
    // The procedures hold the windows themselves; the transfers have their progress window and
    // the user sets hold them once the operator has said which area.
    const std::pair<Later, std::function<void()>> operations[] = {
        {Later::ShadingCalibration, guarded([&calibrations] { calibrations.ShadingCalibration(); })},
        {Later::RecalibratePixelGain, guarded([&calibrations] { calibrations.RecalibratePixelGain(); })},
        {Later::RecalibratePixelBlack, guarded([&calibrations] { calibrations.RecalibratePixelBlack(); })},
        {Later::RecalibratePixelGainFactory, guarded([&calibrations] { calibrations.RecalibratePixelGainFactory(); })},
        {Later::RecalibratePixelBlackFactory,
         guarded([&calibrations] { calibrations.RecalibratePixelBlackFactory(); })},
        {Later::AutoSetting, guarded([&calibrations] { calibrations.AutoSetting(); })},
        {Later::ReadShadingData, [&shading] { shading.ReadShadingData(); }},
        {Later::WriteShadingData, [&shading] { shading.WriteShadingData(); }},
        {Later::StoreShadingData, guarded([&shading] { shading.StoreShadingData(); })},
        {Later::StoreAllAreas, [this] { userSets_->StoreAllAreas(); }},
    };
    for (const auto &[operation, run] : operations)
        pageButtons_->SetLaterOperation(operation, run);
}

std::function<void()> CCtrlToolDlg::guarded(std::function<void()> procedure)
{
    return [this, procedure = std::move(procedure)] {
        const GuardedOperation operation(context_.operations(), &context_.windowList());
        procedure();
    };
}

void CCtrlToolDlg::showTerminal()
{
    terminal_->show();
    terminal_->raise();
}

CCtrlToolDlg::~CCtrlToolDlg()
{
    qApp->removeEventFilter(this);
    // A loss found by the last exchanges below is no longer anyone's to recover.
    recovery_.reset();
    // The camera's rate is read once more on the way out; the list that would show it is on
    // no page.
    context_.controlTable().SetDataValue(kCameraRateListId, 1);
    std::int32_t rate = 0;
    context_.command().QueryValue(CommandId::CBDRT, rate, kRateQueryTimeoutMs);
    context_.serialLink().Close();

    context_.lineLog().Unregister(*terminal_);
    context_.lineLog().Unregister(*communication_);
    terminal_.reset();
    lut_.reset();
    if (registered_) {
        context_.onlineStatus().Unregister(*this);
        context_.windowList().Unregister(*this);
    }
}

void CCtrlToolDlg::buildWindow()
{
    auto *layout = new QVBoxLayout(this);
    auto *menuBar = new QMenuBar(this);
    menuBar_ = menuBar;
    utilityMenu_ = BuildMainMenu(*menuBar, [this](int id) { OnMenu(id); });
    layout->setMenuBar(menuBar);
    // An operation started from a tool window (the communication window's "Store") leaves
    // this window enabled, so its menus and pages wait for the operation themselves.
    context_.operations().AddStarter(*menuBar);

    tabs_ = new QTabBar(this);
    tabs_->setAccessibleName(QStringLiteral("Pages"));
    ownControls_.Register(kTabControlId, *tabs_);
    // The tab row has room to its right; the fast-replies label sits there, in sight while
    // the operator works on the pages.
    auto *tabRow = new QHBoxLayout;
    tabRow->addWidget(tabs_, 1);
    search_ = new ParameterSearch([this](const QString &text) { return searchOffers(text); },
                                  [this](int controlId) { GoToControl(controlId); }, this);
    tabRow->addWidget(search_);
    auto *find = new QShortcut(QKeySequence::Find, this);
    connect(find, &QShortcut::activated, this, [this] {
        search_->setFocus(Qt::ShortcutFocusReason);
        search_->selectAll();
    });
    fastRepliesLabel_ = new QLabel(QStringLiteral("Fast replies"), this);
    fastRepliesLabel_->setAccessibleName(QStringLiteral("Fast replies"));
    fastRepliesLabel_->setVisible(false);
    tabRow->addWidget(fastRepliesLabel_);
    layout->addLayout(tabRow);

    pageStack_ = new QStackedWidget(this);
    layout->addWidget(pageStack_, 1);
    pages_ = CreatePages(pageStack_);
    context_.operations().AddStarter(*pageStack_);
    for (CTabSheetDialog *page : pages_) {
        pageStack_->addWidget(page);
        page->hide();
    }

    BuildHiddenControls(MainWindowHiddenControls(), *this, ownControls_);

    QLabel *strip = MakeStatusStrip(*this, kStatusStripId);
    SetStatusStrip(strip);
    ownControls_.Register(kStatusStripId, *strip);
    layout->addWidget(strip);

    connect(tabs_, &QTabBar::currentChanged, this, &CCtrlToolDlg::onTabChanged);
    resizeToFitPages();
}

void CCtrlToolDlg::resizeToFitPages()
{
    // Large enough for the largest page where the screen allows; the pages scroll otherwise.
    QSize content;
    for (CTabSheetDialog *page : pages_) {
        if (auto *area = page->findChild<QScrollArea *>(); area && area->widget())
            content = content.expandedTo(area->widget()->sizeHint());
    }
    const QSize chrome = QSize(64, 96) + QSize(0, tabs_->sizeHint().height() + layout()->menuBar()->sizeHint().height() +
                                                      StatusStrip()->sizeHint().height());
    QSize wanted = content + chrome;
    if (const QScreen *display = screen())
        wanted = wanted.boundedTo(display->availableGeometry().size() * 0.95);
    resize(wanted);
}

void CCtrlToolDlg::Initialise()
{
    context_.onlineStatus().Register(*this);
    context_.windowList().Register(*this);
    registered_ = true;
    setWindowTitle(QStringLiteral("QN-5200R-RL Control Tool") + QStringLiteral("  Ver ") + QStringLiteral("2.01"));

    context_.command().Create();
    terminal_->hide();
    lut_->CreateLutWindows();
    communication_->show();

    SetSpinRanges(context_.controlTable(), *this);
    SetComboItemData(*this);
    RefreshAllControls();
    ApplyControlMode();
    qApp->installEventFilter(this);

    // The window is up before the connection runs, so the operator sees what is happening.
    show();
    QCoreApplication::processEvents();

    if (negotiation_.FindCamera(OpenAndIdentify() == 1))
        ReloadAllSettings();
    context_.controlTable().CommitValues();
    RefreshAllControls();
}

QWidget *CCtrlToolDlg::FindControl(int controlId) const
{
    return PageControlFinder(pages_, &ownControls_).FindControl(controlId);
}

void CCtrlToolDlg::BuildTabs()
{
    const QSignalBlocker blocker(tabs_);
    while (tabs_->count() > 0)
        tabs_->removeTab(0);
    for (int index = 0; index < static_cast<int>(pages_.size()); ++index) {
        CTabSheetDialog *page = pages_[index];
        if (context_.controlMode().Get() == 0 && page->factoryOnly())
            continue;
        const int position = tabs_->addTab(page->title());
        tabs_->setTabData(position, index);
        page->hide();
    }
    tabs_->setCurrentIndex(0);
    showPage(0);
}

std::vector<ParameterSearch::Offer> CCtrlToolDlg::searchOffers(const QString &text) const
{
    std::vector<ParameterSearch::Offer> offers;
    const ParameterCatalog catalog(context_.controlTable(), context_.commandTable());
    for (const Parameter &parameter : catalog.Matching(text)) {
        // Only what the operator can reach now: a page that has a tab in this mode, and a control
        // the camera's model shows.
        const QString page = PageTitleOf(parameter.controlId);
        if (page.isEmpty())
            continue;
        const QString where = parameter.group.isEmpty() ? page : page + QStringLiteral(" / ") + parameter.group;
        offers.push_back(
            {page, parameter.controlId, QStringLiteral("%1 / %2 (%3)").arg(where, parameter.label, parameter.mnemonic)});
    }
    return offers;
}

QString CCtrlToolDlg::PageTitleOf(int controlId) const
{
    for (int position = 0; position < tabs_->count(); ++position) {
        CTabSheetDialog *page = pages_[static_cast<std::size_t>(tabs_->tabData(position).toInt())];
        if (QWidget *control = page->Control(controlId); control != nullptr && control->isVisibleTo(page))
            return page->title();
    }
    return QString();
}

void CCtrlToolDlg::GoToControl(int controlId)
{
    for (int position = 0; position < tabs_->count(); ++position) {
        CTabSheetDialog *page = pages_[static_cast<std::size_t>(tabs_->tabData(position).toInt())];
        QWidget *control = page->Control(controlId);
        if (control == nullptr)
            continue;
        tabs_->setCurrentIndex(position);
        if (auto *area = page->findChild<QScrollArea *>())
            area->ensureWidgetVisible(control);
        control->setFocus(Qt::OtherFocusReason);
        return;
    }
}

void CCtrlToolDlg::showPage(int pageIndex)
{
    for (int index = 0; index < static_cast<int>(pages_.size()); ++index) {
        if (index == pageIndex) {
            pageStack_->setCurrentWidget(pages_[index]);
            pages_[index]->show();
        } else {
            pages_[index]->hide();
        }
    }
}

void CCtrlToolDlg::onTabChanged(int position)
{
    if (position < 0 || position >= static_cast<int>(pages_.size()))
        return;
    showPage(tabs_->tabData(position).toInt());
}

void CCtrlToolDlg::ApplyControlMode()
{
    BuildTabs();
    utilityMenu_->setEnabled(context_.controlMode().Get() == 1);
    context_.controlTable().SendChangedValues(context_.command());
    context_.controlTable().CommitValues();
    communication_->UpdateStoreButton();
}

void CCtrlToolDlg::ToggleControlMode()
{
    // The key sequence has no control to disable.
    if (context_.operations().Refuses(context_.dialogs()))
        return;
    context_.controlMode().Toggle();
    ApplyControlMode();
    std::int32_t area = 0;
    if (context_.command().QueryValue(CommandId::EA, area, kAreaQueryTimeoutMs)) {
        currentArea_ = area;
        ReloadAllSettings();
    }
}

int CCtrlToolDlg::OpenAndIdentify()
{
    if (!context_.serialLink().Reopen()) {
        const QString reason = context_.serialLink().LastOpenFailureText();
        if (!reason.isEmpty())
            communication_->AppendLogLine(QStringLiteral("Failed to initialize: ") + reason.simplified());
        ShowInitialiseFailure(context_.dialogs(), reason);
    }
    // The model query and the area query run even when the port did not open: the scan that
    // follows opens it at every rate.
    const int answered = IdentifyModel() ? 1 : 0;
    queryCurrentArea();
    return answered;
}

void CCtrlToolDlg::queryCurrentArea()
{
    std::int32_t area = 0;
    if (context_.command().QueryValue(CommandId::EA, area, kAreaQueryTimeoutMs))
        currentArea_ = area;
}

bool CCtrlToolDlg::IdentifyModel()
{
    return ::IdentifyModel(context_.command(), context_.cameraModel(), context_.dialogs());
}

void CCtrlToolDlg::LogNote(const QString &text)
{
    communication_->AppendLogLine(text);
}

void CCtrlToolDlg::SetBaudSelection(int code)
{
    communication_->SetBaudSelection(code);
}

void CCtrlToolDlg::ReloadAllSettings()
{
    ControlTable &table = context_.controlTable();
    // One operation from the model query to the aberration group's refresh, which steps the
    // event loop once more after the progress window has gone.
    const GuardedOperation operation(context_.operations(), &context_.windowList());
    IdentifyModel();
    ApplyModelLayout(*this, context_.cameraModel().Code());
    ReadAllSettings();
    RefreshAllControls();
    table.CommitValues();
    RefreshAllControls();
    UpdateDependentControls(*this, DependentControlHooks{[this] { lut_->ShowLutWindows(false); },
                                                         [this] { gainAuto_->ApplyPercentage(); }});
    UpdateLineRateDisplay(*this, table);
    RefreshAberrationGroup();
}

void CCtrlToolDlg::LinkLost(const QString &device, const QString &reason)
{
    communication_->AppendLogLine(QStringLiteral("Link lost: %1 (%2)").arg(device, reason));
    context_.onlineStatus().SetOnline(false);
}

bool CCtrlToolDlg::MayReconnect()
{
    // The link belongs to a long operation until it ends.
    return isEnabled() && !context_.operations().Running();
}

bool CCtrlToolDlg::CameraOnline() const
{
    return context_.onlineStatus().IsOnline();
}

void CCtrlToolDlg::LinkRestored(const QString &device, bool answered)
{
    communication_->AppendLogLine(QStringLiteral("Link restored: %1").arg(device));
    if (answered)
        readAfterRecovery();
    else
        communication_->AppendLogLine(
            QStringLiteral("The camera does not answer yet: it is asked again once a second."));
}

void CCtrlToolDlg::CameraFound(const QString &)
{
    readAfterRecovery();
}

void CCtrlToolDlg::readAfterRecovery()
{
    // As "&Reload": another camera on the same device shows its own model's pages.
    queryCurrentArea();
    ReloadAllSettings();
}

bool CCtrlToolDlg::ReadAllSettings()
{
    SettingsReader reader{context_.controlTable(), context_.command(), context_.cameraModel(),
                          context_.controlMode(), context_.progress(), context_.operations()};
    reader.ReadAllSettings(this);
    return true;
}

void CCtrlToolDlg::RefreshAllControls()
{
    const ControlTable &table = context_.controlTable();
    for (int i = 0; i < table.RowCount(); ++i)
        WriteControlValue(*this, table.Row(i).controlId, table.Row(i).value);
}

void CCtrlToolDlg::RefreshChangedControls()
{
    const ControlTable &table = context_.controlTable();
    for (int i = 0; i < table.RowCount(); ++i) {
        const ControlEntry &row = table.Row(i);
        if (row.value != row.savedValue)
            WriteControlValue(*this, row.controlId, row.value);
    }
}

void CCtrlToolDlg::RefreshAberrationGroup()
{
    std::int32_t mode = 0;
    if (!context_.command().QueryValue(CommandId::CACM, mode, kAreaQueryTimeoutMs))
        return;
    EnableAberrationControls(mode != 0);
    CameraReads reads(context_.command(), context_.controlTable(), *this);
    reads.ReadFromCamera(AberrationGroup::kModeId);
    reads.ReadCommandIntoControl(AberrationGroup::kSyncModeId, 145 + mode);
    WriteControlValue(*this, AberrationGroup::kSideId, 0);
    WriteControlValue(*this, AberrationGroup::kIndexId, 1);
    WriteControlValue(*this, AberrationGroup::kColourId, 0);
    reads.ReadCommandIntoControl(AberrationGroup::kMethodId, 165 + mode);
    aberration_->RefreshCellReadouts();
    QCoreApplication::processEvents();
}

bool CCtrlToolDlg::IsFactoryParam(int controlId)
{
    const ControlTable &table = context_.controlTable();
    for (int i = 0; i < table.RowCount(); ++i) {
        if (table.Row(i).controlId == controlId)
            return table.Row(i).access == 2;
    }
    context_.dialogs().Message(
        QStringLiteral("ERROR: IsFactoryParam(): Control id \"%1: 0x%2\" is not registered in database table")
            .arg(controlId)
            .arg(QString::number(controlId, 16)));
    return false;
}

bool CCtrlToolDlg::IsSupportedCommand(int commandId) const
{
    return context_.cameraModel().IsSupportedCommand(commandId);
}

void CCtrlToolDlg::EnableAberrationControls(bool enable)
{
    for (int id : AberrationGroup::kLensControls) {
        if (QWidget *control = FindControl(id))
            control->setEnabled(enable);
    }
}

void CCtrlToolDlg::SaveAllDataAs()
{
    settingFile_->SaveAllDataAs();
}

void CCtrlToolDlg::SaveShippingDataAs()
{
    settingFile_->SaveShippingDataAs();
}

void CCtrlToolDlg::OpenSettingFile()
{
    settingFile_->OpenSettingFile();
}

void CCtrlToolDlg::OnMenu(int menuId)
{
    switch (menuId) {
    case MenuId::Exit:
        reject();
        break;
    case MenuId::Reload:
        queryCurrentArea();
        ReloadAllSettings();
        break;
    case MenuId::SerialPorts:
        showSerialPorts();
        break;
    case MenuId::FastReplies:
        fastReplies_->Toggle();
        break;
    case MenuId::Open:
        OpenSettingFile();
        break;
    case MenuId::CompareWithSettingFile:
        settingFile_->CompareWithSettingFile();
        break;
    case MenuId::SaveAllData:
        SaveAllDataAs();
        break;
    case MenuId::SaveShippingData:
        SaveShippingDataAs();
        break;
    case MenuId::OpenLutFile:
        lut_->OpenLutFile();
        break;
    case MenuId::SaveLutFile:
        lut_->SaveLutFile(*this);
        break;
    case MenuId::LoadAllLutTables:
        lut_->LoadAllLutTables(*this);
        break;
    case MenuId::OpenCommunicationDialog:
        communication_->show();
        communication_->raise();
        break;
    case MenuId::About:
    case MenuId::EditUserId:
    case MenuId::EditCameraId:
        OpenIdentityWindow(menuId, IdentityServices{context_.command(), context_.cameraModel(), context_.controlMode(),
                                                    context_.dialogs(), context_.onlineStatus(),
                                                    context_.windowList(), OpenWithDesktop},
                           this);
        break;
    case MenuId::LoadSettings:
        userSets_->LoadUserSet();
        break;
    case MenuId::StoreSettings:
        userSets_->StoreUserSet();
        break;
    default:
        break;
    }
}

void CCtrlToolDlg::reject()
{
    OperationGuard &operations = context_.operations();
    if (operations.Running()) {
        if (!closeWaits_) {
            closeWaits_ = true;
            operations.AfterOperation(*this, [this] {
                closeWaits_ = false;
                reject();
            });
        }
        return;
    }
    if (!skipExitConfirmation_) {
        MessageRequest question;
        question.text = QStringLiteral("Are you sure to terminate the Camera Control Tool ?");
        question.caption = QStringLiteral("Confirm");
        question.icon = MessageIcon::Question;
        question.buttons = MessageButtons::YesNo;
        if (context_.dialogs().ShowMessage(question) != MessageAnswer::Yes)
            return;
    }
    QDialog::reject();
}

bool CCtrlToolDlg::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    auto *widget = static_cast<QWidget *>(watched);
    // The search field is no control of the pages: its Enter is its own.
    if (widget == search_ || !isFirstReceiver(widget))
        return false;
    QComboBox *popupOwner = comboOfOpenPopup(widget);
    QWidget *window = popupOwner ? popupOwner->window() : widget->window();
    if (window != this)
        return false;
    return handleKeyDown(*widget, *static_cast<QKeyEvent *>(event));
}

bool CCtrlToolDlg::handleKeyDown(QWidget &receiver, QKeyEvent &event)
{
    // The held modifiers as the event saw them, and as the keyboard reports them now.
    if (modeKeys_.Press(event.key(), event.modifiers() | QGuiApplication::queryKeyboardModifiers()))
        ToggleControlMode();

    const bool enter = event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter;
    const bool escape = event.key() == Qt::Key_Escape;
    if (!enter && !escape)
        return false;

    if (QComboBox *popupOwner = comboOfOpenPopup(&receiver)) {
        // An open list: Enter picks the highlighted entry as usual; Escape does the same.
        if (escape) {
            QKeyEvent pick(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QCoreApplication::sendEvent(&receiver, &pick);
            return true;
        }
        (void)popupOwner;
        return false;
    }
    if (auto *edit = qobject_cast<QLineEdit *>(&receiver)) {
        if (enter && commitEdit_)
            commitEdit_(ControlIdOf(edit));
        return true;
    }
    if (qobject_cast<QComboBox *>(&receiver) || qobject_cast<QAbstractButton *>(&receiver))
        return true;
    return false;
}
