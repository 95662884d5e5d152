#pragma once

#include <cstdint>

#include <QString>

// The outcome of a TCP connection attempt: a connected, non-blocking, close-on-exec socket, or
// why there is none.
struct TcpConnection {
    int fd = -1;
    int errorNumber = 0; // errno of the failure; 0 for a name that does not resolve
    QString reason;      // in words: "unknown host ...", "connection refused", ...
};

// Connects to host:port, trying each address the name resolves to, and gives up after
// timeoutMs instead of the system's minutes. Small writes go out at once (no Nagle delay).
TcpConnection ConnectTcp(const QString &host, std::uint16_t port, std::uint32_t timeoutMs);
