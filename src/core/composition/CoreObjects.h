#pragma once

#include <QString>

#include "core/common/LineLog.h"
#include "core/common/TickClock.h"
#include "core/protocol/CameraModel.h"
#include "core/protocol/CommandTable.h"
#include "core/protocol/ControlTable.h"
#include "core/settings/ControlModeSetting.h"
#include "core/settings/SettingsStore.h"
#include "core/transport/CameraLinkPort.h"
#include "core/transport/ComPort.h"
#include "core/transport/SerialLink.h"

class Dialogs;

// The process-wide objects that both front ends need below the command engine, in creation
// order, so they are destroyed in reverse: the control mode (writes its preference), the link
// (writes the link preferences), the COM port (closes), the Camera Link transports; the
// settings store is first in and last out and writes the clean-shutdown marker after every
// other holder has written its preferences.
struct CoreObjects {
    CoreObjects(Dialogs &dialogs, const QString &settingsPath, TickClock clock);
    CoreObjects(const CoreObjects &) = delete;
    CoreObjects &operator=(const CoreObjects &) = delete;

    SettingsStore settings;
    CameraLinkPorts cameraLink; // kinds 1, 2, 3
    ComPort comPort;
    LineLogFanout lineLog;
    SerialLink serialLink;
    ControlModeSetting controlMode;
    CommandTable commandTable;
    ControlTable controlTable;
    CameraModel cameraModel;
};
