#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

#include <QString>

#include "core/transport/WakeupPipe.h"

// Connects to a network port on a thread of its own, for a caller that must not wait (the
// windows looking once a second whether a lost network port is back): it asks again and again
// whether the server is reachable, and the connection made is handed to the next open instead
// of a second connect. A connection that is not taken within kKeepMs is closed. Used from one
// thread; the attempt's own thread is joined on Cancel and at destruction.
class BackgroundConnect {
public:
    static constexpr std::uint32_t kKeepMs = 5000;

    explicit BackgroundConnect(std::uint32_t timeoutMs) : timeoutMs_(timeoutMs) {}
    ~BackgroundConnect();
    BackgroundConnect(const BackgroundConnect &) = delete;
    BackgroundConnect &operator=(const BackgroundConnect &) = delete;

    // True once an attempt to host:port has connected and its socket waits to be taken.
    // Otherwise starts an attempt unless one to host:port is on its way (an attempt to
    // another address is given up), and returns false at once.
    bool Ready(const QString &host, std::uint16_t port);
    // The waiting connected socket to host:port, now the caller's; -1 when there is none. Any
    // other attempt is given up.
    int Take(const QString &host, std::uint16_t port);
    // Gives up the attempt on its way and closes a socket nobody took.
    void Cancel();

private:
    void run(QString host, std::uint16_t port);
    bool sameTarget(const QString &host, std::uint16_t port) const { return host == host_ && port == port_; }

    const std::uint32_t timeoutMs_;
    WakeupPipe cancel_;
    std::thread thread_;

    std::mutex mutex_;
    std::condition_variable changed_;
    QString host_;
    std::uint16_t port_ = 0;
    bool busy_ = false;  // the thread connects or keeps its socket
    bool stop_ = false;  // the thread is to give up
    int fd_ = -1;        // connected, waiting to be taken
};
