// Round trips through SerialLink against the camera simulator: one query at 115200 and at
// 9600 bit/s next to the wire time of its two lines, and 1,000 queries in a row at 115200
// bit/s checked byte for byte.
#include <chrono>
#include <cstdio>
#include <memory>

#include "CameraSimulator.h"
#include "core/common/LineLog.h"
#include "core/settings/SettingsStore.h"
#include "core/transport/ComPort.h"
#include "core/transport/SerialLink.h"
#include "support/ScriptedDialogs.h"
#include "support/TempSettings.h"

namespace {

class NoLog final : public LineLog {
public:
    void AddLogLine(const QString &) override {}
};

struct Rig {
    explicit Rig(int baud)
    {
        SimulatorOptions options;
        options.baud = baud;
        simulator = std::make_unique<CameraSimulator>(options);
        if (!simulator->Start())
            return;
        temp.WriteRaw("[Ports]\nCOM1=" + simulator->SlavePath().toLocal8Bit() + "\n");
        settings = std::make_unique<SettingsStore>(temp.Path());
        com = std::make_unique<ComPort>(*settings, dialogs);
        link = std::make_unique<SerialLink>(*settings, *com, std::array<CameraLinkTransport *, 3>{}, log);
        ok = link->Open(0, baud, 0);
    }

    // Sends the line and reads until the reply's LF.
    QByteArray Ask(const QByteArray &line)
    {
        link->SendLine(line);
        QByteArray reply;
        char byte = 0;
        while (link->ReadBytes(&byte, 1, 1000) == 1) {
            reply.append(byte);
            if (byte == '\n')
                break;
        }
        return reply;
    }

    TempSettings temp;
    ScriptedDialogs dialogs;
    NoLog log;
    std::unique_ptr<CameraSimulator> simulator;
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<ComPort> com;
    std::unique_ptr<SerialLink> link;
    bool ok = false;
};

double millisSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

double roundTrip(int baud)
{
    Rig rig(baud);
    if (!rig.ok)
        return -1;
    const QByteArray query = "MD?\r\n";
    const QByteArray expected = "MD=QN-5200RL-BDXP\r\n";
    rig.Ask(query); // warm-up
    constexpr int kRuns = 10;
    double total = 0;
    for (int run = 0; run < kRuns; ++run) {
        const auto start = std::chrono::steady_clock::now();
        const QByteArray reply = rig.Ask(query);
        total += millisSince(start);
        if (reply != expected)
            return -1;
    }
    const double wireMs = (query.size() + expected.size()) * 10 * 1000.0 / baud;
    std::printf("%6d bit/s: round trip %.2f ms (mean of %d), wire time of both lines %.2f ms\n", baud,
                total / kRuns, kRuns, wireMs);
    return total / kRuns;
}

} // namespace

int main()
{
    const double fast = roundTrip(115200);
    const double slow = roundTrip(9600);
    if (fast <= 0 || slow <= 0) {
        std::printf("round trip failed\n");
        return 1;
    }
    std::printf("9600 / 115200: %.1f times slower\n", slow / fast);

    Rig rig(115200);
    if (!rig.ok)
        return 1;
    constexpr int kQueries = 1000;
    int intact = 0;
    std::size_t bytes = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kQueries; ++i) {
        const QByteArray value = QByteArray::number(100 + i % 3000);
        rig.simulator->SetValue(QStringLiteral("GA"), value.toLongLong());
        const QByteArray reply = rig.Ask("GA?\r\n");
        bytes += static_cast<std::size_t>(reply.size());
        intact += reply == "GA=" + value + "\r\n" ? 1 : 0;
    }
    const double elapsed = millisSince(start);
    const int heard = static_cast<int>(rig.simulator->ReceivedLines().size());
    std::printf("%d queries at 115200 bit/s in %.0f ms (%.2f ms each): %d replies intact, %d lines heard, %zu bytes\n",
                kQueries, elapsed, elapsed / kQueries, intact, heard, bytes);
    return intact == kQueries && heard == kQueries ? 0 : 1;
}
