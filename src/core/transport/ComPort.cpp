#include "core/transport/ComPort.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

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
#include "core/transport/NetworkAddress.h"

namespace {

// Step names as the failure messages show them, in OpenStep order.
constexpr std::array<const char *, 6> kStepNames = {
    "CreateFile", "SetCommMask", "SetupComm", "SetCommTimeouts", "GetCommState", "SetCommState",
};

constexpr std::uint32_t kByteWriteLimitMs = 1000;
constexpr std::uint32_t kWriteRetryMs = 50;

} // namespace

ComPort::ComPort(const SettingsStore &settings, Dialogs &dialogs) : settings_(settings), dialogs_(dialogs) {}

ComPort::~ComPort()
{
    ClosePort();
}

bool ComPort::OpenPort(const QString &name, int baud)
{
    const QString device = settings_.PortDevice(name);
    if (LooksLikeNetworkAddress(device))
        return openNetwork(name, device, baud);
    return openTerminal(name, device, baud);
}

bool ComPort::openTerminal(const QString &name, const QString &device, int baud)
{
    connector_.Cancel();
    if (IsOpen())
        ClosePort();

    lastFailure_ = OpenFailure{};
    if (!openDevice(device))
        return fail(OpenStep::CreateFile, name);
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

    terminal_.device = device_;
    if (!receiver_.Start(fd_, terminal_))
        return fail(OpenStep::SetCommMask, name);
    return true;
}

bool ComPort::openNetwork(const QString &name, const QString &device, int baud)
{
    if (network_.IsOpen() && device == device_ && !receiver_.Lost()) {
        // The same server: the connection stays and only the line's rate moves. What the
        // ring holds belongs to the old rate.
        lastFailure_ = OpenFailure{};
        lastFailure_.device = device;
        network_.DropDataUntilRate();
        receiver_.Discard();
        if (!network_.SetRate(baud))
            return failNetwork(OpenStep::SetCommState, name);
        receiver_.Discard();
        return true;
    }
    const std::optional<NetworkAddress> address = ParseNetworkAddress(device);
    // A connection made in the background to this address is taken over; it is ours until
    // Connect owns it.
    const int connected = address ? connector_.Take(address->host, address->port) : -1;
    if (IsOpen())
        ClosePort();

    lastFailure_ = OpenFailure{};
    lastFailure_.device = device;
    device_ = device;
    if (!address) {
        lastFailure_.failed = true;
        lastFailure_.reason = NetworkAddressProblem(device);
        lastFailure_.errorNumber = EINVAL;
        lastFailure_.network = true;
        lastFailure_.unreachable = true;
        return fail(OpenStep::CreateFile, name);
    }
    if (!network_.Connect(*address, connected)) {
        lastFailure_.unreachable = true;
        return failNetwork(OpenStep::CreateFile, name);
    }
    if (!receiver_.Start(network_.Fd(), network_))
        return fail(OpenStep::SetCommMask, name);
    if (!network_.SetUp(baud))
        return failNetwork(OpenStep::SetCommState, name);
    // Whatever came before the line was set up was sent at another rate.
    receiver_.Discard();
    return true;
}

bool ComPort::failNetwork(OpenStep step, const QString &name)
{
    lastFailure_.reason = network_.LastFailure().reason;
    lastFailure_.errorNumber = network_.LastFailure().errorNumber;
    lastFailure_.network = true;
    return fail(step, name);
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

bool ComPort::NetworkPortReachable(const QString &device)
{
    const std::optional<NetworkAddress> address = ParseNetworkAddress(device);
    return address && connector_.Ready(address->host, address->port);
}

void ComPort::ClosePort()
{
    connector_.Cancel();
    receiver_.Stop();
    network_.Close();
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
    if (network_.IsOpen()) {
        // A connection that does not take the line in time is lost: a server that is gone
        // without closing is found at once instead of after every exchange's time-out.
        if (!network_.Write(bytes, count))
            receiver_.ReportLoss(network_.LastFailure().reason);
        return 1;
    }
    // The whole line goes in one write where the port takes it; a byte the port does not take
    // in time is dropped and the rest still goes.
    for (int sent = 0; sent < count;)
        sent += std::max(writeSome(bytes + sent, count - sent), 1);
    return 1;
}

int ComPort::writeSome(const char *bytes, int count)
{
    const TickClock clock;
    const std::uint32_t start = clock.Now();
    for (;;) {
        const ssize_t written = write(fd_, bytes, static_cast<std::size_t>(count));
        if (written > 0)
            return static_cast<int>(written);
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            return 0;
        const std::uint32_t elapsed = clock.Since(start);
        if (elapsed >= kByteWriteLimitMs)
            return 0;
        // Waited in slices: a pseudo-terminal can regain room without waking a poll() that
        // watches for it, and the bytes should still go as soon as there is room.
        pollfd out{fd_, POLLOUT, 0};
        const int ready = poll(&out, 1, static_cast<int>(std::min(kByteWriteLimitMs - elapsed, kWriteRetryMs)));
        if (ready < 0 && errno != EINTR)
            return 0;
        if (ready > 0 && (out.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0)
            return 0;
    }
}

int ComPort::ReadAvailable(char *buffer, int max)
{
    return IsOpen() ? receiver_.Take(buffer, max) : 0;
}

int ComPort::Available() const
{
    return receiver_.Available();
}

void ComPort::ResetRing()
{
    receiver_.Discard();
}

bool ComPort::WaitForData(std::uint32_t timeoutMs)
{
    return IsOpen() && receiver_.WaitForData(timeoutMs);
}

ReceiveSource::Got ComPort::TerminalSource::ReadInto(int fd, std::span<char> room)
{
    Got got;
    for (;;) {
        const ssize_t n = read(fd, room.data(), room.size());
        if (n > 0) {
            got.data = static_cast<int>(n);
            got.progress = true;
            return got;
        }
        if (n < 0 && errno == EINTR)
            continue;
        // Nothing more for now (0 with VMIN 0, or EAGAIN), or a read error.
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            got.error = errno;
        return got;
    }
}

std::optional<QString> ComPort::TerminalSource::LossOf(const Got &last)
{
    // The node going away is the clearest sign of a pulled adapter, whatever read said.
    if (!DevicePresent(device))
        return QStringLiteral("device removed");
    if (last.error == EIO || last.error == ENXIO || last.error == ENODEV)
        return QString::fromLocal8Bit(std::strerror(last.error));
    return std::nullopt;
}
