#include "app/AppContext.h"

AppContext::AppContext(Dialogs &dialogs, const QString &settingsPath, TickClock clock)
    : dialogs_(dialogs),
      settings_(settingsPath),
      cameraLink_(MakeCameraLinkPorts(settings_, dialogs_)),
      comPort_(settings_, dialogs_),
      serialLink_(settings_, comPort_, {&cameraLink_[0], &cameraLink_[1], &cameraLink_[2]}, lineLog_, clock),
      controlMode_(settings_),
      controlTable_(dialogs_),
      commandEvents_(onlineStatus_),
      command_(commandTable_, serialLink_, dialogs_, lineLog_, commandEvents_, clock)
{
}

AppContext::~AppContext() = default;
