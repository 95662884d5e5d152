#include "gui/tools/IdentityWindow.h"

#include <QLineEdit>
#include <QPushButton>

#include "core/settings/ControlModeSetting.h"
#include "gui/common/WindowList.h"

IdentityWindow::IdentityWindow(const IdentityServices &services, const QString &title, QWidget *parent)
    : QDialog(parent), services_(services)
{
    setWindowTitle(title);
    setAccessibleName(title);
}

IdentityWindow::~IdentityWindow()
{
    if (registered_) {
        services_.onlineStatus.Unregister(*this);
        services_.windowList.Unregister(*this);
    }
}

void IdentityWindow::OnOnlineStatusChanged(int /*online*/)
{
}

void IdentityWindow::Register()
{
    services_.onlineStatus.Register(*this);
    services_.windowList.Register(*this);
    registered_ = true;
}

bool IdentityWindow::ExtendedMode() const
{
    return services_.controlMode.Get() == 1;
}

QPushButton *IdentityWindow::MakeButton(int controlId, const QString &text)
{
    auto *button = new QPushButton(text, this);
    button->setAutoDefault(false);
    controls_.Register(controlId, *button);
    return button;
}

QLineEdit *IdentityWindow::MakeEdit(int controlId, const QString &accessibleName)
{
    auto *edit = new QLineEdit(this);
    edit->setAccessibleName(accessibleName);
    controls_.Register(controlId, *edit);
    return edit;
}

QLabel *IdentityWindow::MakeStrip(int controlId)
{
    QLabel *strip = MakeStatusStrip(*this, controlId);
    controls_.Register(controlId, *strip);
    SetStatusStrip(strip);
    return strip;
}
