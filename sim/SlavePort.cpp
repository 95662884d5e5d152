#include "SlavePort.h"

#include <array>
#include <cerrno>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <QFile>

#include "PtyLink.h"
#include "TermiosSpeed.h"

SlavePort::~SlavePort()
{
    Close();
}

bool SlavePort::Open(const QString &path, int baud)
{
    Close();
    fd_ = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    hungUp_ = false;
    pending_.clear();
    return fd_ >= 0 && SetBaud(baud);
}

void SlavePort::Close()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

bool SlavePort::SetBaud(int baud)
{
    termios settings{};
    if (fd_ < 0 || tcgetattr(fd_, &settings) != 0)
        return false;
    cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD;
    cfsetispeed(&settings, SpeedOfBaud(baud));
    cfsetospeed(&settings, SpeedOfBaud(baud));
    return tcsetattr(fd_, TCSANOW, &settings) == 0;
}

bool SlavePort::Write(const QByteArray &bytes)
{
    return fd_ >= 0 && ::write(fd_, bytes.constData(), static_cast<size_t>(bytes.size())) == bytes.size();
}

void SlavePort::fill(std::int64_t waitUs)
{
    pollfd wait{fd_, POLLIN, 0};
    ::poll(&wait, 1, static_cast<int>(waitUs / 1000) + 1);
    std::array<char, 4096> buffer{};
    const ssize_t n = ::read(fd_, buffer.data(), buffer.size());
    if (n > 0)
        pending_.append(buffer.data(), static_cast<int>(n));
    else if ((n == 0 && (wait.revents & POLLHUP)) || (n < 0 && errno == EIO))
        hungUp_ = true;
}

QByteArray SlavePort::ReadLine(int timeoutMs)
{
    const std::int64_t deadline = SteadyMicros() + 1000LL * timeoutMs;
    while (true) {
        const int lf = pending_.indexOf('\n');
        if (lf >= 0) {
            const QByteArray line = pending_.left(lf + 1);
            pending_.remove(0, lf + 1);
            return line;
        }
        const std::int64_t left = deadline - SteadyMicros();
        if (left <= 0 || hungUp_ || fd_ < 0)
            return {};
        fill(left);
    }
}

QByteArray SlavePort::ReadFor(int timeoutMs)
{
    const std::int64_t deadline = SteadyMicros() + 1000LL * timeoutMs;
    while (!hungUp_ && fd_ >= 0) {
        const std::int64_t left = deadline - SteadyMicros();
        if (left <= 0)
            break;
        fill(left);
    }
    QByteArray all;
    all.swap(pending_);
    return all;
}
