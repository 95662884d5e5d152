#include "cli/CameraWaits.h"

#include "core/common/EventWait.h"
#include "core/protocol/CommandIds.h"
#include "core/transport/DevicePresence.h"

namespace {

// A device must stay this long before it is talked to: an adapter that bounces on its way in,
// or a udev rule still setting the permissions, is not yet a camera.
constexpr std::uint32_t kSettleMs = 300;
// How often a camera is looked for, or the one that is there asked whether it still is; the
// waits look at the stop flag and the device every kStepMs meanwhile.
constexpr std::uint32_t kLookEveryMs = 1000;
constexpr std::uint32_t kStepMs = 100;
// A present camera answers the id query at once; a cable swapped mid-query is a miss.
constexpr unsigned kPresenceQueryMs = 300;
// One miss may be noise on the line; two in a row mean the camera's cable is out.
constexpr int kMissesForUnplugged = 2;

} // namespace

bool CameraWaits::Pause(std::uint32_t ms, const std::function<bool()> &until) const
{
    for (std::uint32_t slept = 0; slept < ms && !Stopped() && !(until && until()); slept += kStepMs)
        WaitServingEvents(kStepMs);
    return !Stopped();
}

std::unique_ptr<CameraSession> CameraWaits::WaitForCamera(bool queriesOnly) const
{
    // A session of its own for every camera: nothing of the last one (rate, model, values)
    // carries over, as with a separate qnctl run.
    auto session = std::make_unique<CameraSession>(options_, dialogs_);
    session->command().Create();
    session->SetQueriesOnly(queriesOnly);
    for (;;) {
        if (isDeviceFile()) {
            while (!DevicePresent(device_)) {
                if (!Pause(kLookEveryMs, [this] { return DevicePresent(device_); }))
                    return nullptr;
            }
            if (!Pause(kSettleMs))
                return nullptr;
            if (!DevicePresent(device_))
                continue; // gone again at once
        }
        // An empty adapter is no news: the search stays quiet and is looked at again.
        session->SetLossQuiet(true);
        session->command().SetCancel(&stop_);
        const bool found = session->ConnectQuietly();
        session->command().SetCancel(nullptr);
        session->SetLossQuiet(false);
        if (Stopped())
            return nullptr;
        if (found)
            return session;
        if (!Pause(kLookEveryMs))
            return nullptr;
    }
}

bool CameraWaits::WaitForUnplug(CameraSession &session, const QString &cameraId, const std::function<bool()> &eachLook) const
{
    SerialLink &link = session.serialLink();
    const auto gone = [this, &link] { return (isDeviceFile() && !DevicePresent(device_)) || link.CheckLoss(); };
    session.SetLossQuiet(true);
    session.command().SetCancel(&stop_);
    int misses = 0;
    bool going = true;
    while (going && !Stopped() && !gone() && misses < kMissesForUnplugged) {
        QString id;
        const bool answered = session.command().QueryString(CommandId::ID, id, kPresenceQueryMs);
        if (answered && !cameraId.isEmpty() && id != cameraId)
            break;
        misses = answered ? 0 : misses + 1;
        if (answered && eachLook)
            going = eachLook();
        if (going)
            Pause(kLookEveryMs, gone);
    }
    session.command().SetCancel(nullptr);
    return going && !Stopped();
}
