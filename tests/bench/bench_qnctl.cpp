// What the command-line front end costs against the protocol's own floor, in its default
// (paced) reply mode and in its fast mode. Run by hand:
//   bench_qnctl
// The default mode must stay within 1.1 x the floor of the exchange timings (20 ms first look
// plus wire time per exchange); the fast mode should come close to the wire time alone. The
// start-up of "qnctl --version" should stay under 50 ms.

#include <algorithm>
#include <cstdio>
#include <vector>

#include <QCoreApplication>

#include "BenchRig.h"
#include "QnctlTiming.h"

namespace {

struct Measured {
    double ms = 0;
    ExchangeFloor floor;
};

Measured measure(CameraSimulator &simulator, const QStringList &arguments)
{
    simulator.ClearWireLog();
    return {RunQnctlTimed(arguments).ms, FloorOf(simulator)};
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);

    std::vector<double> versions;
    for (int i = 0; i < 30; ++i)
        versions.push_back(RunQnctlTimed({QStringLiteral("--version")}).ms);
    std::printf("qnctl --version: median %.1f ms, fastest %.1f ms, slowest %.1f ms (30 runs)\n", Median(versions),
                *std::min_element(versions.begin(), versions.end()), *std::max_element(versions.begin(), versions.end()));

    SimulatorOptions options;
    options.baud = 115200;
    options.processingUs = 0;
    CameraSimulator simulator(options);
    if (!simulator.Start()) {
        std::fprintf(stderr, "the simulator did not start\n");
        return 1;
    }
    TempSettings temp;
    const QStringList link = {QStringLiteral("--settings"), temp.Path(), QStringLiteral("--port"),
                              simulator.SlavePath(), QStringLiteral("--rate=115200")};

    const int kRuns = 3;
    std::vector<double> paced;
    std::vector<double> fast;
    Measured pacedRun;
    Measured fastRun;
    for (int i = 0; i < kRuns; ++i) {
        pacedRun = measure(simulator, link + QStringList{QStringLiteral("dump")});
        paced.push_back(pacedRun.ms);
        fastRun = measure(simulator, link + QStringList{QStringLiteral("--fast"), QStringLiteral("dump")});
        fast.push_back(fastRun.ms);
    }
    const double pacedMs = Median(paced);
    const double fastMs = Median(fast);
    std::printf("dump, %d exchanges at 115200 bit/s (whole process, connection included, median of %d):\n",
                pacedRun.floor.exchanges, kRuns);
    std::printf("  default: %.0f ms; floor %.0f ms (20 ms x %d + wire %.0f ms): %.3f x floor\n", pacedMs,
                pacedRun.floor.Total(), pacedRun.floor.exchanges, pacedRun.floor.wireMs, pacedMs / pacedRun.floor.Total());
    std::printf("  --fast:  %.0f ms: %.1f x faster than default, %.2f x the wire time (%.0f ms)\n", fastMs,
                pacedMs / fastMs, fastMs / fastRun.floor.wireMs, fastRun.floor.wireMs);

    // The shading tables: 6,147 exchanges. The default mode takes over two minutes, so it is
    // measured only when asked for ("bench_qnctl shading").
    simulator.SetValue(QStringLiteral("SDM"), 1);
    const QString csv = temp.Folder() + QStringLiteral("/shading.csv");
    const QStringList shading = {QStringLiteral("--force"), QStringLiteral("shading"), QStringLiteral("read"), csv};
    const Measured fastShading = measure(simulator, link + QStringList{QStringLiteral("--fast")} + shading);
    std::printf("shading read, %d exchanges: --fast %.0f ms, %.2f x the wire time (%.0f ms)\n",
                fastShading.floor.exchanges, fastShading.ms, fastShading.ms / fastShading.floor.wireMs,
                fastShading.floor.wireMs);
    if (argc > 1 && QByteArray(argv[1]) == "shading") {
        const Measured pacedShading = measure(simulator, link + shading);
        std::printf("  default: %.0f ms (%.3f x floor %.0f ms): --fast is %.1f x faster\n", pacedShading.ms,
                    pacedShading.ms / pacedShading.floor.Total(), pacedShading.floor.Total(),
                    pacedShading.ms / fastShading.ms);
    }
    return 0;
}
