#include "support/ScriptedServer.h"

#include <chrono>

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

ScriptedServer::ScriptedServer(Script script)
{
    listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
    socklen_t length = sizeof address;
    (void)bind(listener_, reinterpret_cast<sockaddr *>(&address), length);
    (void)listen(listener_, script ? 1 : 0);
    (void)getsockname(listener_, reinterpret_cast<sockaddr *>(&address), &length);
    port_ = ntohs(address.sin_port);
    for (int i = 0; !script && i < 4; ++i) { // never accepted, until new ones stall
        fillers_.push_back(socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
        (void)connect(fillers_.back(), reinterpret_cast<sockaddr *>(&address), length);
    }
    if (script)
        thread_ = std::thread([this, script] {
            pollfd in{listener_, POLLIN, 0};
            while (!Ending() && poll(&in, 1, 50) == 0) {
            }
            if (!Ending() && (client_ = accept(listener_, nullptr, nullptr)) >= 0)
                script(*this);
        });
}

ScriptedServer::~ScriptedServer()
{
    ending_ = true;
    if (thread_.joinable())
        thread_.join();
    for (const int fd : fillers_)
        close(fd);
    close(client_);
    close(listener_);
}

bool ScriptedServer::Send(const QByteArray &bytes)
{
    for (qsizetype sent = 0; sent < bytes.size() && !Ending();) {
        const ssize_t n = send(client_, bytes.constData() + sent, bytes.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0 && errno != EAGAIN)
            return false;
        sent += std::max<ssize_t>(n, 0);
        pollfd out{client_, POLLOUT, 0};
        (void)poll(&out, 1, 50);
    }
    return !Ending();
}

std::optional<QByteArray> ScriptedServer::AwaitAfter(const QByteArray &pattern, int count)
{
    for (char buffer[4096];;) {
        const qsizetype at = received_.indexOf(pattern), end = at + pattern.size() + count;
        if (at >= 0 && received_.size() >= end) {
            const QByteArray after = received_.mid(at + pattern.size(), count);
            received_.remove(0, end);
            return after;
        }
        pollfd in{client_, POLLIN, 0};
        const ssize_t n = !Ending() && poll(&in, 1, 50) > 0 ? recv(client_, buffer, sizeof buffer, 0) : -1;
        if (n == 0 || Ending())
            return std::nullopt;
        received_.append(buffer, std::max<ssize_t>(n, 0));
    }
}

quint32 ScriptedServer::AwaitRateRequest()
{
    quint32 rate = 0; // IAC SB COM-PORT-OPTION SET-BAUDRATE, then the rate
    for (const char byte : AwaitAfter(QByteArray("\xff\xfa\x2c\x01", 4), 4).value_or(QByteArray()))
        rate = (rate << 8) | static_cast<unsigned char>(byte);
    return rate;
}

bool ScriptedServer::ConfirmRate(quint32 rate)
{
    QByteArray reply("\xff\xfa\x2c\x65", 4); // the server's answer to SET-BAUDRATE
    for (int shift = 24; shift >= 0; shift -= 8)
        reply.append(static_cast<char>((rate >> shift) & 0xFF));
    return Send(reply + QByteArray("\xff\xf0", 2));
}

bool ScriptedServer::Agree()
{
    return Send(QByteArray("\xff\xfd\x2c", 3)) && ConfirmRate(AwaitRateRequest()); // DO COM-PORT-OPTION
}

void ScriptedServer::Idle()
{
    while (!Ending())
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
}
