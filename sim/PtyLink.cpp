#include "PtyLink.h"

#include <array>
#include <cerrno>
#include <chrono>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include "TermiosSpeed.h"

namespace {

constexpr int kWriteWaitMs = 1000;

} // namespace

std::int64_t SteadyMicros()
{
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void SleepUntilMicros(std::int64_t timeUs)
{
    std::this_thread::sleep_until(std::chrono::steady_clock::time_point(std::chrono::microseconds(timeUs)));
}

PtyLink::~PtyLink()
{
    Close();
}

bool PtyLink::Open(int baud)
{
    Close();
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0)
        return false;
    if (grantpt(master_) != 0 || unlockpt(master_) != 0) {
        Close();
        return false;
    }
    std::array<char, 128> name{};
    if (ptsname_r(master_, name.data(), name.size()) != 0) {
        Close();
        return false;
    }
    slavePath_ = QString::fromLocal8Bit(name.data());
    slave_ = ::open(name.data(), O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (slave_ < 0) {
        Close();
        return false;
    }
    // Raw from the start: with the default line discipline the slave would echo what the
    // camera writes straight back to it.
    termios settings{};
    if (tcgetattr(slave_, &settings) == 0) {
        cfmakeraw(&settings);
        cfsetispeed(&settings, SpeedOfBaud(baud));
        cfsetospeed(&settings, SpeedOfBaud(baud));
        tcsetattr(slave_, TCSANOW, &settings);
    }
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    return true;
}

void PtyLink::Close()
{
    if (slave_ >= 0)
        ::close(slave_);
    if (master_ >= 0)
        ::close(master_);
    slave_ = -1;
    master_ = -1;
}

std::optional<int> PtyLink::LineSpeed() const
{
    termios settings{};
    if (master_ < 0 || tcgetattr(master_, &settings) != 0)
        return std::nullopt;
    return BaudOfSpeed(cfgetospeed(&settings));
}

int PtyLink::Read(char *buffer, int size)
{
    const ssize_t n = ::read(master_, buffer, static_cast<size_t>(size));
    if (n >= 0)
        return static_cast<int>(n);
    return errno == EAGAIN || errno == EINTR ? 0 : -1;
}

bool PtyLink::Write(const char *data, int size)
{
    int done = 0;
    while (done < size) {
        const ssize_t n = ::write(master_, data + done, static_cast<size_t>(size - done));
        if (n > 0) {
            done += static_cast<int>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        pollfd wait{master_, POLLOUT, 0};
        if (::poll(&wait, 1, kWriteWaitMs) <= 0)
            return false;
    }
    return true;
}
