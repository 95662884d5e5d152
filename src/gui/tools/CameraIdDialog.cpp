#include "gui/tools/CameraIdDialog.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/protocol/Command.h"
#include "core/protocol/CommandIds.h"
#include "core/operations/IdentityWrites.h"

namespace {
constexpr std::uint32_t kReadMs = 5000;
} // namespace

CCameraIdDialog::CCameraIdDialog(const IdentityServices &services, QWidget *parent)
    : IdentityWindow(services, QStringLiteral("Camera Id"), parent)
{
    auto *group = new QGroupBox(QStringLiteral("Camera Id"), this);
    group->setAccessibleName(QStringLiteral("Camera Id"));
    auto *fields = new QHBoxLayout(group);
    for (std::size_t i = 0; i < characters_.size(); ++i) {
        QLineEdit *edit = MakeEdit(kCharacterEdits[i], QStringLiteral("Camera Id character %1").arg(i + 1));
        edit->setMaxLength(1);
        edit->setAlignment(Qt::AlignCenter);
        edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QLatin1Char('W')) * 2 + 8);
        fields->addWidget(edit);
        characters_[i] = edit;
    }
    QPushButton *save = MakeButton(kSaveButton, QStringLiteral("Save"));
    connect(save, &QPushButton::clicked, this, &CCameraIdDialog::OnSave);

    auto *row = new QHBoxLayout;
    row->addWidget(group, 1);
    row->addWidget(save);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(MakeStrip(kStatusStrip));

    Register();
    QString id;
    if (services_.command.QueryString(CommandId::ID, id, kReadMs)) {
        for (std::size_t i = 0; i < characters_.size(); ++i) {
            const auto at = static_cast<qsizetype>(i);
            characters_[i]->setText(at < id.size() ? QString(id.at(at)) : QString());
        }
    }
    save->setVisible(ExtendedMode());
}

void CCameraIdDialog::OnSave()
{
    std::array<QString, kCameraIdCharacters> texts;
    for (std::size_t i = 0; i < characters_.size(); ++i)
        texts[i] = characters_[i]->text();
    SaveCameraId(services_.command, services_.dialogs, texts);
}
