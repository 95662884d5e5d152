#pragma once

#include <array>

#include <QString>

#include "cli/CliOptions.h"
#include "cli/PreferenceCopy.h"
#include "common/LineLog.h"
#include "protocol/CameraModel.h"
#include "protocol/Command.h"
#include "protocol/CommandEvents.h"
#include "protocol/CommandTable.h"
#include "protocol/ControlTable.h"
#include "settings/ControlModeSetting.h"
#include "settings/SettingsStore.h"
#include "transport/CameraLinkPort.h"
#include "transport/ComPort.h"
#include "transport/SerialLink.h"

class Dialogs;

// The exit statuses of the command-line front end.
enum class ExitStatus : int { Done = 0, Refused = 1, Usage = 2, NoCamera = 3, FileError = 4 };

// The engine's reports have no window to go to.
class SilentCommandEvents final : public CommandEvents {
public:
    void WaitCursor(bool) override {}
    void SetOnline(bool) override {}
};

// The core objects of one run of the command-line front end, in the order the windows create
// them. The run works on a private copy of the preference file, so the stored preferences
// (link choice, rate, mode, shutdown marker) are read but only written back on request.
class CliSession {
public:
    CliSession(const CliOptions &options, Dialogs &dialogs);
    ~CliSession();
    CliSession(const CliSession &) = delete;
    CliSession &operator=(const CliSession &) = delete;

    // Opens the chosen link and finds the camera: at a fixed rate, one model query; otherwise
    // the windows' start-up search and the move to 115200 bit/s. NoCamera with the reason
    // printed when the port does not open or nothing answers.
    ExitStatus Connect();

    // What the link reaches: the COM name and its device, or the Camera Link port.
    QString LinkDescription() const;

    Dialogs &dialogs() { return dialogs_; }
    SettingsStore &settings() { return settings_; }
    SerialLink &serialLink() { return serialLink_; }
    LineLogFanout &lineLog() { return lineLog_; }
    ControlModeSetting &controlMode() { return controlMode_; }
    CommandTable &commandTable() { return commandTable_; }
    ControlTable &controlTable() { return controlTable_; }
    CameraModel &cameraModel() { return cameraModel_; }
    Command &command() { return command_; }
    bool IsExtended() const { return controlMode_.Get() == 1; }

private:
    const CliOptions &options_;
    Dialogs &dialogs_;
    PreferenceCopy preferences_;
    SettingsStore settings_;
    CameraLinkPorts cameraLink_; // kinds 1, 2, 3
    ComPort comPort_;
    LineLogFanout lineLog_;
    SerialLink serialLink_;
    ControlModeSetting controlMode_;
    CommandTable commandTable_;
    ControlTable controlTable_;
    CameraModel cameraModel_;
    SilentCommandEvents commandEvents_;
    Command command_;
};
