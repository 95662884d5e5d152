// What an open, idle COM port costs: the receive thread sleeping in poll() and a reader that
// calls ReadBytes(1 byte, 10 ms) every 25 ms, as the command engine's timer does. Run by hand:
//   bench_transport_idle [seconds] [device]   (default 10 s, a pseudo-terminal of its own)
// A device such as rfc2217://127.0.0.1:7411 measures a network port instead.
// Prints the process's CPU time over the run as a share of one core; the target is below 1 %.


#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include <fcntl.h>
#include <unistd.h>

#include "ProcessCpu.h"
#include "core/common/LineLog.h"
#include "core/settings/SettingsStore.h"
#include "core/transport/CameraLinkTransport.h"
#include "core/transport/ComPort.h"
#include "core/transport/SerialLink.h"
#include "support/ScriptedDialogs.h"
#include "support/TempSettings.h"

namespace {

class NullLog final : public LineLog {
public:
    void AddLogLine(const QString &) override {}
};

} // namespace

int main(int argc, char **argv)
{
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 10;

    // The camera's end of a pseudo-terminal stays open and silent.
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
        std::fprintf(stderr, "no pseudo-terminal\n");
        return 1;
    }
    TempSettings temp;
    temp.WriteRaw(QByteArray("[Ports]\nCOM1=") + (argc > 2 ? argv[2] : ptsname(master)) + "\n");

    SettingsStore settings(temp.Path());
    ScriptedDialogs dialogs;
    ComPort com(settings, dialogs);
    NullLog log;
    NoCameraLinkTransport none;
    SerialLink link(settings, com, {&none, &none, &none}, log);
    if (!link.Open(0, 115200, 0)) {
        std::fprintf(stderr, "could not open the port\n");
        return 1;
    }

    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    const double cpuStart = CpuSeconds();
    Clock::time_point next = start;
    long reads = 0;
    long bytes = 0;
    char byte = 0;
    while (Clock::now() - start < std::chrono::seconds(seconds)) {
        bytes += link.ReadBytes(&byte, 1, 10);
        ++reads;
        next += std::chrono::milliseconds(25);
        std::this_thread::sleep_until(next);
    }
    const double cpu = CpuSeconds() - cpuStart;
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    link.Close();
    close(master);

    std::printf("idle port, ReadBytes(1, 10 ms) every 25 ms: %ld reads, %ld bytes in %.2f s\n", reads, bytes, wall);
    std::printf("CPU %.4f s = %.3f %% of one core\n", cpu, 100.0 * cpu / wall);
    return 0;
}
