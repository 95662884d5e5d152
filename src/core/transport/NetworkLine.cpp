#include "core/transport/NetworkLine.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "core/common/TickClock.h"
#include "core/transport/TcpConnect.h"

namespace {

constexpr std::uint32_t kWriteLimitMs = 1000;

QString seconds(std::uint32_t ms)
{
    return QString::number(ms / 1000.0, 'g', 3);
}

} // namespace

class NetworkLine::ServerEvents : public telnet::DecoderEvents {
public:
    explicit ServerEvents(NetworkLine &line) : line_(line) {}
    void OptionVerb(unsigned char verb, unsigned char option) override { line_.optionVerb(verb, option); }
    void Subnegotiation(unsigned char option, std::span<const unsigned char> body) override
    {
        line_.subnegotiation(option, body);
    }

private:
    NetworkLine &line_;
};

NetworkLine::~NetworkLine()
{
    Close();
}

bool NetworkLine::fail(int errorNumber, const QString &reason)
{
    failure_ = Failure{errorNumber, reason};
    return false;
}

bool NetworkLine::failSend()
{
    if (errno == EPIPE || errno == ECONNRESET)
        return fail(ECONNRESET, QStringLiteral("the server closed the connection"));
    return fail(errno, QStringLiteral("the server does not take what we send"));
}

bool NetworkLine::Connect(const NetworkAddress &address, int connectedFd)
{
    Close();
    address_ = address;
    failure_ = Failure{};
    if (connectedFd < 0) {
        const TcpConnection connection = ConnectTcp(address.host, address.port, kConnectTimeoutMs);
        if (connection.fd < 0)
            return fail(connection.errorNumber, connection.reason);
        connectedFd = connection.fd;
    }
    fd_ = connectedFd;
    // A banner or the camera's output before the line is set up is not data at our rate.
    DropDataUntilRate();
    return true;
}

void NetworkLine::DropDataUntilRate()
{
    // A raw line is never asked for a rate, so nothing would end the dropping.
    if (CanChangeRate())
        dropping_.store(true, std::memory_order_release);
}

void NetworkLine::Close()
{
    if (fd_ >= 0) {
        close(fd_);
        fd_ = -1;
    }
    decoder_.Reset();
    DropHeld();
    dropping_.store(false, std::memory_order_release);
    const std::lock_guard<std::mutex> lock(stateMutex_);
    negotiation_ = telnet::Negotiation{};
    closedByServer_ = false;
    ratesAsked_ = 0;
    rateReplies_ = 0;
    confirmedRate_ = 0;
}

template <typename Ready>
bool NetworkLine::waitFor(Ready ready)
{
    std::unique_lock<std::mutex> lock(stateMutex_);
    stateChanged_.wait_for(lock, std::chrono::milliseconds(kServerAnswerTimeoutMs),
                           [&] { return ready() || closedByServer_; });
    if (ready())
        return true;
    if (closedByServer_)
        return fail(ECONNRESET, QStringLiteral("the server closed the connection"));
    return fail(ETIMEDOUT, QString());
}

bool NetworkLine::SetUp(int baud)
{
    if (!CanChangeRate())
        return true;
    QByteArray offers;
    {
        const std::lock_guard<std::mutex> lock(stateMutex_);
        offers = negotiation_.Offers();
    }
    if (!sendRaw(offers))
        return failSend();
    const bool answered =
        waitFor([this] { return negotiation_.ComPortAccepted() || negotiation_.ComPortRefused(); });
    if (!answered) {
        if (failure_.reason.isEmpty())
            failure_.reason = QStringLiteral("no answer to the Telnet option negotiation within %1 s")
                                  .arg(seconds(kServerAnswerTimeoutMs));
        return false;
    }
    {
        const std::lock_guard<std::mutex> lock(stateMutex_);
        if (negotiation_.ComPortRefused())
            return fail(0, QStringLiteral("the server refuses the COM Port Control Option (RFC 2217); for a raw "
                                          "TCP port write socket://"));
    }
    if (!sendRaw(telnet::Line8N1Request()))
        return failSend();
    return requestRate(baud);
}

bool NetworkLine::SetRate(int baud)
{
    failure_ = Failure{};
    return !CanChangeRate() || requestRate(baud);
}

bool NetworkLine::requestRate(int baud)
{
    DropDataUntilRate();
    int asked = 0;
    {
        const std::lock_guard<std::mutex> lock(stateMutex_);
        asked = ++ratesAsked_;
    }
    // Only the server's receive buffer is purged: what we sent before a rate change must still
    // reach the camera, as it does through a serial port that is closed and reopened.
    const QByteArray request =
        telnet::PurgeRequest(telnet::kPurgeReceive) + telnet::SetBaudrateRequest(static_cast<std::uint32_t>(baud));
    if (!sendRaw(request))
        return failSend();
    // Nothing more is sent until the server has the line at the new rate.
    if (!waitFor([&] { return rateReplies_ >= asked; })) {
        if (failure_.reason.isEmpty())
            failure_.reason = QStringLiteral("the server did not confirm the rate of %1 bit/s within %2 s")
                                  .arg(baud)
                                  .arg(seconds(kServerAnswerTimeoutMs));
        return false;
    }
    const std::lock_guard<std::mutex> lock(stateMutex_);
    if (confirmedRate_ != static_cast<std::uint32_t>(baud))
        return fail(EINVAL, QStringLiteral("the server set the line to %1 bit/s instead of %2 bit/s")
                                .arg(confirmedRate_)
                                .arg(baud));
    return true;
}

bool NetworkLine::Write(const char *bytes, int count)
{
    if (fd_ < 0 || count <= 0)
        return false;
    QByteArray framed;
    if (CanChangeRate())
        telnet::AppendData(framed, bytes, count);
    else
        framed = QByteArray::fromRawData(bytes, count);
    return sendRaw(framed) || failSend();
}

bool NetworkLine::sendRaw(const QByteArray &bytes)
{
    const std::lock_guard<std::mutex> lock(writeMutex_);
    const TickClock clock;
    const std::uint32_t start = clock.Now();
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = send(fd_, bytes.constData() + sent, static_cast<std::size_t>(bytes.size() - sent),
                               MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            sent += n;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            return false;
        const std::uint32_t elapsed = clock.Since(start);
        if (elapsed >= kWriteLimitMs) {
            errno = ETIMEDOUT;
            return false;
        }
        pollfd out{fd_, POLLOUT, 0};
        (void)poll(&out, 1, static_cast<int>(kWriteLimitMs - elapsed));
    }
    return true;
}

ReceiveSource::Got NetworkLine::ReadInto(int fd, std::span<char> room)
{
    Got got;
    const bool drop = dropping_.load(std::memory_order_acquire);
    if (drop)
        DropHeld();
    if (Holding()) {
        got.data = giveHeld(room);
        got.progress = true;
        return got;
    }
    for (;;) {
        // A raw line's bytes are all data and go straight into the room. Telnet's are read in
        // full pieces, whatever room is left: a run of commands read a byte at a time at the
        // ring's edge would cost a system call per byte.
        const bool raw = !CanChangeRate();
        const std::span<char> into = raw ? room : std::span<char>(scratch_);
        const ssize_t n = recv(fd, into.data(), into.size(), MSG_DONTWAIT);
        if (n > 0) {
            got.progress = true;
            int data = static_cast<int>(n);
            if (!raw) {
                ServerEvents events(*this);
                data = decoder_.Decode(into.first(static_cast<std::size_t>(n)), events);
            }
            // A piece that began before the rate was confirmed is dropped whole.
            if (drop)
                return got;
            if (raw) {
                got.data = data;
                return got;
            }
            heldBegin_ = 0;
            heldEnd_ = static_cast<std::size_t>(data);
            got.data = giveHeld(room);
            return got;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return got;
        got.error = n < 0 ? errno : 0;
        got.endOfStream = true;
        {
            const std::lock_guard<std::mutex> lock(stateMutex_);
            closedByServer_ = true;
        }
        stateChanged_.notify_all();
        return got;
    }
}

int NetworkLine::giveHeld(std::span<char> room)
{
    const std::size_t count = std::min(room.size(), heldEnd_ - heldBegin_);
    std::memcpy(room.data(), scratch_.data() + heldBegin_, count);
    heldBegin_ += count;
    return static_cast<int>(count);
}

std::optional<QString> NetworkLine::LossOf(const Got &last)
{
    if (last.error != 0)
        return QStringLiteral("the connection broke (%1)").arg(QString::fromLocal8Bit(std::strerror(last.error)));
    return QStringLiteral("the server closed the connection");
}

void NetworkLine::optionVerb(unsigned char verb, unsigned char option)
{
    QByteArray answer;
    {
        const std::lock_guard<std::mutex> lock(stateMutex_);
        answer = negotiation_.Answer(verb, option);
    }
    stateChanged_.notify_all();
    if (!answer.isEmpty())
        (void)sendRaw(answer);
}

void NetworkLine::subnegotiation(unsigned char option, std::span<const unsigned char> body)
{
    if (option != telnet::kOptionComPort)
        return;
    const std::optional<telnet::ComPortReply> reply = telnet::ParseComPortReply(body);
    if (!reply || reply->command != telnet::ComPortCommand::SetBaudrate)
        return;
    {
        const std::lock_guard<std::mutex> lock(stateMutex_);
        if (rateReplies_ >= ratesAsked_)
            return; // nothing asked is waiting for it
        if (++rateReplies_ < ratesAsked_)
            return; // the late answer to an earlier request
        confirmedRate_ = reply->value;
        // What follows is at the new rate.
        dropping_.store(false, std::memory_order_release);
    }
    stateChanged_.notify_all();
}
