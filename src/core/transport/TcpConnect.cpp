#include "core/transport/TcpConnect.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <unistd.h>

#include "core/common/TickClock.h"
#include "core/transport/NameLookup.h"

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

// Starts a connection to one endpoint: the socket, connected or on its way, or -1 with errno
// set. connected tells which.
int startOne(const TcpEndpoint &endpoint, bool &connected)
{
    const int fd = socket(endpoint.address.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_TCP);
    if (fd < 0)
        return -1;
    connected = connect(fd, reinterpret_cast<const sockaddr *>(&endpoint.address), endpoint.length) == 0;
    if (connected || errno == EINPROGRESS)
        return fd;
    const int error = errno;
    close(fd);
    errno = error;
    return -1;
}

// What the connected socket keeps: no delay for small writes, and a broken connection found
// within seconds.
void tuneConnected(int fd)
{
    const int on = 1;
    (void)setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    (void)setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
    (void)setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &kKeepAliveIdleS, sizeof kKeepAliveIdleS);
    (void)setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &kKeepAliveIntervalS, sizeof kKeepAliveIntervalS);
    (void)setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &kKeepAliveProbes, sizeof kKeepAliveProbes);
    (void)setsockopt(fd, IPPROTO_TCP, TCP_USER_TIMEOUT, &kUserTimeoutMs, sizeof kUserTimeoutMs);
}

TcpConnection failed(int error, std::uint32_t timeoutMs)
{
    TcpConnection result;
    result.errorNumber = error;
    result.reason = reasonOf(error, timeoutMs);
    return result;
}

} // namespace

std::vector<TcpEndpoint> InterleaveFamilies(std::vector<TcpEndpoint> endpoints)
{
    std::vector<TcpEndpoint> ordered;
    ordered.reserve(endpoints.size());
    std::vector<bool> taken(endpoints.size(), false);
    sa_family_t family = endpoints.empty() ? AF_UNSPEC : endpoints.front().address.ss_family;
    while (ordered.size() < endpoints.size()) {
        // The next untaken endpoint of the family whose turn it is, else of any family.
        std::size_t pick = endpoints.size();
        for (std::size_t i = 0; i < endpoints.size(); ++i) {
            if (taken[i])
                continue;
            if (pick == endpoints.size())
                pick = i;
            if (endpoints[i].address.ss_family == family) {
                pick = i;
                break;
            }
        }
        taken[pick] = true;
        ordered.push_back(endpoints[pick]);
        const sa_family_t picked = endpoints[pick].address.ss_family;
        // The turn goes to the first other family still waiting.
        for (std::size_t i = 0; i < endpoints.size(); ++i) {
            if (!taken[i] && endpoints[i].address.ss_family != picked) {
                family = endpoints[i].address.ss_family;
                break;
            }
        }
    }
    return ordered;
}

TcpConnection ConnectFirstOf(std::span<const TcpEndpoint> endpoints, std::uint32_t timeoutMs, int cancelFd)
{
    const TickClock clock;
    const std::uint32_t start = clock.Now();
    std::vector<int> pending; // attempts on their way, oldest first
    std::size_t next = 0;
    std::uint32_t nextStartMs = 0; // after start
    int error = ETIMEDOUT;
    int winner = -1;
    while (winner < 0) {
        const std::uint32_t elapsed = clock.Since(start);
        if (elapsed >= timeoutMs) {
            error = ETIMEDOUT;
            break;
        }
        if (next < endpoints.size() && (pending.empty() || elapsed >= nextStartMs)) {
            bool connected = false;
            const int fd = startOne(endpoints[next++], connected);
            if (fd < 0) {
                error = errno;
                continue; // the next one at once
            }
            if (connected) {
                winner = fd;
                break;
            }
            pending.push_back(fd);
            nextStartMs = elapsed + kNextAddressDelayMs;
            continue;
        }
        if (pending.empty())
            break; // every address failed
        std::uint32_t waitMs = timeoutMs - elapsed;
        if (next < endpoints.size())
            waitMs = std::min(waitMs, nextStartMs - elapsed);
        std::vector<pollfd> fds;
        fds.reserve(pending.size() + 1);
        for (const int fd : pending)
            fds.push_back(pollfd{fd, POLLOUT, 0});
        if (cancelFd >= 0)
            fds.push_back(pollfd{cancelFd, POLLIN, 0});
        const int ready = poll(fds.data(), fds.size(), static_cast<int>(waitMs));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0) {
            error = errno;
            break;
        }
        if (cancelFd >= 0 && fds.back().revents != 0) {
            error = ECANCELED;
            break;
        }
        for (std::size_t i = 0; i < pending.size() && winner < 0; ++i) {
            if (fds[i].revents == 0)
                continue;
            int outcome = 0;
            socklen_t length = sizeof outcome;
            if (getsockopt(pending[i], SOL_SOCKET, SO_ERROR, &outcome, &length) != 0)
                outcome = errno;
            if (outcome == 0) {
                winner = pending[i];
                pending[i] = -1;
            } else {
                error = outcome;
                close(pending[i]);
                pending[i] = -1;
                nextStartMs = elapsed; // a failed attempt makes way for the next one at once
            }
        }
        pending.erase(std::remove(pending.begin(), pending.end(), -1), pending.end());
    }
    for (const int fd : pending)
        close(fd);
    if (winner < 0)
        return failed(error, timeoutMs);
    tuneConnected(winner);
    TcpConnection result;
    result.fd = winner;
    return result;
}

TcpConnection ConnectTcp(const QString &host, std::uint16_t port, std::uint32_t timeoutMs, int cancelFd)
{
    const TickClock clock;
    const std::uint32_t start = clock.Now();
    NameLookup lookup = LookUpName(host.toUtf8(), QByteArray::number(port), timeoutMs, cancelFd);
    switch (lookup.outcome) {
    case NameLookup::Outcome::Found:
        break;
    case NameLookup::Outcome::Cancelled:
        return failed(ECANCELED, timeoutMs);
    case NameLookup::Outcome::TimedOut: {
        TcpConnection result = failed(ETIMEDOUT, timeoutMs);
        result.reason = QStringLiteral("unknown host \"%1\" (the name service gave no answer within %2 s)")
                            .arg(host)
                            .arg(timeoutMs / 1000.0, 0, 'g', 3);
        return result;
    }
    case NameLookup::Outcome::Failed: {
        TcpConnection result;
        result.errorNumber = lookup.status == EAI_SYSTEM ? lookup.errorNumber : 0;
        result.reason = QStringLiteral("unknown host \"%1\" (%2)").arg(host, QString::fromLocal8Bit(gai_strerror(lookup.status)));
        return result;
    }
    }
    const std::uint32_t spent = clock.Since(start);
    if (spent >= timeoutMs)
        return failed(ETIMEDOUT, timeoutMs);
    TcpConnection result = ConnectFirstOf(InterleaveFamilies(std::move(lookup.endpoints)), timeoutMs - spent, cancelFd);
    if (result.errorNumber == ETIMEDOUT)
        result.reason = reasonOf(ETIMEDOUT, timeoutMs); // the whole limit, not what was left of it
    return result;
}
