#pragma once

#include <array>

#include <QString>

#include "core/common/TickClock.h"
#include "core/composition/CoreObjects.h"
#include "core/protocol/Command.h"
#include "gui/common/OnlineStatus.h"
#include "gui/common/UiCommandEvents.h"
#include "gui/common/WindowList.h"
#include "gui/operations/OperationGuard.h"
#include "gui/operations/ProgressWindow.h"

class Dialogs;

// Owns the process-wide objects. Members are declared in creation order, so they are
// destroyed in reverse: the engine first, then the windows' registries, then the core objects
// (see CoreObjects for their order; the settings store is last out).
class AppContext {
public:
    AppContext(Dialogs &dialogs, const QString &settingsPath, TickClock clock = TickClock());
    ~AppContext();
    AppContext(const AppContext &) = delete;
    AppContext &operator=(const AppContext &) = delete;

    Dialogs &dialogs() { return dialogs_; }
    SettingsStore &settings() { return core_.settings; }
    ComPort &comPort() { return core_.comPort; }
    CameraLinkPort &cameraLink(LinkKind kind) { return core_.cameraLink[static_cast<std::size_t>(kind) - 1]; }
    LineLogFanout &lineLog() { return core_.lineLog; }
    SerialLink &serialLink() { return core_.serialLink; }
    ControlModeSetting &controlMode() { return core_.controlMode; }
    CommandTable &commandTable() { return core_.commandTable; }
    ControlTable &controlTable() { return core_.controlTable; }
    CameraModel &cameraModel() { return core_.cameraModel; }
    OnlineStatus &onlineStatus() { return onlineStatus_; }
    WindowList &windowList() { return windowList_; }
    CProgressBarDialog &progress() { return progress_; }
    OperationGuard &operations() { return operations_; }
    Command &command() { return command_; }

private:
    Dialogs &dialogs_;
    CoreObjects core_;
    OnlineStatus onlineStatus_;
    WindowList windowList_;
    CProgressBarDialog progress_;
    OperationGuard operations_;
    UiCommandEvents commandEvents_;
    Command command_;
};
