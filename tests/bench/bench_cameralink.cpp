// The full read ("&Reload") over a Camera Link port of kind 3 (the fake libclallserial.so
// serving a simulated camera) against the same read over a COM port, in one run, both at
// 115200 bit/s; then the CPU that the process spends with the Camera Link port open and idle.
// Run by hand:
//   bench_cameralink [rounds] [idle seconds]      (defaults 5 and 10)
// Targets: the Camera Link read at most 1.1 x the COM read; idle CPU below 1 % of one core.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include "BenchRig.h"
#include "ProcessCpu.h"
#include "gui/main/MainMenu.h"
#include "support/FakeCameraLink.h"

namespace {

// The tool on a camera of its own at 115200 bit/s, over COM1 or over port 0 of kind 3.
struct Tool {
    explicit Tool(int kind)
    {
        SimulatorOptions options;
        options.baud = 115200;
        options.processingUs = 0;
        simulator = std::make_unique<CameraSimulator>(options);
        started = simulator->Start() && folder.Add(QStringLiteral("kind3"), QStringLiteral("libclallserial.so"));
        folder.Configure(QStringLiteral("libclallserial.so"), "port0=" + simulator->SlavePath().toLocal8Bit() + "\n");
        temp.WriteRaw("[General]\nPrevious%20Application%20Shutdown%20Status=1\nCommunication%20Mode=" +
                      QByteArray::number(kind) + "\n[Ports]\nCOM1=" + simulator->SlavePath().toLocal8Bit() + "\n" +
                      folder.FolderIni());
        context = std::make_unique<AppContext>(dialogs, temp.Path());
        window = std::make_unique<CCtrlToolDlg>(*context);
    }
    ~Tool() { window->SetSkipExitConfirmation(true); }

    qint64 Reload()
    {
        QElapsedTimer timer;
        timer.start();
        window->OnMenu(MenuId::Reload);
        return timer.elapsed();
    }

    FakeCameraLinkFolder folder;
    std::unique_ptr<CameraSimulator> simulator;
    bool started = false;
    TempSettings temp;
    ScriptedDialogs dialogs;
    std::unique_ptr<AppContext> context;
    std::unique_ptr<CCtrlToolDlg> window;
};

qint64 median(std::vector<qint64> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const int idleSeconds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 10;
    QApplication application(argc, argv);
    Q_INIT_RESOURCE(resources);

    auto com = std::make_unique<Tool>(0);
    auto cameraLink = std::make_unique<Tool>(3);
    if (!com->started || !cameraLink->started) {
        std::fprintf(stderr, "no simulator or no fake Camera Link library\n");
        return 1;
    }
    com->window->Initialise();
    cameraLink->window->Initialise();
    if (com->context->serialLink().Baud() != 115200 || cameraLink->context->serialLink().Baud() != 115200) {
        std::fprintf(stderr, "a start-up did not reach 115200 bit/s\n");
        return 1;
    }

    std::vector<qint64> comMs;
    std::vector<qint64> clMs;
    for (int round = 0; round < rounds; ++round) {
        com->simulator->ClearWireLog();
        comMs.push_back(com->Reload());
        const ExchangeFloor floor = FloorOf(*com->simulator);
        cameraLink->simulator->ClearWireLog();
        clMs.push_back(cameraLink->Reload());
        std::printf("round %d: COM %5lld ms, Camera Link kind 3 %5lld ms  (%d exchanges, floor %.0f ms + 1000 ms hold)\n",
                    round + 1, static_cast<long long>(comMs.back()), static_cast<long long>(clMs.back()),
                    floor.exchanges, floor.Total());
    }
    const qint64 comMedian = median(comMs);
    const qint64 clMedian = median(clMs);
    std::printf("full read, median of %d: COM %lld ms, Camera Link %lld ms, ratio %.3f (target <= 1.1)\n", rounds,
                static_cast<long long>(comMedian), static_cast<long long>(clMedian),
                static_cast<double>(clMedian) / static_cast<double>(comMedian));

    // Idle: only the Camera Link tool is left; its event loop runs the engine's 25 ms tick.
    com.reset();
    const double cpuStart = CpuSeconds();
    QElapsedTimer wall;
    wall.start();
    QEventLoop idle;
    QTimer::singleShot(idleSeconds * 1000, &idle, &QEventLoop::quit);
    idle.exec();
    const double cpu = CpuSeconds() - cpuStart;
    std::printf("idle with the Camera Link port open: %.3f s CPU in %.1f s = %.2f %% of one core (target < 1 %%; "
                "includes the simulator's thread)\n",
                cpu, static_cast<double>(wall.elapsed()) / 1000.0, 100.0 * cpu / (static_cast<double>(wall.elapsed()) / 1000.0));
    if (!cameraLink->dialogs.Messages().empty())
        std::printf("boxes: %s\n", qPrintable(cameraLink->dialogs.MessageTexts().join(QStringLiteral(" | "))));
    return 0;
}
