#include "gui/app/AppContext.h"

AppContext::AppContext(Dialogs &dialogs, const QString &settingsPath, TickClock clock)
    : dialogs_(dialogs),
      core_(dialogs, settingsPath, clock),
      commandEvents_(onlineStatus_),
      command_(core_.commandTable, core_.serialLink, dialogs_, core_.lineLog, commandEvents_, clock)
{
}

AppContext::~AppContext() = default;
