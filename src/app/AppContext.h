#pragma once

#include <array>

#include <QString>

#include "common/LineLog.h"
#include "common/TickClock.h"
#include "operations/ProgressWindow.h"
#include "protocol/CameraModel.h"
#include "protocol/Command.h"
#include "protocol/CommandTable.h"
#include "protocol/ControlTable.h"
#include "settings/ControlModeSetting.h"
#include "settings/SettingsStore.h"
#include "transport/CameraLinkPort.h"
#include "transport/ComPort.h"
#include "transport/SerialLink.h"
#include "ui/common/OnlineStatus.h"
#include "ui/common/UiCommandEvents.h"
#include "ui/common/WindowList.h"

class Dialogs;

// Owns the process-wide objects. Members are declared in creation order, so they are
// destroyed in reverse: the engine first; then the control mode (writes its preference), the
// link (writes the link preferences), the COM port (closes), the Camera Link transports; the
// settings store is first in and last out and writes the clean-shutdown marker after every
// other holder has written its preferences.
class AppContext {
public:
    AppContext(Dialogs &dialogs, const QString &settingsPath, TickClock clock = TickClock());
    ~AppContext();
    AppContext(const AppContext &) = delete;
    AppContext &operator=(const AppContext &) = delete;

    Dialogs &dialogs() { return dialogs_; }
    SettingsStore &settings() { return settings_; }
    ComPort &comPort() { return comPort_; }
    CameraLinkPort &cameraLink(LinkKind kind) { return cameraLink_[static_cast<std::size_t>(kind) - 1]; }
    LineLogFanout &lineLog() { return lineLog_; }
    SerialLink &serialLink() { return serialLink_; }
    ControlModeSetting &controlMode() { return controlMode_; }
    CommandTable &commandTable() { return commandTable_; }
    ControlTable &controlTable() { return controlTable_; }
    CameraModel &cameraModel() { return cameraModel_; }
    OnlineStatus &onlineStatus() { return onlineStatus_; }
    WindowList &windowList() { return windowList_; }
    CProgressBarDialog &progress() { return progress_; }
    Command &command() { return command_; }

private:
    Dialogs &dialogs_;
    SettingsStore settings_;
    CameraLinkPorts cameraLink_; // kinds 1, 2, 3
    ComPort comPort_;
    LineLogFanout lineLog_;
    SerialLink serialLink_;
    ControlModeSetting controlMode_;
    CommandTable commandTable_;
    ControlTable controlTable_;
    CameraModel cameraModel_;
    OnlineStatus onlineStatus_;
    WindowList windowList_;
    CProgressBarDialog progress_;
    UiCommandEvents commandEvents_;
    Command command_;
};
