#pragma once

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QByteArray>
#include <QString>

// A serial device server on 127.0.0.1 that plays a script to the one client it accepts: each
// step waits until the client has sent its bytes (if any), then sends its own, again and again
// for floodMs when that is given. After the last step it reads nothing more. Without a script
// it accepts nobody and its queue is full: connections hang, as to a host that drops packets.
class ScriptedServer {
public:
    struct Step {
        QByteArray await, send;
        int floodMs = 0;
    };
    explicit ScriptedServer(std::vector<Step> script = {})
    {
        sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
        socklen_t length = sizeof address;
        (void)bind(listener_, reinterpret_cast<sockaddr *>(&address), length);
        (void)listen(listener_, script.empty() ? 0 : 1);
        (void)getsockname(listener_, reinterpret_cast<sockaddr *>(&address), &length);
        port_ = ntohs(address.sin_port);
        for (int i = 0; script.empty() && i < 4; ++i) // never accepted, until new ones stall
            (void)connect(fillers_.emplace_back(socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0)),
                          reinterpret_cast<sockaddr *>(&address), length);
        if (!script.empty())
            thread_ = std::thread([this, script] { play(script); });
    }
    ~ScriptedServer()
    {
        ending_ = true;
        if (thread_.joinable())
            thread_.join();
        for (const int fd : fillers_)
            close(fd);
        close(client_);
        close(listener_);
    }
    quint16 Port() const { return port_; }
    QString Address() const { return QStringLiteral("rfc2217://127.0.0.1:%1").arg(port_); }

private:
    // Waits up to 50 ms for fd; false once the server ends.
    bool ready(int fd, short events) const
    {
        pollfd wait{fd, events, 0};
        return !ending_ && poll(&wait, 1, 50) > 0;
    }
    void play(const std::vector<Step> &script)
    {
        while (!ending_ && !ready(listener_, POLLIN)) {
        }
        client_ = ending_ ? -1 : accept(listener_, nullptr, nullptr);
        QByteArray received;
        char buffer[4096];
        bool gone = false; // the client closed or broke the connection
        for (const Step &step : script) {
            while (!ending_ && !gone && received.indexOf(step.await) < 0) {
                const ssize_t n = ready(client_, POLLIN) ? recv(client_, buffer, sizeof buffer, 0) : -1;
                gone = n == 0;
                received.append(buffer, std::max<ssize_t>(n, 0));
            }
            received.remove(0, received.indexOf(step.await) + step.await.size());
            const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(step.floodMs);
            do {
                for (qsizetype sent = 0; !gone && sent < step.send.size() && ready(client_, POLLOUT);) {
                    const ssize_t n = send(client_, step.send.constData() + sent, step.send.size() - sent, MSG_NOSIGNAL);
                    gone = n < 0;
                    sent += std::max<ssize_t>(n, 0);
                }
            } while (!ending_ && !gone && std::chrono::steady_clock::now() < end);
        }
        while (!ending_)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }

    int listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int client_ = -1;
    quint16 port_ = 0;
    std::atomic<bool> ending_{false};
    std::vector<int> fillers_;
    std::thread thread_;
};
