#include "app/AppContext.h"

AppContext::AppContext(Dialogs &dialogs, const QString &settingsPath)
    : dialogs_(dialogs), settings_(settingsPath), controlMode_(settings_)
{
}

AppContext::~AppContext() = default;
