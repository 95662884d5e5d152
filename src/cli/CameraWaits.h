#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

#include <QString>

#include "core/session/CameraSession.h"

// How long the station and the watcher wait for each identity text of a camera they found.
inline constexpr unsigned kIdentityReadMs = 1000;
// How long a station or watcher that ends waits for the broker to take what is in flight.
inline constexpr std::uint32_t kBrokerFinishMs = 3000;

// The waits of a program that serves one camera after another on one port: for a camera to
// answer, and for it to go. The event loop runs meanwhile, so that a connection to the plant's
// broker stays served.
class CameraWaits {
public:
    CameraWaits(const CliOptions &options, Dialogs &dialogs, QString device, const std::atomic<bool> &stop)
        : options_(options), dialogs_(dialogs), device_(std::move(device)), stop_(stop)
    {
    }

    // Sleeps the time in short steps, ending early when a stop is asked for or until() holds;
    // false when stopped.
    bool Pause(std::uint32_t ms, const std::function<bool()> &until = {}) const;
    // Waits until the device is there (a device file) and a camera answers on it: the session
    // that found it, or none when a stop was asked for first. With queriesOnly the camera is
    // found at its rate and kept there (CameraSession::SetQueriesOnly).
    std::unique_ptr<CameraSession> WaitForCamera(bool queriesOnly = false) const;
    // Waits until the camera is gone: its device went away, its link was lost, it missed the id
    // query twice in a row (an adapter that stays), or another camera answers (swapped between
    // two looks). eachLook runs after every look at a camera still there; when it gives false
    // the wait ends there. False when stopped, or ended by eachLook.
    bool WaitForUnplug(CameraSession &session, const QString &cameraId, const std::function<bool()> &eachLook = {}) const;

    bool Stopped() const { return stop_.load(); }
    const QString &Device() const { return device_; }

private:
    bool isDeviceFile() const { return device_.startsWith(QLatin1Char('/')); }

    const CliOptions &options_;
    Dialogs &dialogs_;
    const QString device_;
    const std::atomic<bool> &stop_;
};
