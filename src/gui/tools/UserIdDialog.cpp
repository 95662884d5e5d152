#include "gui/tools/UserIdDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/protocol/Command.h"
#include "core/protocol/CommandIds.h"
#include "core/operations/IdentityWrites.h"

namespace {
constexpr std::uint32_t kReadMs = 5000;
} // namespace

CUserIdDialog::CUserIdDialog(const IdentityServices &services, QWidget *parent)
    : IdentityWindow(services, QStringLiteral("User Id"), parent)
{
    userId_ = MakeEdit(kUserIdEdit, QStringLiteral("User ID"));
    auto *caption = new QLabel(QStringLiteral("User ID"), this);
    caption->setBuddy(userId_);
    QPushButton *save = MakeButton(kSaveButton, QStringLiteral("Save"));
    connect(save, &QPushButton::clicked, this, &CUserIdDialog::OnSave);

    auto *row = new QHBoxLayout;
    row->addWidget(caption);
    row->addWidget(userId_, 1);
    row->addWidget(save);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(MakeStrip(kStatusStrip));
    resize(420, sizeHint().height());

    Register();
    QString text;
    if (!services_.command.QueryString(CommandId::UD, text, kReadMs))
        text = QStringLiteral("????????????????");
    userId_->setText(text);
}

void CUserIdDialog::OnSave()
{
    SaveUserId(services_.command, services_.dialogs, userId_->text());
}
