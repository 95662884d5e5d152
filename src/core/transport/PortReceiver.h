#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

#include <QString>

#include "core/transport/ByteRing.h"
#include "core/transport/ReceiveSource.h"
#include "core/transport/WakeupPipe.h"

// The receive side of an open port: a thread moves what the descriptor gives into the
// 1,024-byte ring, and the user-interface thread takes it from there. With a full ring the
// descriptor is not read, so what arrives waits in the system until room is made. The thread
// sleeps in poll() while nothing arrives.
class PortReceiver {
public:
    PortReceiver() = default;
    ~PortReceiver();
    PortReceiver(const PortReceiver &) = delete;
    PortReceiver &operator=(const PortReceiver &) = delete;

    // Starts the thread on the descriptor with an empty ring; false when it cannot.
    bool Start(int fd, ReceiveSource &source);
    // Joins the thread; the ring keeps what it has until the next Start.
    void Stop();
    bool Running() const { return thread_.joinable(); }

    int Take(char *buffer, int max);
    int Available() const { return ring_.Available(); }
    // Drops what the ring holds.
    void Discard();
    // Blocks until at least one byte is in the ring, the source is lost or the time passes;
    // true when a byte is there.
    bool WaitForData(std::uint32_t timeoutMs);

    // Whether the source was found gone since Start; the thread then stays idle until Stop.
    bool Lost() const { return lost_.load(std::memory_order_acquire); }
    QString LossReason() const;
    // The source found gone by its writer (a write that failed); the first reason stays.
    void ReportLoss(const QString &reason);

private:
    void loop(int fd, ReceiveSource &source);
    bool roomInRing();
    int drain(int fd, ReceiveSource &source, ReceiveSource::Got &last);
    void markLost(const QString &reason);
    void publishData();
    void roomMade();

    WakeupPipe wakeup_;
    std::thread thread_;
    std::atomic<bool> running_{false};
    // Set by the thread while it waits for room in a full ring.
    std::atomic<bool> roomWanted_{false};
    // Set by Discard for the thread: what the source holds is to go as well.
    std::atomic<bool> dropHeld_{false};
    std::atomic<bool> lost_{false};
    QString lossReason_; // written before lost_ is set, under dataMutex_

    ByteRing ring_;
    mutable std::mutex dataMutex_;
    std::condition_variable dataArrived_;
};
