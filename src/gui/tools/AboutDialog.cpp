#include "gui/tools/AboutDialog.h"

#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QUrl>
#include <QVBoxLayout>

#include "core/common/Dialogs.h"
#include "core/operations/IdentifyModel.h"
#include "core/protocol/CameraModel.h"
#include "core/protocol/Command.h"
#include "core/protocol/CommandIds.h"
#include "gui/tools/CLabel.h"
#include "core/operations/IdentityWrites.h"

#ifndef QN_PROJECT_VERSION
#error "QN_PROJECT_VERSION must come from the build (the project version)"
#endif

namespace {

namespace AboutId {
constexpr int ToolName = 1000;
constexpr int ToolVersion = 1002;
constexpr int WebLink = 1081;
constexpr int ModelName = 1024;
constexpr int CameraId = 1023;
constexpr int Firmware = 1022;
constexpr int Fpga = 1082;
constexpr std::array<int, kDeviceVersionParts> DeviceVersion = {1149, 1150, 1151, 1152};
constexpr int SaveDeviceVersion = 1153;
constexpr int UserId = 1028;
constexpr int SaveUserId = 1083;
constexpr int ProtectUserId = 1084;
constexpr int EnableUserIdEdit = 1085;
constexpr int HelpFiles = 1087;
constexpr int ViewHelpFile = 1043;
constexpr int StatusStrip = 1064;
} // namespace AboutId

constexpr std::uint32_t kAboutReadMs = 5000;

const QString kNamePlaceholder = QStringLiteral("??????????");
const QString kVersionPlaceholder = QStringLiteral("?.?.?.?");
const QString kUserIdPlaceholder = QStringLiteral("????????????????");
const QString kPartPlaceholder = QStringLiteral("?");

// A sunken read-only value. Its accessible name is the caption beside it, and a reader hears
// the value itself as the label's text.
QLabel *makeValue(QWidget &parent, const QString &caption)
{
    auto *value = new QLabel(&parent);
    value->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    value->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    value->setAccessibleDescription(caption);
    value->setMinimumWidth(120);
    return value;
}

} // namespace

CAboutDialog::CAboutDialog(const IdentityServices &services, QWidget *parent)
    : IdentityWindow(services, QStringLiteral("About This Control"), parent)
{
    buildControls();
    connectControls();

    Register();
    setUserIdLocked(true);
    static_cast<QLabel *>(FindControl(AboutId::ToolName))->setText(QStringLiteral("QN-5200R-RL Control Tool"));
    static_cast<QLabel *>(FindControl(AboutId::ToolVersion))->setText(QStringLiteral(QN_PROJECT_VERSION));
    auto *link = static_cast<CLabel *>(FindControl(AboutId::WebLink));
    link->SetLink(true);
    link->SetTextColor(QColor(0, 0, 255));
    link->SetFontUnderline(true);
    link->SetHoverCursor(QCursor(Qt::PointingHandCursor));
    fillHelpList();
    showPlaceholders();
    readCamera();
    const bool extended = ExtendedMode();
    for (QLineEdit *part : deviceVersion_)
        part->setEnabled(extended);
    saveDeviceVersion_->setVisible(extended);
}

void CAboutDialog::buildControls()
{
    auto *icon = new QLabel(this);
    icon->setPixmap(QPixmap(QStringLiteral(":/res/icon-501.png")));
    icon->setFixedSize(32, 32);
    icon->setScaledContents(true);
    icon->setAccessibleName(QStringLiteral("Program icon"));
    auto *toolName = new QLabel(this);
    QFont bold = toolName->font();
    bold.setBold(true);
    toolName->setFont(bold);
    controls_.Register(AboutId::ToolName, *toolName);
    auto *versionCaption = new QLabel(QStringLiteral("Version:"), this);
    auto *toolVersion = new QLabel(this);
    toolVersion->setAccessibleDescription(QStringLiteral("Version:"));
    controls_.Register(AboutId::ToolVersion, *toolVersion);
    auto *link = new CLabel(services_.openUrl, this);
    link->setText(QString::fromLatin1(kWebAddress));
    link->setAccessibleName(QString::fromLatin1(kWebAddress));
    link->setAccessibleDescription(QStringLiteral("Web link"));
    controls_.Register(AboutId::WebLink, *link);

    auto *heading = new QGridLayout;
    heading->addWidget(icon, 0, 0, 3, 1, Qt::AlignTop);
    heading->addWidget(toolName, 0, 1, 1, 2);
    heading->addWidget(versionCaption, 1, 1);
    heading->addWidget(toolVersion, 1, 2);
    heading->addWidget(link, 2, 1, 1, 2);
    heading->setColumnStretch(2, 1);

    // Camera data.
    auto *cameraGroup = new QGroupBox(QStringLiteral("Camera Data"), this);
    cameraGroup->setAccessibleName(QStringLiteral("Camera Data"));
    auto *grid = new QGridLayout(cameraGroup);
    int row = 0;
    const auto addValue = [&](int controlId, const QString &caption) {
        QLabel *value = makeValue(*this, caption);
        controls_.Register(controlId, *value);
        auto *label = new QLabel(caption, this);
        label->setBuddy(value);
        grid->addWidget(label, row, 0);
        grid->addWidget(value, row, 1, 1, 2);
        ++row;
        return value;
    };
    modelName_ = addValue(AboutId::ModelName, QStringLiteral("Model Name"));
    cameraId_ = addValue(AboutId::CameraId, QStringLiteral("Camera ID"));
    firmware_ = addValue(AboutId::Firmware, QStringLiteral("Firmware Version"));
    fpga_ = addValue(AboutId::Fpga, QStringLiteral("FPGA Version"));

    auto *deviceCaption = new QLabel(QStringLiteral("Device Version"), this);
    auto *parts = new QHBoxLayout;
    for (std::size_t i = 0; i < deviceVersion_.size(); ++i) {
        if (i > 0)
            parts->addWidget(new QLabel(QStringLiteral("."), this));
        QLineEdit *part = MakeEdit(AboutId::DeviceVersion[i], QStringLiteral("Device Version part %1").arg(i + 1));
        part->setFixedWidth(part->fontMetrics().horizontalAdvance(QStringLiteral("WW")) + 12);
        part->setAlignment(Qt::AlignCenter);
        parts->addWidget(part);
        deviceVersion_[i] = part;
    }
    deviceCaption->setBuddy(deviceVersion_[0]);
    parts->addStretch(1);
    saveDeviceVersion_ = MakeButton(AboutId::SaveDeviceVersion, QStringLiteral("Save Dev Ver"));
    parts->addWidget(saveDeviceVersion_);
    grid->addWidget(deviceCaption, row, 0);
    grid->addLayout(parts, row, 1, 1, 2);
    ++row;

    userId_ = MakeEdit(AboutId::UserId, QStringLiteral("User ID"));
    auto *userCaption = new QLabel(QStringLiteral("User ID"), this);
    userCaption->setBuddy(userId_);
    saveUserId_ = MakeButton(AboutId::SaveUserId, QStringLiteral("Save User ID"));
    grid->addWidget(userCaption, row, 0);
    grid->addWidget(userId_, row, 1);
    grid->addWidget(saveUserId_, row, 2);
    ++row;

    protect_ = new QRadioButton(QStringLiteral("Protect User ID"), this);
    controls_.Register(AboutId::ProtectUserId, *protect_);
    enableEdit_ = new QRadioButton(QStringLiteral("Enable To Edit User ID"), this);
    controls_.Register(AboutId::EnableUserIdEdit, *enableEdit_);
    auto *lock = new QHBoxLayout;
    lock->addWidget(protect_);
    lock->addWidget(enableEdit_);
    lock->addStretch(1);
    grid->addLayout(lock, row, 1, 1, 2);
    grid->setColumnStretch(1, 1);

    // Help documents.
    auto *helpGroup = new QGroupBox(QStringLiteral("Help"), this);
    helpGroup->setAccessibleName(QStringLiteral("Help"));
    helpFiles_ = new QComboBox(this);
    helpFiles_->setAccessibleName(QStringLiteral("Help File"));
    controls_.Register(AboutId::HelpFiles, *helpFiles_);
    auto *helpCaption = new QLabel(QStringLiteral("Help File"), this);
    helpCaption->setBuddy(helpFiles_);
    auto *help = new QHBoxLayout(helpGroup);
    help->addWidget(helpCaption);
    help->addWidget(helpFiles_, 1);
    help->addWidget(MakeButton(AboutId::ViewHelpFile, QStringLiteral("View Help File")));

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(heading);
    layout->addWidget(cameraGroup);
    layout->addWidget(helpGroup);
    layout->addWidget(MakeStrip(AboutId::StatusStrip));
    resize(520, sizeHint().height());
}

void CAboutDialog::connectControls()
{
    connect(protect_, &QRadioButton::clicked, this, &CAboutDialog::OnProtectUserId);
    connect(enableEdit_, &QRadioButton::clicked, this, &CAboutDialog::OnEnableUserIdEdit);
    connect(saveUserId_, &QPushButton::clicked, this, &CAboutDialog::OnSaveUserId);
    connect(saveDeviceVersion_, &QPushButton::clicked, this, &CAboutDialog::OnSaveDeviceVersion);
    connect(static_cast<QPushButton *>(FindControl(AboutId::ViewHelpFile)), &QPushButton::clicked, this,
            &CAboutDialog::OnViewHelpFile);
}

void CAboutDialog::setUserIdLocked(bool locked)
{
    userId_->setEnabled(!locked);
    saveUserId_->setEnabled(!locked);
    protect_->setChecked(locked);
    enableEdit_->setChecked(!locked);
}

void CAboutDialog::fillHelpList()
{
    const QStringList names = QDir::current().entryList({QStringLiteral("*.pdf")}, QDir::Files, QDir::Name);
    helpFiles_->addItems(names);
    helpFiles_->setCurrentIndex(names.isEmpty() ? -1 : 0);
}

void CAboutDialog::showPlaceholders()
{
    modelName_->setText(kNamePlaceholder);
    cameraId_->setText(kNamePlaceholder);
    firmware_->setText(kVersionPlaceholder);
    fpga_->setText(kVersionPlaceholder);
    for (QLineEdit *part : deviceVersion_)
        part->setText(kPartPlaceholder);
    userId_->setText(kUserIdPlaceholder);
}

void CAboutDialog::readCamera()
{
    Command &command = services_.command;
    QString text;
    // A camera that does not give its firmware version is taken to be away: no more waiting.
    if (!command.QueryString(CommandId::VN, text, kAboutReadMs))
        return;
    firmware_->setText(text);
    if (IdentifyModel(command, services_.cameraModel, services_.dialogs))
        modelName_->setText(services_.cameraModel.Name());
    const auto readInto = [&](int commandId, auto *control) {
        QString value;
        if (command.QueryString(commandId, value, kAboutReadMs))
            control->setText(value);
    };
    readInto(CommandId::ID, cameraId_);
    readInto(CommandId::FPVN, fpga_);
    readInto(CommandId::UD, userId_);
    showDeviceVersion();
}

void CAboutDialog::showDeviceVersion()
{
    QString reply;
    if (!services_.command.QueryString(CommandId::DV, reply, kAboutReadMs))
        return;
    if (const std::optional<DeviceVersionParts> parts = SplitDeviceVersion(reply)) {
        for (std::size_t i = 0; i < deviceVersion_.size(); ++i)
            deviceVersion_[i]->setText((*parts)[i]);
    }
}

void CAboutDialog::OnProtectUserId()
{
    setUserIdLocked(true);
}

void CAboutDialog::OnEnableUserIdEdit()
{
    setUserIdLocked(false);
}

void CAboutDialog::OnSaveUserId()
{
    SaveUserId(services_.command, services_.dialogs, userId_->text());
}

void CAboutDialog::OnSaveDeviceVersion()
{
    DeviceVersionParts texts;
    for (std::size_t i = 0; i < deviceVersion_.size(); ++i)
        texts[i] = deviceVersion_[i]->text();
    SaveDeviceVersion(services_.command, services_.dialogs, texts);
}

void CAboutDialog::OnViewHelpFile()
{
    if (helpFiles_->currentIndex() < 0) {
        services_.dialogs.Message(QStringLiteral("No file was selected !!"), QString(), MessageIcon::Stop);
        return;
    }
    if (services_.openUrl)
        services_.openUrl(QUrl::fromLocalFile(QDir::current().absoluteFilePath(helpFiles_->currentText())));
}
