#include "core/transport/ComPort.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <system_error>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <QFile>

#include "core/common/Dialogs.h"
#include "core/common/TickClock.h"
#include "core/settings/SettingsStore.h"
#include "core/transport/DevicePresence.h"
#include "core/transport/LineSettings.h"

namespace {

// Step names as the failure messages show them, in OpenStep order.
constexpr std::array<const char *, 6> kStepNames = {
    "CreateFile", "SetCommMask", "SetupComm", "SetCommTimeouts", "GetCommState", "SetCommState",
};

constexpr std::uint32_t kByteWriteLimitMs = 1000;
constexpr std::uint32_t kWriteRetryMs = 50;
// A hang-up that is not (yet) a loss, such as a device node that udev has not removed yet,
// keeps reporting POLLHUP; look at it again only this often instead of spinning on it.
constexpr int kHangUpRetryMs = 100;

} // namespace

ComPort::ComPort(const SettingsStore &settings, Dialogs &dialogs) : settings_(settings), dialogs_(dialogs) {}

ComPort::~ComPort()
{
    ClosePort();
}

bool ComPort::OpenPort(const QString &name, int baud)
{
    if (IsOpen())
        ClosePort();

    lastFailure_ = OpenFailure{};
    if (!openDevice(settings_.PortDevice(name)))
        return fail(OpenStep::CreateFile, name);
    if (!wakeup_.Create())
        return fail(OpenStep::SetCommMask, name);
    // SetupComm has no counterpart: the ring is ours and the driver sizes its own queues.

    termios line{};
    if (tcgetattr(fd_, &line) != 0)
        return fail(OpenStep::SetCommTimeouts, name);
    SetImmediateReads(line);
    if (tcsetattr(fd_, TCSANOW, &line) != 0)
        return fail(OpenStep::SetCommTimeouts, name);

    if (tcgetattr(fd_, &line) != 0)
        return fail(OpenStep::GetCommState, name);

    const std::optional<speed_t> speed = SpeedConstantOf(baud);
    if (!speed) {
        errno = EINVAL;
        return fail(OpenStep::SetCommState, name);
    }
    termios wanted = line;
    SetRawLine(wanted, *speed);
    termios actual{};
    // tcsetattr succeeds when any part took, so read back what the driver kept.
    if (tcsetattr(fd_, TCSANOW, &wanted) != 0 || tcgetattr(fd_, &actual) != 0 ||
        !LineSettingsTook(wanted, actual))
        return fail(OpenStep::SetCommState, name);

    setModemLines();

    ring_.Reset();
    roomWanted_.store(false);
    {
        const std::lock_guard<std::mutex> lock(dataMutex_);
        lossReason_.clear();
        lost_.store(false, std::memory_order_release);
    }
    running_.store(true, std::memory_order_release);
    try {
        receiver_ = std::thread(&ComPort::receiveLoop, this, fd_, device_);
    } catch (const std::system_error &) {
        running_.store(false);
        return fail(OpenStep::SetCommMask, name);
    }
    return true;
}

bool ComPort::openDevice(const QString &device)
{
    lastFailure_.device = device;
    device_ = device;
    if (device.isEmpty())
        return false;
    const QByteArray path = QFile::encodeName(device);
    fd_ = open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) {
        lastFailure_.errorNumber = errno;
        if (errno == EACCES || errno == EPERM)
            lastFailure_.ownerGroup = OwnerGroupOf(device);
        return false;
    }
    // Exclusive use: another holder of the device makes this fail, like a port in use.
    // TIOCEXCL also fails with ENOTTY on anything that is not a terminal.
    if (flock(fd_, LOCK_EX | LOCK_NB) != 0 || ioctl(fd_, TIOCEXCL) != 0) {
        lastFailure_.errorNumber = errno;
        close(fd_);
        fd_ = -1;
        return false;
    }
    return true;
}

void ComPort::setModemLines()
{
    // Pseudo-terminals have no modem lines; the camera does not need them either.
    int dtr = TIOCM_DTR;
    int rts = TIOCM_RTS;
    (void)ioctl(fd_, TIOCMBIS, &dtr);
    (void)ioctl(fd_, TIOCMBIC, &rts);
}

bool ComPort::fail(OpenStep step, const QString &name)
{
    lastFailure_.failed = true;
    if (lastFailure_.errorNumber == 0)
        lastFailure_.errorNumber = errno;
    ClosePort();
    if (quiet_)
        return false;
    MessageRequest box;
    box.text = QStringLiteral("Failed to initialize %1 port!\nError in %2()")
                   .arg(name, QString::fromLatin1(kStepNames[static_cast<std::size_t>(step)]));
    // Why, in words the operator can act on, below the fixed text.
    box.detailedText = DescribeOpenFailure(lastFailure_, settings_.Path());
    dialogs_.ShowMessage(box);
    return false;
}

void ComPort::ClosePort()
{
    running_.store(false, std::memory_order_release);
    if (receiver_.joinable()) {
        wakeup_.Signal();
        receiver_.join();
    }
    roomWanted_.store(false);
    wakeup_.Destroy();
    if (fd_ >= 0) {
        // The exclusive flag stays on the terminal while anyone else keeps it open, which
        // would lock out the next opener; the flock goes with the descriptor.
        (void)ioctl(fd_, TIOCNXCL);
        close(fd_);
        fd_ = -1;
    }
}

int ComPort::WriteBytes(const char *bytes, int count)
{
    if (!IsOpen() || count <= 0)
        return 0;
    for (int i = 0; i < count; ++i)
        writeOneByte(bytes[i]); // a byte the port does not take in time is dropped
    return 1;
}

bool ComPort::writeOneByte(char byte)
{
    const TickClock clock;
    const std::uint32_t start = clock.Now();
    for (;;) {
        const ssize_t written = write(fd_, &byte, 1);
        if (written == 1)
            return true;
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            return false;
        const std::uint32_t elapsed = clock.Since(start);
        if (elapsed >= kByteWriteLimitMs)
            return false;
        // Waited in slices: a pseudo-terminal can regain room without waking a poll() that
        // watches for it, and the byte should still go as soon as there is room.
        pollfd out{fd_, POLLOUT, 0};
        const int ready = poll(&out, 1, static_cast<int>(std::min(kByteWriteLimitMs - elapsed, kWriteRetryMs)));
        if (ready < 0 && errno != EINTR)
            return false;
        if (ready > 0 && (out.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0)
            return false;
    }
}

int ComPort::ReadAvailable(char *buffer, int max)
{
    if (!IsOpen() || max <= 0)
        return 0;
    const int taken = ring_.Take(buffer, max);
    if (taken > 0)
        roomMade();
    return taken;
}

int ComPort::Available() const
{
    return ring_.Available();
}

void ComPort::ResetRing()
{
    if (receiver_.joinable()) {
        // The write index belongs to the receive thread while it runs: empty the ring from
        // the reading side instead.
        ring_.Discard();
        roomMade();
    } else {
        ring_.Reset();
    }
}

bool ComPort::WaitForData(std::uint32_t timeoutMs)
{
    std::unique_lock<std::mutex> lock(dataMutex_);
    // A loss wakes the waiter too: the exchange that waits fails at once instead of timing out.
    dataArrived_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                          [this] { return IsOpen() && (ring_.Available() > 0 || Lost()); });
    return IsOpen() && ring_.Available() > 0;
}

QString ComPort::LossReason() const
{
    const std::lock_guard<std::mutex> lock(dataMutex_);
    return lossReason_;
}

void ComPort::markLost(const QString &reason)
{
    {
        const std::lock_guard<std::mutex> lock(dataMutex_);
        lossReason_ = reason;
        lost_.store(true, std::memory_order_release);
    }
    dataArrived_.notify_all();
}

std::optional<QString> ComPort::lossOf(int readError, const QString &device)
{
    // The node going away is the clearest sign of a pulled adapter, whatever read said.
    if (!DevicePresent(device))
        return QStringLiteral("device removed");
    if (readError == EIO || readError == ENXIO || readError == ENODEV)
        return QString::fromLocal8Bit(std::strerror(readError));
    return std::nullopt;
}

void ComPort::publishData()
{
    // Taking the mutex orders this notification after any waiter's check of the ring.
    { const std::lock_guard<std::mutex> lock(dataMutex_); }
    dataArrived_.notify_all();
}

void ComPort::roomMade()
{
    // Both sides change roomWanted_ with read-modify-writes, so either this exchange sees
    // the receive thread's request and wakes it, or the thread's exchange comes after ours
    // and its look at the ring then sees the room we made.
    if (roomWanted_.exchange(false))
        wakeup_.Signal();
}

bool ComPort::roomInRing()
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

void ComPort::receiveLoop(int portFd, QString device)
{
    bool hungUp = false;
    while (running_.load(std::memory_order_acquire)) {
        // With a full ring the port is not polled, so what arrives waits in the driver
        // until the reader makes room and wakes us. A lost port is not polled at all: the
        // thread sleeps on the wake-up handle until the port is closed.
        const bool lost = Lost();
        const bool watchPort = !hungUp && !lost && roomInRing();
        std::array<pollfd, 2> fds = {pollfd{wakeup_.ReadFd(), POLLIN, 0}, pollfd{portFd, POLLIN, 0}};
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
        int readError = 0;
        if (drainPort(portFd, readError) > 0)
            continue;
        // The port reported something but gave no byte. A device that is gone is reported
        // once; anything else is looked at again a little later instead of at once.
        if ((fds[1].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
            if (const std::optional<QString> reason = lossOf(readError, device)) {
                markLost(*reason);
                continue;
            }
        }
        hungUp = true;
    }
}

int ComPort::drainPort(int portFd, int &readError)
{
    int drained = 0;
    for (;;) {
        const std::span<char> room = ring_.WritableSpan();
        if (room.empty())
            break; // full: the rest stays queued in the driver
        const ssize_t got = read(portFd, room.data(), room.size());
        if (got > 0) {
            ring_.Commit(static_cast<int>(got));
            drained += static_cast<int>(got);
            continue;
        }
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            readError = errno;
        break; // nothing more for now (0 with VMIN 0, or EAGAIN), or a read error
    }
    if (drained > 0)
        publishData();
    return drained;
}
