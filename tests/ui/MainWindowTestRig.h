#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

#include <QApplication>
#include <QByteArray>
#include <QElapsedTimer>

#include "CameraSimulator.h"
#include "TestApplication.h"
#include "gui/app/AppContext.h"
#include "gui/main/CCtrlToolDlg.h"
#include "support/ScriptedDialogs.h"
#include "support/TempSettings.h"

// A whole application on a temporary settings file, with a simulated camera behind COM1.
struct MainWindowRig {
    struct Options {
        int cameraBaud = 115200;
        QString model = QStringLiteral("QN-5200RL-BDXP");
        int controlMode = 0;
        bool cameraAnswers = true;
        bool portExists = true;
        TickClock clock = TickClock(); // the engine's and the link's clock
        int linkKind = 0;             // the stored "Communication Mode"
        QByteArray preferences{};     // more lines for the [General] group
        QByteArray ports{};           // more lines for the [Ports] group
        QByteArray groups{};          // more groups after [Ports], with their headers
        // COM1 opens this link to the camera's line instead of the line itself, like a
        // /dev/serial/by-id name: the camera can then be unplugged and plugged back.
        QString linkPath{};
    };

    explicit MainWindowRig(const Options &options);
    ~MainWindowRig();

    // Builds the main window and runs its start-up; returns how long the start-up took (ms).
    qint64 Start();
    // Ends the run as the program does: window first, then the process-wide objects.
    void Finish();

    // The lines the camera understood, in order.
    QList<QByteArray> Received() const { return simulator->ReceivedLines(); }
    QStringList BoxTexts() const { return dialogs.MessageTexts(); }
    // Runs the event loop (timers included) until done() holds or the time is over; done()'s
    // last answer.
    static bool RunEventsUntil(const std::function<bool()> &done, int timeoutMs);

    QApplication &application = TestApplication();
    std::unique_ptr<CameraSimulator> simulator;
    TempSettings temp;
    ScriptedDialogs dialogs;
    std::unique_ptr<AppContext> context;
    std::unique_ptr<CCtrlToolDlg> window;
};

// Pulls the camera's cable from another thread once the camera has understood so many lines
// (counted from the last clearing of its wire log), as an operator might in mid-operation.
class Unplugger {
public:
    Unplugger(CameraSimulator &camera, int afterLines);
    ~Unplugger();
    Unplugger(const Unplugger &) = delete;
    Unplugger &operator=(const Unplugger &) = delete;

    // Milliseconds since the cable was pulled; -1 while it was not.
    qint64 MsSinceUnplug() const;

private:
    std::atomic<qint64> unpluggedAtMs_{-1};
    std::thread thread_;
};
