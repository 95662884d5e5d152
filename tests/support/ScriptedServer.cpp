#include "support/ScriptedServer.h"

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
const QByteArray kRateRequest("\xff\xfa\x2c\x01", 4); // IAC SB COM-PORT-OPTION SET-BAUDRATE
} // namespace

ScriptedServer::ScriptedServer(Script script)
{
    listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    (void)bind(listener_, reinterpret_cast<sockaddr *>(&address), length);
    (void)listen(listener_, script ? 1 : 0);
    (void)getsockname(listener_, reinterpret_cast<sockaddr *>(&address), &length);
    port_ = ntohs(address.sin_port);
    if (!script) {
        for (int i = 0; i < 4; ++i) { // connections never accepted, until new ones stall
            fillers_.push_back(socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
            (void)connect(fillers_.back(), reinterpret_cast<sockaddr *>(&address), length);
        }
        return;
    }
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
    if (client_ >= 0)
        close(client_);
    close(listener_);
}

bool ScriptedServer::Send(const QByteArray &bytes)
{
    for (qsizetype sent = 0; sent < bytes.size() && !Ending();) {
        const ssize_t n = send(client_, bytes.constData() + sent, bytes.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0 && errno != EAGAIN)
            return false;
        sent += n > 0 ? n : 0;
        pollfd out{client_, POLLOUT, 0};
        (void)poll(&out, 1, 50);
    }
    return !Ending();
}

bool ScriptedServer::AgreeComPort()
{
    return Send(QByteArray("\xff\xfd\x2c", 3));
}

std::optional<QByteArray> ScriptedServer::AwaitAfter(const QByteArray &pattern, int count)
{
    for (;;) {
        const qsizetype at = received_.indexOf(pattern);
        const qsizetype end = at + pattern.size() + count;
        if (at >= 0 && received_.size() >= end) {
            const QByteArray after = received_.mid(at + pattern.size(), count);
            received_.remove(0, end);
            return after;
        }
        pollfd in{client_, POLLIN, 0};
        if (Ending() || poll(&in, 1, 50) < 0)
            return std::nullopt;
        char buffer[4096];
        const ssize_t n = (in.revents & POLLIN) != 0 ? recv(client_, buffer, sizeof buffer, 0) : -1;
        if (n == 0)
            return std::nullopt;
        received_.append(buffer, n > 0 ? n : 0);
    }
}

quint32 ScriptedServer::AwaitRateRequest()
{
    quint32 rate = 0;
    for (const char byte : AwaitAfter(kRateRequest, 4).value_or(QByteArray()))
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

void ScriptedServer::ConfirmEveryRate()
{
    AgreeComPort();
    while (const quint32 rate = AwaitRateRequest())
        ConfirmRate(rate);
}
