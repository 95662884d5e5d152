#include "core/transport/PortReceiver.h"

#include <array>
#include <cerrno>
#include <chrono>
#include <system_error>

#include <poll.h>

namespace {
// A hang-up that is not (yet) a loss, such as a device node that udev has not removed yet,
// keeps reporting POLLHUP; look at it again only this often instead of spinning on it.
constexpr int kHangUpRetryMs = 100;
// Reads in one go before the thread looks at its wake-up handle again.
constexpr int kReadsPerDrain = 64;
} // namespace

PortReceiver::~PortReceiver()
{
    Stop();
}

bool PortReceiver::Start(int fd, ReceiveSource &source)
{
    Stop();
    if (!wakeup_.Create())
        return false;
    ring_.Reset();
    roomWanted_.store(false);
    {
        const std::lock_guard<std::mutex> lock(dataMutex_);
        lossReason_.clear();
        lost_.store(false, std::memory_order_release);
    }
    running_.store(true, std::memory_order_release);
    try {
        thread_ = std::thread(&PortReceiver::loop, this, fd, std::ref(source));
    } catch (const std::system_error &) {
        running_.store(false);
        wakeup_.Destroy();
        return false;
    }
    return true;
}

void PortReceiver::Stop()
{
    running_.store(false, std::memory_order_release);
    if (thread_.joinable()) {
        wakeup_.Signal();
        thread_.join();
    }
    roomWanted_.store(false);
    wakeup_.Destroy();
}

int PortReceiver::Take(char *buffer, int max)
{
    if (max <= 0)
        return 0;
    const int taken = ring_.Take(buffer, max);
    if (taken > 0)
        roomMade();
    return taken;
}

void PortReceiver::Discard()
{
    if (thread_.joinable()) {
        // The write index belongs to the thread while it runs: empty the ring from the
        // reading side instead, and have the thread drop what its source holds.
        dropHeld_.store(true, std::memory_order_release);
        ring_.Discard();
        roomMade();
    } else {
        ring_.Reset();
    }
}

bool PortReceiver::WaitForData(std::uint32_t timeoutMs)
{
    std::unique_lock<std::mutex> lock(dataMutex_);
    // A loss wakes the waiter too: the exchange that waits fails at once instead of timing out.
    dataArrived_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                          [this] { return ring_.Available() > 0 || Lost(); });
    return ring_.Available() > 0;
}

QString PortReceiver::LossReason() const
{
    const std::lock_guard<std::mutex> lock(dataMutex_);
    return lossReason_;
}

void PortReceiver::markLost(const QString &reason)
{
    {
        const std::lock_guard<std::mutex> lock(dataMutex_);
        if (lost_.load(std::memory_order_relaxed))
            return;
        lossReason_ = reason;
        lost_.store(true, std::memory_order_release);
    }
    dataArrived_.notify_all();
}

void PortReceiver::ReportLoss(const QString &reason)
{
    markLost(reason);
    // The thread stops watching the descriptor.
    if (thread_.joinable())
        wakeup_.Signal();
}

void PortReceiver::publishData()
{
    // Taking the mutex orders this notification after any waiter's check of the ring.
    { const std::lock_guard<std::mutex> lock(dataMutex_); }
    dataArrived_.notify_all();
}

void PortReceiver::roomMade()
{
    // Both sides change roomWanted_ with read-modify-writes, so either this exchange sees
    // the thread's request and wakes it, or the thread's exchange comes after ours and its
    // look at the ring then sees the room we made.
    if (roomWanted_.exchange(false))
        wakeup_.Signal();
}

bool PortReceiver::roomInRing()
{
    if (!ring_.Full())
        return true;
    roomWanted_.exchange(true);
    if (!ring_.Full()) {
        roomWanted_.store(false);
        return true;
    }
    return false;
}

void PortReceiver::loop(int fd, ReceiveSource &source)
{
    bool hungUp = false;
    while (running_.load(std::memory_order_acquire)) {
        // With a full ring the descriptor is not polled, so what arrives waits in the system
        // until the reader makes room and wakes us. A lost source is not polled at all: the
        // thread sleeps on the wake-up handle until it is stopped.
        const bool lost = Lost();
        const bool watchPort = !hungUp && !lost && roomInRing();
        if (dropHeld_.exchange(false, std::memory_order_acq_rel))
            source.DropHeld();
        // What the source already holds goes into the room without waiting for the descriptor.
        if (watchPort && source.Holding()) {
            ReceiveSource::Got unused;
            drain(fd, source, unused);
            continue;
        }
        std::array<pollfd, 2> fds = {pollfd{wakeup_.ReadFd(), POLLIN, 0}, pollfd{fd, POLLIN, 0}};
        const int ready = poll(fds.data(), watchPort ? 2 : 1, hungUp && !lost ? kHangUpRetryMs : -1);
        if (ready < 0) {
            if (errno != EINTR)
                hungUp = true;
            continue;
        }
        if (ready == 0) {
            hungUp = false;
            continue;
        }
        if (fds[0].revents != 0)
            wakeup_.Drain();
        if (!watchPort || fds[1].revents == 0)
            continue;
        ReceiveSource::Got last;
        if (drain(fd, source, last) > 0 || (last.progress && !last.endOfStream))
            continue;
        // The descriptor reported something but gave no byte. A source that is gone is
        // reported once; anything else is looked at again a little later instead of at once.
        if (last.endOfStream || (fds[1].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
            if (const std::optional<QString> reason = source.LossOf(last)) {
                markLost(*reason);
                continue;
            }
        }
        hungUp = true;
    }
}

int PortReceiver::drain(int fd, ReceiveSource &source, ReceiveSource::Got &last)
{
    int drained = 0;
    bool progress = false;
    // Back to poll() after a bounded number of reads, and at once when stopped: a server that
    // floods must not keep Stop waiting.
    for (int reads = 0; reads < kReadsPerDrain && running_.load(std::memory_order_acquire); ++reads) {
        const std::span<char> room = ring_.WritableSpan();
        if (room.empty())
            break; // full: the rest stays queued in the system
        last = source.ReadInto(fd, room);
        progress = progress || last.progress;
        if (last.data > 0) {
            ring_.Commit(last.data);
            drained += last.data;
        }
        if (!last.progress || last.endOfStream)
            break; // nothing more for now, a read error, or the end
    }
    last.progress = progress;
    if (drained > 0)
        publishData();
    return drained;
}
