#include "core/transport/DevicePresence.h"

#include <algorithm>
#include <cstdint>

#include <sys/stat.h>

#include <QFile>

#include "core/common/TickClock.h"
#include "core/transport/NetworkAddress.h"

namespace {

constexpr std::uint32_t kCheckPeriodMs = 1000;
// A stop request is noticed this fast even though the device is looked at once a second.
constexpr std::uint32_t kStopCheckMs = 50;

bool StopRequested(const std::atomic<bool> *stop)
{
    return stop != nullptr && stop->load(std::memory_order_acquire);
}

} // namespace

bool DevicePresent(const QString &device)
{
    if (device.isEmpty())
        return false;
    // A network port has no node to look at: it can only be tried, so it counts as there.
    if (LooksLikeNetworkAddress(device))
        return true;
    // stat follows the link, so a by-id name whose adapter is gone is absent.
    struct stat info {};
    return stat(QFile::encodeName(device).constData(), &info) == 0;
}

bool WaitForDevice(const QString &device, bool present, int timeoutMs, const std::atomic<bool> *stop)
{
    const TickClock clock;
    const std::uint32_t start = clock.Now();
    std::uint32_t nextCheck = 0; // ms after start
    for (;;) {
        if (StopRequested(stop))
            return false;
        const std::uint32_t elapsed = clock.Since(start);
        if (elapsed >= nextCheck) {
            if (DevicePresent(device) == present)
                return true;
            nextCheck = elapsed + kCheckPeriodMs;
        }
        if (timeoutMs >= 0 && elapsed >= static_cast<std::uint32_t>(timeoutMs))
            return false;
        std::uint32_t pause = nextCheck - elapsed;
        if (timeoutMs >= 0)
            pause = std::min(pause, static_cast<std::uint32_t>(timeoutMs) - elapsed);
        if (stop != nullptr)
            pause = std::min(pause, kStopCheckMs);
        TickClock::SleepMs(std::max<std::uint32_t>(pause, 1));
    }
}
