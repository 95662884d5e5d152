#pragma once

#include <optional>

#include <QString>

#include "core/session/PreferenceCopy.h"
#include "core/session/SessionOptions.h"
#include "core/composition/CoreObjects.h"
#include "core/operations/CameraProcedures.h"
#include "core/protocol/Command.h"
#include "core/protocol/CommandEvents.h"
#include "core/transport/LinkLossListener.h"

class Dialogs;

// How a call of a front end without windows ended: qnctl's exit statuses, and the Python
// module's exception classes, one per status.
// Differs: the camera does not hold what a setting file sets (diff, verify).
// 6: a setting file that sets no parameter of the camera, so nothing was compared (diff,
// verify). 7: the station's standard output was closed (a reader of its verdicts went away).
enum class ExitStatus : int {
    Done = 0,
    Refused = 1,
    Usage = 2,
    NoCamera = 3,
    FileError = 4,
    Differs = 5,
    NothingVerified = 6,
    OutputClosed = 7,
};

// Why a run failed, for a script: kind is one of "refused", "usage", "no-camera", "link-lost",
// "file", "differences", "nothing-verified"; device is set for "no-camera" and "link-lost".
struct SessionFailure {
    QString kind;
    QString device;
    QString reason;
};

// The outcome of the engine's last exchange, or of an exchange, as an exit status.
ExitStatus StatusOfLastExchange(const Command &command);
ExitStatus StatusOfExchangeOutcome(Command::Outcome outcome);
// A calibration or one-shot function: Done on its success code, Refused on another code or a
// refused start, the exchange's status when the camera did not answer.
ExitStatus StatusOfProcedure(const ProcedureResult &result);

// The engine's reports have no window to go to.
class SilentCommandEvents final : public CommandEvents {
public:
    void WaitCursor(bool) override {}
    void SetOnline(bool) override {}
};

// The core objects of one run of a front end without windows (qnctl, the Python module), as the
// windows have them. The
// run works on a private copy of the preference file, so the stored preferences (link choice,
// rate, mode, shutdown marker) are read but only written back on request.
class CameraSession final : public LinkLossListener {
public:
    CameraSession(const SessionOptions &options, Dialogs &dialogs);
    ~CameraSession() override;
    CameraSession(const CameraSession &) = delete;
    CameraSession &operator=(const CameraSession &) = delete;

    // Opens the chosen link and finds the camera: at a fixed rate, one model query; otherwise
    // the windows' start-up search and the move to 115200 bit/s. NoCamera with the reason
    // printed when the port does not open or nothing answers.
    ExitStatus Connect();
    // Connect, for a bench where the camera is being plugged in: waits up to the time for the
    // device to appear and the camera to answer, trying again every second. NoCamera with the
    // reason when the time runs out.
    ExitStatus ConnectWhenThere(int seconds);
    // Connect without a word when the port does not open or nothing answers, for a loop that
    // looks again: true when a camera answered.
    bool ConnectQuietly() { return findCamera() == Search::Found; }
    // Finds the camera at the rate it has, with model queries only, instead of moving it to
    // 115200 bit/s: for a camera on a running line.
    void SetQueriesOnly(bool queriesOnly) { queriesOnly_ = queriesOnly; }
    // While set, a lost link is not told: for a wait in which the loss is the awaited news.
    void SetLossQuiet(bool quiet) { lossQuiet_ = quiet; }

    // A lost link is told on standard error at once; the command's exchanges then fail at
    // once and the run ends with NoCamera.
    void LinkLost(const QString &device, const QString &reason) override;
    bool LostLink() const { return lostLink_; }

    // What the link reaches, in the operator's words: the device path or address given on the
    // command line, or the COM name and its device, or the Camera Link port.
    QString LinkDescription() const;
    // Why the camera could not be reached, once Connect or the link failed.
    const std::optional<SessionFailure> &Failure() const { return failure_; }
    // The device a COM link opens ("/dev/ttyUSB0", or a network address); empty for Camera Link.
    QString DevicePath() const;

    Dialogs &dialogs() { return dialogs_; }
    SettingsStore &settings() { return core_.settings; }
    SerialLink &serialLink() { return core_.serialLink; }
    LineLogFanout &lineLog() { return core_.lineLog; }
    ControlModeSetting &controlMode() { return core_.controlMode; }
    CommandTable &commandTable() { return core_.commandTable; }
    ControlTable &controlTable() { return core_.controlTable; }
    CameraModel &cameraModel() { return core_.cameraModel; }
    Command &command() { return command_; }
    bool IsExtended() const { return core_.controlMode.Get() == 1; }

private:
    enum class Search { NotOpened, NoAnswer, Found };
    Search findCamera();
    ExitStatus report(Search result);

    const SessionOptions &options_;
    Dialogs &dialogs_;
    PreferenceCopy preferences_;
    CoreObjects core_;
    SilentCommandEvents commandEvents_;
    Command command_;
    std::optional<SessionFailure> failure_;
    bool lostLink_ = false;
    bool lossQuiet_ = false;
    bool queriesOnly_ = false;
};

// Why the procedure of this name cannot run on the session's camera (an unknown name, a factory
// procedure outside the extended mode); empty when it can.
QString CheckProcedure(const CameraSession &session, const QString &name);
