#pragma once

#include <condition_variable>
#include <mutex>
#include <vector>

#include <QByteArray>
#include <QList>

#include "CameraSimulator.h"

// Everything that went over the wire, shared between the worker and the test thread.
class WireLog {
public:
    void Add(WireEvent event);
    // Consecutive garbage bytes at one rate become one event.
    void AddGarbage(const QByteArray &bytes, int baud, qint64 timeUs, int lineSpeed);
    std::vector<WireEvent> Events() const;
    QList<QByteArray> ReceivedLines() const;
    void Clear();
    bool WaitForReceivedLines(int count, int timeoutMs) const;

private:
    int receivedCountLocked() const;

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<WireEvent> events_;
};
