#include "MainWindowTestRig.h"

MainWindowRig::MainWindowRig(const Options &options)
{
    SimulatorOptions simOptions;
    simOptions.baud = options.cameraBaud;
    simOptions.model = options.model;
    simulator = std::make_unique<CameraSimulator>(simOptions);
    simulator->Start();
    if (!options.cameraAnswers)
        simulator->StopAnswering();
    const QByteArray device = options.portExists ? simulator->SlavePath().toLocal8Bit() : QByteArray("/nonexistent/tty");
    temp.WriteRaw("[General]\nPrevious%20Application%20Shutdown%20Status=1\nControl%20Mode=" +
                  QByteArray::number(options.controlMode) + "\nCommunication%20Mode=" +
                  QByteArray::number(options.linkKind) + "\n" + options.preferences + "[Ports]\nCOM1=" + device +
                  "\n" + options.ports);
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
