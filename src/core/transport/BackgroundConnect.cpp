#include "core/transport/BackgroundConnect.h"

#include <chrono>
#include <system_error>

#include <unistd.h>

#include "core/transport/TcpConnect.h"

BackgroundConnect::~BackgroundConnect()
{
    Cancel();
}

bool BackgroundConnect::Ready(const QString &host, std::uint16_t port)
{
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (busy_ && sameTarget(host, port))
            return fd_ >= 0;
    }
    Cancel(); // the attempt that ended (its thread is joined), or one to another address
    if (!cancel_.IsValid() && !cancel_.Create())
        return false;
    const std::lock_guard<std::mutex> lock(mutex_);
    host_ = host;
    port_ = port;
    stop_ = false;
    busy_ = true;
    try {
        thread_ = std::thread(&BackgroundConnect::run, this, host, port);
    } catch (const std::system_error &) {
        busy_ = false;
    }
    return false;
}

int BackgroundConnect::Take(const QString &host, std::uint16_t port)
{
    int taken = -1;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (fd_ >= 0 && sameTarget(host, port)) {
            taken = fd_;
            fd_ = -1;
        }
    }
    // The thread keeping it ends now, as would one still trying another address.
    Cancel();
    return taken;
}

void BackgroundConnect::Cancel()
{
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) {
        cancel_.Signal();
        thread_.join();
    }
    if (cancel_.IsValid())
        cancel_.Drain();
    const std::lock_guard<std::mutex> lock(mutex_);
    if (fd_ >= 0) {
        close(fd_);
        fd_ = -1;
    }
    busy_ = false;
}

void BackgroundConnect::run(QString host, std::uint16_t port)
{
    const TcpConnection connection = ConnectTcp(host, port, timeoutMs_, cancel_.ReadFd());
    std::unique_lock<std::mutex> lock(mutex_);
    if (connection.fd >= 0 && !stop_) {
        fd_ = connection.fd;
        changed_.wait_for(lock, std::chrono::milliseconds(kKeepMs), [this] { return stop_ || fd_ < 0; });
        // Not taken in time: a later look connects afresh rather than hand over a socket that
        // may have gone stale meanwhile.
        if (fd_ >= 0) {
            close(fd_);
            fd_ = -1;
        }
    } else if (connection.fd >= 0) {
        close(connection.fd);
    }
    busy_ = false;
}
