// How much the command engine adds to the protocol's own cost of a query, and what it costs
// while idle. Run by hand against the simulated camera:
//   bench_engine
// A query cannot be faster than the 20 ms first look plus the wire time of the query and its
// reply plus the camera's processing time; the engine should stay within 1.1 x that floor.


#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include <QCoreApplication>
#include <QTimer>

#include "CameraSimulator.h"
#include "ProcessCpu.h"
#include "core/common/LineLog.h"
#include "core/protocol/CameraModel.h"
#include "core/protocol/Command.h"
#include "core/protocol/CommandEvents.h"
#include "core/protocol/ControlTable.h"
#include "core/settings/SettingsStore.h"
#include "core/transport/CameraLinkTransport.h"
#include "core/transport/ComPort.h"
#include "core/transport/SerialLink.h"
#include "support/ScriptedDialogs.h"
#include "support/TempSettings.h"

namespace {

constexpr int kBaud = 115200;
constexpr int kProcessingUs = 1000;
constexpr double kBitsPerByte = 10.0; // start, 8 data, stop
constexpr int kIdleSeconds = 10;

class ByteCountingLog final : public LineLog {
public:
    void AddLogLine(const QString &line) override { bytes += line.size() - 4 + 2; } // "Rx: " off, CR LF on
    long bytes = 0;
};

class NoEvents final : public CommandEvents {
public:
    void WaitCursor(bool) override {}
    void SetOnline(bool) override {}
};

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);

    SimulatorOptions options;
    options.baud = kBaud;
    options.processingUs = kProcessingUs;
    CameraSimulator sim(options);
    if (!sim.Start()) {
        std::fprintf(stderr, "the simulator did not start\n");
        return 1;
    }
    TempSettings temp;
    temp.WriteRaw("[Ports]\nCOM1=" + sim.SlavePath().toLocal8Bit() + "\n");
    SettingsStore settings(temp.Path());
    ScriptedDialogs dialogs;
    ComPort comPort(settings, dialogs);
    NoCameraLinkTransport noCameraLink;
    ByteCountingLog txLog;
    ByteCountingLog rxLog;
    SerialLink link(settings, comPort, {&noCameraLink, &noCameraLink, &noCameraLink}, txLog);
    if (!link.Open(0, kBaud, 0)) {
        std::fprintf(stderr, "COM1 did not open\n");
        return 1;
    }
    CommandTable commands;
    NoEvents events;
    Command command(commands, link, dialogs, rxLog, events);
    command.Create();

    // As many queries as the standard full read makes: the standard parameter rows whose
    // command the simulated model has, in table order, taken again from the start as needed.
    CameraModel model;
    model.Assign(sim.Model());
    const ControlTable controls(dialogs);
    std::vector<int> rowCommands;
    for (int row = 0; row < controls.RowCount(); ++row) {
        const int id = controls.Row(row).commandId;
        if (controls.IsParameterRow(row) && controls.Row(row).access == 1 &&
            !command.MnemonicOf(id).isEmpty() && model.IsSupportedCommand(id))
            rowCommands.push_back(id);
    }
    if (rowCommands.empty()) {
        std::fprintf(stderr, "no command to query\n");
        return 1;
    }
    std::vector<int> commandIds;
    for (int i = 0; i < controls.CountStandardParameters(); ++i)
        commandIds.push_back(rowCommands[static_cast<std::size_t>(i) % rowCommands.size()]);

    int failures = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int id : commandIds) {
        CommandValue value;
        failures += command.Query(id, value, 5000) ? 0 : 1;
    }
    const double totalSeconds = secondsSince(start);
    const int count = static_cast<int>(commandIds.size());

    const double wireMs = (txLog.bytes + rxLog.bytes) * kBitsPerByte * 1000.0 / kBaud / count;
    const double floorMs = Command::kFirstLookMs + wireMs + kProcessingUs / 1000.0;
    const double perQueryMs = totalSeconds * 1000.0 / count;
    std::printf("queries: %d (%d failed), %.1f ms in all\n", count, failures, totalSeconds * 1000.0);
    std::printf("per query: %.2f ms; floor %.2f ms (20 ms first look + %.2f ms wire + %.2f ms camera)\n",
                perQueryMs, floorMs, wireMs, kProcessingUs / 1000.0);
    std::printf("ratio to floor: %.3f (target <= 1.1)\n", perQueryMs / floorMs);
    // The reply travels during the first 20 ms wait, so the true lower bound is the longer of
    // the two, not their sum.
    const double overlapMs = std::max<double>(Command::kFirstLookMs, wireMs + kProcessingUs / 1000.0);
    std::printf("ratio to the overlapped bound %.2f ms: %.3f\n", overlapMs, perQueryMs / overlapMs);

    // Idle: only the 25 ms timer runs, each tick one 10 ms look at the link.
    const double cpuBefore = CpuSeconds();
    const auto idleStart = std::chrono::steady_clock::now();
    QTimer::singleShot(kIdleSeconds * 1000, &app, &QCoreApplication::quit);
    app.exec();
    const double idleSeconds = secondsSince(idleStart);
    const double cpuPercent = (CpuSeconds() - cpuBefore) / idleSeconds * 100.0;
    std::printf("idle CPU over %.1f s: %.3f %% of one core (target < 1 %%)\n", idleSeconds, cpuPercent);

    for (const QString &text : dialogs.MessageTexts())
        std::printf("box: %s\n", qPrintable(text));
    link.Close();
    return failures == 0 ? 0 : 2;
}
