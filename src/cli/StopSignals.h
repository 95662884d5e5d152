#pragma once

#include <atomic>
#include <functional>
#include <thread>

#include <signal.h>

#include "core/transport/WakeupPipe.h"

// Ctrl-C (SIGINT), SIGTERM and SIGHUP as a request to stop, for a loop that must finish its
// current step instead of dying halfway through a write. While the object lives the signals are
// blocked and a watcher thread reads them from a signalfd and raises the flag; nothing runs
// in a signal handler. Create it before any other thread starts, so every thread inherits the
// blocked mask.
class StopSignals {
public:
    // The callback runs on the watcher thread at every signal that arrives.
    explicit StopSignals(std::function<void()> onSignal);
    ~StopSignals();
    StopSignals(const StopSignals &) = delete;
    StopSignals &operator=(const StopSignals &) = delete;

    bool Requested() const { return requested_.load(); }
    const std::atomic<bool> &Flag() const { return requested_; }

private:
    void watch();

    std::function<void()> onSignal_;
    std::atomic<bool> requested_{false};
    sigset_t previousMask_{};
    int signalFd_ = -1;
    WakeupPipe wakeup_;
    std::thread watcher_;
};
