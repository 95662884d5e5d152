#include "core/composition/CoreObjects.h"

CoreObjects::CoreObjects(Dialogs &dialogs, const QString &settingsPath, TickClock clock)
    : settings(settingsPath),
      cameraLink(MakeCameraLinkPorts(settings, dialogs)),
      comPort(settings, dialogs),
      serialLink(settings, comPort, {&cameraLink[0], &cameraLink[1], &cameraLink[2]}, lineLog, clock),
      controlMode(settings),
      controlTable(dialogs)
{
}
