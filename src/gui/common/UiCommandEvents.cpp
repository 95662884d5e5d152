#include "gui/common/UiCommandEvents.h"

#include <QApplication>

#include "gui/common/OnlineStatus.h"

void UiCommandEvents::WaitCursor(bool on)
{
    if (on)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void UiCommandEvents::Waiting()
{
    // Layouts and paints only: no input and no timers, so nothing here can start another
    // exchange while this one waits.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
}

void UiCommandEvents::SetOnline(bool online)
{
    onlineStatus_.SetOnline(online);
}
