#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

#include <QString>

#include "core/transport/NetworkAddress.h"
#include "core/transport/ReceiveSource.h"
#include "core/transport/TelnetCodec.h"

// A camera's serial line reached over the network: a TCP connection to a serial device server,
// with the Telnet COM Port Control Option (the rate can be set and is confirmed by the server)
// or raw (bytes only, at whatever rate the server's line has). The caller's receive thread reads
// the socket through ReadInto, which takes the Telnet framing off and answers the server.
class NetworkLine : public ReceiveSource {
public:
    static constexpr std::uint32_t kConnectTimeoutMs = 3000;
    static constexpr std::uint32_t kServerAnswerTimeoutMs = 2000;

    NetworkLine() = default;
    ~NetworkLine() override;
    NetworkLine(const NetworkLine &) = delete;
    NetworkLine &operator=(const NetworkLine &) = delete;

    // Connects; false with Failure() set when it cannot.
    bool Connect(const NetworkAddress &address);
    // After the receive thread runs on Fd(): agrees the options and sets the line to 8N1 at
    // the rate; false with Failure() set when the server refuses or does not answer in time.
    bool SetUp(int baud);
    // Moves the line to another rate: what the server has received so far is dropped, and
    // true only once the server has confirmed the rate. A raw line keeps its rate (true).
    bool SetRate(int baud);
    void Close();

    bool IsOpen() const { return fd_ >= 0; }
    int Fd() const { return fd_; }
    bool CanChangeRate() const { return address_.kind == NetworkAddress::Kind::Rfc2217; }
    const NetworkAddress &Address() const { return address_; }
    // Data to the camera; false when the connection did not take it all in time.
    bool Write(const char *bytes, int count);

    struct Failure {
        int errorNumber = 0;
        QString reason;
    };
    const Failure &LastFailure() const { return failure_; }

    Got ReadInto(int fd, std::span<char> room) override;
    std::optional<QString> LossOf(const Got &last) override;

private:
    class ServerEvents;
    friend class ServerEvents;

    bool fail(int errorNumber, const QString &reason);
    // After a send that failed (errno set).
    bool failSend();
    bool sendRaw(const QByteArray &bytes);
    // Waits until ready() holds (under stateMutex_), the server closes or the time passes.
    template <typename Ready>
    bool waitFor(Ready ready);
    bool requestRate(int baud);
    void optionVerb(unsigned char verb, unsigned char option);
    void subnegotiation(unsigned char option, std::span<const unsigned char> body);

    NetworkAddress address_;
    int fd_ = -1;
    Failure failure_;
    telnet::Decoder decoder_; // receive thread only

    std::mutex writeMutex_; // data from the caller, answers from the receive thread

    std::mutex stateMutex_;
    std::condition_variable stateChanged_;
    telnet::Negotiation negotiation_;
    bool closedByServer_ = false;
    int rateReplies_ = 0;
    std::uint32_t confirmedRate_ = 0;
};
