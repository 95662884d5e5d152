// Times the main window's start-up against a camera at 9600 bit/s, and "&Reload" in the
// standard and the extended mode, next to the floor that the exchange timings impose: 20 ms
// before the first look at every reply, the wire time of every line, and the second for which
// the progress window holds 100 %.
#include <cstdio>

#include <QApplication>
#include <QElapsedTimer>

#include "CameraSimulator.h"
#include "app/AppContext.h"
#include "support/ScriptedDialogs.h"
#include "support/TempSettings.h"
#include "ui/main/CCtrlToolDlg.h"
#include "ui/main/MainMenu.h"

namespace {

struct Floor {
    int exchanges = 0;
    double wireMs = 0;
    double Total(double holdMs) const { return exchanges * 20.0 + wireMs + holdMs; }
};

// Every line the camera received is one exchange; its wire time and its reply's count.
Floor floorOf(const CameraSimulator &simulator)
{
    Floor floor;
    for (const WireEvent &event : simulator.WireLog()) {
        const double bits = 10.0 * static_cast<double>(event.data.size());
        switch (event.kind) {
        case WireEvent::Kind::Received:
            ++floor.exchanges;
            floor.wireMs += 1000.0 * (bits + 20.0) / event.baud; // the line and its CR LF
            break;
        case WireEvent::Kind::Sent:
            floor.wireMs += 1000.0 * bits / event.baud;
            break;
        case WireEvent::Kind::ZeroByte:
            floor.wireMs += event.lineSpeed > 0 ? 1000.0 * 10.0 / event.lineSpeed : 0.0;
            break;
        case WireEvent::Kind::Garbage:
            break;
        }
    }
    return floor;
}

void report(const char *what, qint64 elapsedMs, const Floor &floor)
{
    const double total = floor.Total(1000.0);
    std::printf("%-28s %6lld ms  floor %7.1f ms (%d exchanges, %.1f ms on the wire, 1000 ms hold)  ratio %.3f\n", what,
                static_cast<long long>(elapsedMs), total, floor.exchanges, floor.wireMs, elapsedMs / total);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    Q_INIT_RESOURCE(resources);
    SimulatorOptions options;
    options.baud = 9600;
    options.processingUs = 0; // the floor is the tool's; a real camera's own time comes on top
    CameraSimulator simulator(options);
    if (!simulator.Start())
        return 1;
    TempSettings temp;
    temp.WriteRaw("[Ports]\nCOM1=" + simulator.SlavePath().toLocal8Bit() + "\n");
    ScriptedDialogs dialogs;
    AppContext context(dialogs, temp.Path());
    CCtrlToolDlg window(context);

    QElapsedTimer timer;
    timer.start();
    window.Initialise();
    report("start-up (camera at 9600)", timer.elapsed(), floorOf(simulator));
    if (qEnvironmentVariableIsSet("QN_BENCH_TRACE")) {
        const auto log = simulator.WireLog();
        const qint64 t0 = log.front().timeUs;
        qint64 previous = t0;
        for (const WireEvent &event : log) {
            if (event.timeUs - previous > 15000 || event.kind == WireEvent::Kind::ZeroByte)
                std::printf("%8.1f ms (+%6.1f) kind %d %s @%d/%d\n", (event.timeUs - t0) / 1000.0,
                            (event.timeUs - previous) / 1000.0, static_cast<int>(event.kind), event.data.left(12).toHex().constData(), event.baud, event.lineSpeed);
            previous = event.timeUs;
        }
    }

    for (int mode : {0, 1}) {
        context.controlMode().Set(mode);
        simulator.ClearWireLog();
        timer.restart();
        window.OnMenu(MenuId::Reload);
        report(mode == 0 ? "&Reload, standard mode" : "&Reload, extended mode", timer.elapsed(), floorOf(simulator));
    }
    if (!dialogs.Messages().empty())
        std::printf("boxes: %s\n", qPrintable(dialogs.MessageTexts().join(QStringLiteral(" | "))));
    return 0;
}
