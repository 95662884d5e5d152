#pragma once

#include <memory>

#include <QString>

#include "settings/ControlModeSetting.h"
#include "settings/SettingsStore.h"

class Dialogs;

// Owns the process-wide objects. Members are declared in creation order, so they are
// destroyed in reverse: the settings store is first in and last out, and writes the
// clean-shutdown marker after every other holder has written its preferences.
class AppContext {
public:
    AppContext(Dialogs &dialogs, const QString &settingsPath);
    ~AppContext();
    AppContext(const AppContext &) = delete;
    AppContext &operator=(const AppContext &) = delete;

    Dialogs &dialogs() { return dialogs_; }
    SettingsStore &settings() { return settings_; }
    ControlModeSetting &controlMode() { return controlMode_; }

private:
    Dialogs &dialogs_;
    SettingsStore settings_;
    ControlModeSetting controlMode_;
};
