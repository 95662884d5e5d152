#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include <sys/socket.h>

#include <QString>

// The outcome of a TCP connection attempt: a connected, non-blocking, close-on-exec socket, or
// why there is none.
struct TcpConnection {
    int fd = -1;
    int errorNumber = 0; // errno of the failure; 0 for a name that does not resolve
    QString reason;      // in words: "unknown host ...", "connection refused", ...
};

// One address a name resolved to.
struct TcpEndpoint {
    sockaddr_storage address{};
    socklen_t length = 0;
};

// How long the connected socket waits for an answer from the other end before the connection
// counts as broken: a peer that vanished without closing (a pulled cable) is found within
// seconds instead of the system's quarter of an hour. An idle connection is probed after
// kKeepAliveIdleS, then every kKeepAliveIntervalS; data the peer has not acknowledged after
// kUserTimeoutMs breaks the connection, and so do unanswered probes.
inline constexpr int kKeepAliveIdleS = 2;
inline constexpr int kKeepAliveIntervalS = 1;
inline constexpr int kKeepAliveProbes = 3;
inline constexpr unsigned kUserTimeoutMs = 5000;
// A further address is tried when the ones before have not connected within this time; the
// earlier attempts go on meanwhile and the first to connect is taken.
inline constexpr std::uint32_t kNextAddressDelayMs = 250;

// Connects to host:port, trying the addresses the name resolves to, and gives up after
// timeoutMs (counted from the start, the name's resolution included) instead of the system's
// minutes. Small writes go out at once (no Nagle delay). cancelFd, when not -1, ends the
// attempt (ECANCELED) as soon as it becomes readable.
TcpConnection ConnectTcp(const QString &host, std::uint16_t port, std::uint32_t timeoutMs, int cancelFd = -1);

// The connection to the first of the endpoints that answers: the first is tried at once, each
// next one when those before have failed or not connected within kNextAddressDelayMs (address
// families taking turns), all within timeoutMs.
TcpConnection ConnectFirstOf(std::span<const TcpEndpoint> endpoints, std::uint32_t timeoutMs, int cancelFd = -1);

// The endpoints in the order they are tried: families taking turns, each family in the
// resolver's order, starting with the resolver's first.
std::vector<TcpEndpoint> InterleaveFamilies(std::vector<TcpEndpoint> endpoints);
