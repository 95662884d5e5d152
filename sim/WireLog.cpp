#include "WireLog.h"

#include <algorithm>
#include <chrono>

void WireLog::Add(WireEvent event)
{
    {
        std::lock_guard lock(mutex_);
        events_.push_back(std::move(event));
    }
    changed_.notify_all();
}

void WireLog::AddGarbage(const QByteArray &bytes, int baud, qint64 timeUs, int lineSpeed)
{
    std::lock_guard lock(mutex_);
    if (!events_.empty() && events_.back().kind == WireEvent::Kind::Garbage && events_.back().baud == baud &&
        events_.back().lineSpeed == lineSpeed) {
        events_.back().data += bytes;
        return;
    }
    events_.push_back({WireEvent::Kind::Garbage, bytes, baud, timeUs, lineSpeed});
}

std::vector<WireEvent> WireLog::Events() const
{
    std::lock_guard lock(mutex_);
    return events_;
}

QList<QByteArray> WireLog::ReceivedLines() const
{
    std::lock_guard lock(mutex_);
    QList<QByteArray> lines;
    for (const WireEvent &event : events_)
        if (event.kind == WireEvent::Kind::Received)
            lines.append(event.data);
    return lines;
}

void WireLog::Clear()
{
    std::lock_guard lock(mutex_);
    events_.clear();
}

int WireLog::receivedCountLocked() const
{
    return static_cast<int>(std::count_if(events_.begin(), events_.end(), [](const WireEvent &event) {
        return event.kind == WireEvent::Kind::Received;
    }));
}

bool WireLog::WaitForReceivedLines(int count, int timeoutMs) const
{
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                             [&] { return receivedCountLocked() >= count; });
}
