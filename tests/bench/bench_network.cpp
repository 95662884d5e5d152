// A camera behind ser2net on the loopback address against the same camera on its line, in one
// run. Run by hand (ser2net installed):
//   bench_network
// The full read (qnctl dump, paced replies) over RFC 2217 should stay within 1.05 x the same
// read over the line; the fast shading read over RFC 2217 is set against its wire time.

#include <algorithm>
#include <cstdio>
#include <vector>

#include <QCoreApplication>

#include "BenchRig.h"
#include "QnctlTiming.h"
#include "support/Ser2NetServer.h"

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    if (!Ser2NetServer::Available()) {
        std::fprintf(stderr, "ser2net is not installed\n");
        return 1;
    }
    SimulatorOptions options;
    options.baud = 115200;
    options.processingUs = 0;
    CameraSimulator simulator(options);
    if (!simulator.Start()) {
        std::fprintf(stderr, "the simulator did not start\n");
        return 1;
    }
    Ser2NetServer server(simulator.SlavePath(), 115200, Ser2NetServer::Mode::Rfc2217);
    if (!server.Start()) {
        std::fprintf(stderr, "ser2net did not start: %s\n", qPrintable(server.Failure()));
        return 1;
    }
    TempSettings temp;
    const auto link = [&](const QString &device) {
        return QStringList{QStringLiteral("--settings"), temp.Path(), QStringLiteral("--port"), device,
                           QStringLiteral("--rate=115200")};
    };
    const QStringList line = link(simulator.SlavePath());
    const QStringList network = link(server.Address());

    const int kRuns = 5;
    std::vector<double> overLine;
    std::vector<double> overNetwork;
    for (int i = 0; i < kRuns; ++i) {
        overLine.push_back(RunQnctlTimed(line + QStringList{QStringLiteral("dump")}).ms);
        overNetwork.push_back(RunQnctlTimed(network + QStringList{QStringLiteral("dump")}).ms);
    }
    std::printf("full read (qnctl dump, paced), median of %d, alternating:\n", kRuns);
    std::printf("  over the line: %.0f ms; over RFC 2217 on loopback: %.0f ms: %.3f x\n", Median(overLine),
                Median(overNetwork), Median(overNetwork) / Median(overLine));

    simulator.SetValue(QStringLiteral("SDM"), 1);
    const QString csv = temp.Folder() + QStringLiteral("/shading.csv");
    const QStringList shading = {QStringLiteral("--fast"), QStringLiteral("--force"), QStringLiteral("shading"),
                                 QStringLiteral("read"), csv};
    simulator.ClearWireLog();
    const double lineMs = RunQnctlTimed(line + shading).ms;
    const ExchangeFloor lineFloor = FloorOf(simulator);
    simulator.ClearWireLog();
    const double networkMs = RunQnctlTimed(network + shading).ms;
    const ExchangeFloor networkFloor = FloorOf(simulator);
    std::printf("--fast shading read, %d exchanges, wire time %.0f ms:\n", networkFloor.exchanges, networkFloor.wireMs);
    std::printf("  over the line: %.0f ms (%.2f x wire); over RFC 2217: %.0f ms (%.2f x wire)\n", lineMs,
                lineMs / lineFloor.wireMs, networkMs, networkMs / networkFloor.wireMs);
    return 0;
}
