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

void UiCommandEvents::SetOnline(bool online)
{
    onlineStatus_.SetOnline(online);
}
