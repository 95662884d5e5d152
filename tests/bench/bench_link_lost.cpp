// What a lost link costs while the tool waits for it, and how soon it is back. The whole
// application runs on a camera behind a by-id style link; the camera is unplugged, the event
// loop runs (the engine's 25 ms timer, the recovery's look once a second) for the given time,
// then the camera is plugged back. Run by hand:
//   bench_link_lost [seconds]        (default 10)
// Prints the process's CPU time while lost as a share of one core (the target is below 1 %),
// and the time from the replug to the window being online with every setting read (the target
// is within 3 s).


#include <cstdio>
#include <cstdlib>

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include "BenchRig.h"
#include "ProcessCpu.h"
#include "core/operations/LinkRecovery.h"
#include "gui/main/MainMenu.h"

namespace {

// Runs the event loop until done() holds or the time is over, sleeping between events as the
// program's own loop does; done()'s last answer.
template <typename Done>
bool RunEvents(Done done, qint64 timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    QEventLoop loop;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, [&] {
        if (done() || timer.elapsed() >= timeoutMs)
            loop.quit();
    });
    look.start(50);
    if (!done())
        loop.exec();
    return done();
}

} // namespace

int main(int argc, char *argv[])
{
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 10;
    QApplication application(argc, argv);
    QTemporaryDir folder;
    BenchApplication bench(115200, folder.filePath(QStringLiteral("usb-camera-if00")));
    if (!bench.started)
        return 1;
    bench.window->Initialise();
    SerialLink &link = bench.context->serialLink();
    OnlineStatus &online = bench.context->onlineStatus();
    if (!online.IsOnline()) {
        std::fprintf(stderr, "the camera was not found at start-up\n");
        return 1;
    }

    // What "&Reload" costs here, for comparison with the read after the replug.
    QElapsedTimer reload;
    reload.start();
    bench.window->OnMenu(MenuId::Reload);
    std::printf("\"&Reload\" with the link in place: %lld ms\n", static_cast<long long>(reload.elapsed()));

    bench.simulator->Unplug();
    if (!RunEvents([&] { return link.IsLost(); }, 2000)) {
        std::fprintf(stderr, "the loss was not noticed\n");
        return 1;
    }
    QElapsedTimer wall;
    wall.start();
    const double cpuStart = CpuSeconds();
    RunEvents([] { return false; }, seconds * 1000LL);
    const double cpu = CpuSeconds() - cpuStart;
    const double share = 100.0 * cpu / (static_cast<double>(wall.elapsed()) / 1000.0);
    std::printf("lost for %.1f s: CPU %.3f s, %.2f %% of one core (target below 1 %%)\n",
                static_cast<double>(wall.elapsed()) / 1000.0, cpu, share);

    bench.simulator->Replug();
    QElapsedTimer back;
    back.start();
    const bool restored = RunEvents(
        [&] { return !link.IsLost() && online.IsOnline() && bench.window->isEnabled() && !bench.window->Recovery().Waiting(); },
        15000);
    std::printf("plugged back: %s %lld ms after the device returned (target within 3000 ms)\n",
                restored ? "online with every setting read" : "NOT back", static_cast<long long>(back.elapsed()));
    return share < 1.0 && restored ? 0 : 2;
}
