#include "gui/operations/OperationGuard.h"

#include <utility>

#include <QTimer>

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

void OperationGuard::AfterOperation(QObject &receiver, std::function<void()> run)
{
    afterwards_.emplace_back(&receiver, std::move(run));
    if (!Running())
        runAfterwards();
}

void OperationGuard::release()
{
    if (--holds_ > 0)
        return;
    starters_.EnableAll();
    runAfterwards();
}

void OperationGuard::runAfterwards()
{
    // Queued: the operation's own code is still on the stack below the last hold.
    for (auto &[receiver, run] : std::exchange(afterwards_, {})) {
        if (receiver)
            QTimer::singleShot(0, receiver.data(), std::move(run));
    }
}
