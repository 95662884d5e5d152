#include "PtyPair.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include "core/transport/ComPort.h"

PtyPair::PtyPair()
{
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0)
        return;
    const char *name = ptsname(master_);
    if (name == nullptr)
        return;
    slavePath_ = QString::fromLocal8Bit(name);
    slave_ = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
}

PtyPair::~PtyPair()
{
    CloseAll();
}

void PtyPair::CloseAll()
{
    if (master_ >= 0)
        close(master_);
    if (slave_ >= 0)
        close(slave_);
    master_ = slave_ = -1;
}

QByteArray PtyPair::PortsIni(int comNumber) const
{
    return QStringLiteral("[Ports]\nCOM%1=%2\n").arg(comNumber).arg(slavePath_).toLocal8Bit();
}

bool PtyPair::WriteMaster(const QByteArray &bytes) const
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t written = write(master_, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += written;
    }
    return true;
}

QByteArray PtyPair::ReadMaster(int count, int timeoutMs) const
{
    QByteArray got;
    const std::int64_t end = SteadyMs() + timeoutMs;
    while (got.size() < count) {
        const std::int64_t left = end - SteadyMs();
        if (left <= 0)
            break;
        pollfd in{master_, POLLIN, 0};
        if (poll(&in, 1, static_cast<int>(left)) <= 0)
            continue;
        char buffer[512];
        const ssize_t n = read(master_, buffer, sizeof buffer);
        if (n <= 0)
            break;
        got.append(buffer, n);
    }
    return got;
}

std::int64_t SteadyMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

QByteArray CollectFromPort(ComPort &port, int count, int timeoutMs)
{
    QByteArray got;
    const std::int64_t end = SteadyMs() + timeoutMs;
    char buffer[256];
    while (got.size() < count && SteadyMs() < end) {
        port.WaitForData(20);
        got.append(buffer, port.ReadAvailable(buffer, sizeof buffer));
    }
    return got;
}
