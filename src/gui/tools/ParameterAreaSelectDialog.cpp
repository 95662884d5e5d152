#include "gui/tools/ParameterAreaSelectDialog.h"

#include <array>

#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/settings/ControlModeSetting.h"
#include "gui/common/WindowList.h"

namespace {

const QString kFactoryEntry = QStringLiteral("Factory");
constexpr std::array<const char *, 3> kUserEntries = {"User 1", "User 2", "User 3"};

struct ModeTexts {
    const char *title;
    const char *prompt;
};
constexpr ModeTexts kStoreTexts = {"Store setting data", "Select the flash memory area to save setting data"};
constexpr ModeTexts kLoadTexts = {"Load setting data", "Select the flash memory area to load setting data"};

} // namespace

QStringList CParameterAreaSelectDialog::AreaEntries(int mode, bool extendedMode)
{
    QStringList entries;
    if (mode == Load || extendedMode)
        entries << kFactoryEntry;
    for (const char *entry : kUserEntries)
        entries << QString::fromLatin1(entry);
    return entries;
}

int CParameterAreaSelectDialog::AreaOfEntry(const QString &entry)
{
    if (entry == kFactoryEntry)
        return 0;
    for (std::size_t i = 0; i < kUserEntries.size(); ++i) {
        if (entry == QLatin1String(kUserEntries[i]))
            return static_cast<int>(i) + 1;
    }
    return kInvalidArea;
}

CParameterAreaSelectDialog::CParameterAreaSelectDialog(const Services &services, int mode, QWidget *parent)
    : QDialog(parent), services_(services), mode_(mode)
{
    const ModeTexts &texts = mode_ == Load ? kLoadTexts : kStoreTexts;
    const QString prompt = QString::fromLatin1(texts.prompt);
    setWindowTitle(QString::fromLatin1(texts.title));
    setAccessibleName(windowTitle());

    auto *promptLabel = new QLabel(prompt, this);
    promptLabel->setAlignment(Qt::AlignCenter);
    controls_.Register(kPrompt, *promptLabel);

    areaList_ = new QComboBox(this);
    areaList_->setAccessibleName(prompt);
    areaList_->setMinimumContentsLength(10);
    promptLabel->setBuddy(areaList_);
    controls_.Register(kAreaList, *areaList_);

    auto *separator = new QFrame(this);
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);
    controls_.Register(kSeparator, *separator);

    // OK is the default button: Enter in the list chooses the shown area, Escape cancels.
    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    controls_.Register(kOkButton, *ok);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    controls_.Register(kCancelButton, *cancel);
    connect(ok, &QPushButton::clicked, this, &CParameterAreaSelectDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &CParameterAreaSelectDialog::reject);

    auto *listRow = new QHBoxLayout;
    listRow->addStretch(1);
    listRow->addWidget(areaList_, 2);
    listRow->addStretch(1);
    auto *buttonRow = new QHBoxLayout;
    buttonRow->addStretch(1);
    buttonRow->addWidget(ok);
    buttonRow->addStretch(1);
    buttonRow->addWidget(cancel);
    buttonRow->addStretch(1);
    QLabel *strip = MakeStatusStrip(*this, kStatusStrip);
    controls_.Register(kStatusStrip, *strip);
    SetStatusStrip(strip);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(promptLabel);
    layout->addLayout(listRow);
    layout->addWidget(separator);
    layout->addLayout(buttonRow);
    layout->addWidget(strip);
    setTabOrder(areaList_, ok);
    setTabOrder(ok, cancel);

    services_.onlineStatus.Register(*this);
    services_.windowList.Register(*this);

    areaList_->clear();
    areaList_->addItems(AreaEntries(mode_, services_.controlMode.Get() == 1));
    areaList_->setCurrentIndex(0);
    areaList_->setFocus();
}

CParameterAreaSelectDialog::~CParameterAreaSelectDialog()
{
    services_.onlineStatus.Unregister(*this);
    services_.windowList.Unregister(*this);
}

void CParameterAreaSelectDialog::accept()
{
    chosenArea_ = AreaOfEntry(areaList_->currentText());
    QDialog::accept();
}
