#include "MainWindowTestRig.h"

#include <chrono>

#include <QThread>

namespace {

qint64 steadyMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

MainWindowRig::MainWindowRig(const Options &options)
{
    SimulatorOptions simOptions;
    simOptions.baud = options.cameraBaud;
    simOptions.model = options.model;
    simOptions.linkPath = options.linkPath;
    simulator = std::make_unique<CameraSimulator>(simOptions);
    simulator->Start();
    if (!options.cameraAnswers)
        simulator->StopAnswering();
    const QString line = options.linkPath.isEmpty() ? simulator->SlavePath() : options.linkPath;
    const QByteArray device = options.portExists ? line.toLocal8Bit() : QByteArray("/nonexistent/tty");
    temp.WriteRaw("[General]\nPrevious%20Application%20Shutdown%20Status=1\nControl%20Mode=" +
                  QByteArray::number(options.controlMode) + "\nCommunication%20Mode=" +
                  QByteArray::number(options.linkKind) + "\n" + options.preferences + "[Ports]\nCOM1=" + device +
                  "\n" + options.ports + options.groups);
    context = std::make_unique<AppContext>(dialogs, temp.Path(), options.clock);
}

MainWindowRig::~MainWindowRig()
{
    Finish();
}

qint64 MainWindowRig::Start()
{
    window = std::make_unique<CCtrlToolDlg>(*context);
    QElapsedTimer timer;
    timer.start();
    window->Initialise();
    return timer.elapsed();
}

void MainWindowRig::Finish()
{
    window.reset();
    context.reset();
}

bool MainWindowRig::RunEventsUntil(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() >= timeoutMs)
            return done();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
    return true;
}

Unplugger::Unplugger(CameraSimulator &camera, int afterLines)
    : thread_([this, &camera, afterLines] {
          camera.WaitForReceivedLines(afterLines, 60000);
          camera.Unplug();
          unpluggedAtMs_.store(steadyMs());
      })
{
}

Unplugger::~Unplugger()
{
    thread_.join();
}

qint64 Unplugger::MsSinceUnplug() const
{
    const qint64 at = unpluggedAtMs_.load();
    return at < 0 ? -1 : steadyMs() - at;
}
