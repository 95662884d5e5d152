// Times the main window's start-up against a camera at 9600 bit/s, and "&Reload" in the
// standard and the extended mode, next to the floor that the exchange timings impose: 20 ms
// before the first look at every reply, the wire time of every line, and the second for which
// the progress window holds 100 %.
#include <cstdio>

#include <QApplication>
#include <QElapsedTimer>

#include "BenchRig.h"
#include "gui/main/MainMenu.h"

namespace {

void report(const char *what, qint64 elapsedMs, const ExchangeFloor &floor)
{
    const double total = floor.Total(1000.0);
    std::printf("%-28s %6lld ms  floor %7.1f ms (%d exchanges, %.1f ms on the wire, 1000 ms hold)  ratio %.3f\n", what,
                static_cast<long long>(elapsedMs), total, floor.exchanges, floor.wireMs, elapsedMs / total);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    BenchApplication bench(9600);
    if (!bench.started)
        return 1;
    CameraSimulator &simulator = *bench.simulator;

    QElapsedTimer timer;
    timer.start();
    bench.window->Initialise();
    report("start-up (camera at 9600)", timer.elapsed(), FloorOf(simulator));

    for (int mode : {0, 1}) {
        bench.context->controlMode().Set(mode);
        simulator.ClearWireLog();
        timer.restart();
        bench.window->OnMenu(MenuId::Reload);
        report(mode == 0 ? "&Reload, standard mode" : "&Reload, extended mode", timer.elapsed(), FloorOf(simulator));
    }
    if (!bench.dialogs.Messages().empty())
        std::printf("boxes: %s\n", qPrintable(bench.dialogs.MessageTexts().join(QStringLiteral(" | "))));
    bench.window->SetSkipExitConfirmation(true);
    return 0;
}
