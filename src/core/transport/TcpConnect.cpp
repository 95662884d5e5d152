#include "core/transport/TcpConnect.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "core/common/TickClock.h"

namespace {

QString reasonOf(int error, std::uint32_t timeoutMs)
{
    switch (error) {
    case ECONNREFUSED:
        return QStringLiteral("connection refused");
    case EHOSTUNREACH:
    case ENETUNREACH:
        return QStringLiteral("no route to host");
    case ETIMEDOUT:
        return QStringLiteral("no answer within %1 s").arg(timeoutMs / 1000.0, 0, 'g', 3);
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

// One address: the socket once connected, or -1 with errno set.
int connectOne(const addrinfo &address, int waitMs)
{
    const int fd = socket(address.ai_family, address.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, address.ai_protocol);
    if (fd < 0)
        return -1;
    int error = 0;
    if (connect(fd, address.ai_addr, address.ai_addrlen) != 0) {
        error = errno;
        if (error == EINPROGRESS) {
            pollfd out{fd, POLLOUT, 0};
            int ready = 0;
            do {
                ready = poll(&out, 1, waitMs);
            } while (ready < 0 && errno == EINTR);
            socklen_t length = sizeof error;
            if (ready == 0)
                error = ETIMEDOUT;
            else if (ready < 0 || getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
                error = errno;
        }
    }
    if (error != 0) {
        close(fd);
        errno = error;
        return -1;
    }
    const int on = 1;
    (void)setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    return fd;
}

} // namespace

TcpConnection ConnectTcp(const QString &host, std::uint16_t port, std::uint32_t timeoutMs)
{
    TcpConnection result;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo *found = nullptr;
    const QByteArray name = host.toUtf8();
    const QByteArray service = QByteArray::number(port);
    const int resolved = getaddrinfo(name.constData(), service.constData(), &hints, &found);
    if (resolved != 0) {
        result.errorNumber = resolved == EAI_SYSTEM ? errno : 0;
        result.reason = QStringLiteral("unknown host \"%1\" (%2)").arg(host, QString::fromLocal8Bit(gai_strerror(resolved)));
        return result;
    }

    const TickClock clock;
    const std::uint32_t start = clock.Now();
    int error = ETIMEDOUT;
    for (const addrinfo *address = found; address != nullptr; address = address->ai_next) {
        const std::uint32_t elapsed = clock.Since(start);
        if (elapsed >= timeoutMs) {
            error = ETIMEDOUT;
            break;
        }
        result.fd = connectOne(*address, static_cast<int>(timeoutMs - elapsed));
        if (result.fd >= 0)
            break;
        error = errno;
    }
    freeaddrinfo(found);
    if (result.fd < 0) {
        result.errorNumber = error;
        result.reason = reasonOf(error, timeoutMs);
    }
    return result;
}
