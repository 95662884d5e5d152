#include "gui/app/AppContext.h"

AppContext::AppContext(Dialogs &dialogs, const QString &settingsPath, TickClock clock)
    : dialogs_(dialogs),
      core_(dialogs, settingsPath, clock),
      commandEvents_(onlineStatus_),
      command_(core_.commandTable, core_.serialLink, dialogs_, core_.lineLog, commandEvents_, clock)
{
    // The operator's choice of the last run holds from the first exchange on.
    command_.SetFastReplies(core_.settings.FastReplies());
}

AppContext::~AppContext() = default;
