#include "gui/operations/OperationGuard.h"

#include "core/common/Dialogs.h"

OperationGuard::Hold::Hold(OperationGuard &guard) : guard_(guard)
{
    guard_.acquire();
}

OperationGuard::Hold::~Hold()
{
    guard_.release();
}

void OperationGuard::AddStarter(QWidget &starter)
{
    starters_.Register(starter);
    if (Running())
        starter.setEnabled(false);
}

bool OperationGuard::Refuses(Dialogs &dialogs) const
{
    if (!Running())
        return false;
    dialogs.Message(QStringLiteral("A camera operation is in progress.\nPlease wait until it has finished."),
                    QString(), MessageIcon::Exclamation);
    return true;
}

void OperationGuard::acquire()
{
    if (holds_++ == 0)
        starters_.DisableAll();
}

void OperationGuard::release()
{
    if (--holds_ == 0)
        starters_.EnableAll();
}
