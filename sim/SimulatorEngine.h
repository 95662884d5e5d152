#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>

#include <QByteArray>

#include "CameraSimulator.h"
#include "CommandProcessor.h"
#include "FaultPlan.h"
#include "PtyLink.h"
#include "WireLog.h"

// The worker behind CameraSimulator: reads the master side, applies the rate rule, hands
// lines to the command processor and sends the replies paced at the line rate.
class SimulatorEngine {
public:
    explicit SimulatorEngine(SimulatorOptions options);
    ~SimulatorEngine();

    bool Start();
    void Stop();
    void HangUp();
    void Unplug();
    bool Replug(const PlugOptions &options);
    void PowerCycle();
    bool IsPlugged() const;
    QString SlavePath() const;

    WireLog &Log() { return log_; }
    const WireLog &Log() const { return log_; }

    // Runs f on the processor and the fault plan under the state lock.
    template <typename F>
    auto WithState(F f) const
    {
        std::lock_guard lock(stateMutex_);
        return f(processor_, faults_);
    }

private:
    void run();
    void takeBytes(const char *bytes, int count, std::int64_t readUs);
    void handleLine(QByteArray line, std::int64_t lineEndUs);
    void sendPaced(const QByteArray &bytes, int baud);
    bool sleepUntil(std::int64_t timeUs); // false when stopping
    // Under plugMutex_.
    bool plugLocked(int baud);
    void unplugLocked(bool removeLinkPath);
    bool pointLinkPathLocked();
    void saveState();

    SimulatorOptions options_;
    // Plugging and unplugging; taken before stateMutex_, never by the worker.
    mutable std::mutex plugMutex_;
    mutable std::mutex stateMutex_;
    mutable CommandProcessor processor_;
    mutable FaultPlan faults_;
    WireLog log_;
    PtyLink link_;
    std::thread worker_;
    std::atomic<bool> stopping_{false};
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
    bool linked_ = false;

    // Receiver state, worker thread only.
    QByteArray partial_;
    std::int64_t wireFreeUs_ = 0; // when the last received byte finished on the wire
};
