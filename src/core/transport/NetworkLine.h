#pragma once

#include <array>
#include <atomic>
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

    // Connects; false with Failure() set when it cannot. connectedFd, when not -1, is a socket
    // already connected to the address (it becomes the line's) and nothing is connected anew.
    bool Connect(const NetworkAddress &address, int connectedFd = -1);
    // After the receive thread runs on Fd(): agrees the options and sets the line to 8N1 at
    // the rate; false with Failure() set when the server refuses or does not answer in time.
    bool SetUp(int baud);
    // Moves the line to another rate: what the server has received so far is dropped, and
    // true only once the server has confirmed the rate. A raw line keeps its rate (true).
    bool SetRate(int baud);
    // From now until the server confirms the next rate asked for, the data that arrives is
    // dropped: it was sent at the old rate, and a full ring must not keep the server's answers
    // unread. Connect starts this for the first rate of a line that can change it.
    void DropDataUntilRate();
    void Close();

    bool IsOpen() const { return fd_ >= 0; }
    int Fd() const { return fd_; }
    bool CanChangeRate() const { return address_.kind == NetworkAddress::Kind::Rfc2217; }
    const NetworkAddress &Address() const { return address_; }
    // Data to the camera; false with Failure() set when the connection did not take it all in
    // time (the connection is then of no further use: a frame may be cut).
    bool Write(const char *bytes, int count);

    struct Failure {
        int errorNumber = 0;
        QString reason;
    };
    const Failure &LastFailure() const { return failure_; }

    Got ReadInto(int fd, std::span<char> room) override;
    std::optional<QString> LossOf(const Got &last) override;
    bool Holding() const override { return heldBegin_ < heldEnd_; }
    void DropHeld() override { heldBegin_ = heldEnd_ = 0; }

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
    // Moves held data into the room; how many bytes.
    int giveHeld(std::span<char> room);
    void optionVerb(unsigned char verb, unsigned char option);
    void subnegotiation(unsigned char option, std::span<const unsigned char> body);

    NetworkAddress address_;
    int fd_ = -1;
    Failure failure_;
    // Receive thread only: what the decoder works on, and the data decoded there that did not
    // fit into the ring yet ([heldBegin_, heldEnd_)).
    telnet::Decoder decoder_;
    std::array<char, 2048> scratch_{};
    std::size_t heldBegin_ = 0;
    std::size_t heldEnd_ = 0;
    std::atomic<bool> dropping_{false};

    std::mutex writeMutex_; // data from the caller, answers from the receive thread

    std::mutex stateMutex_;
    std::condition_variable stateChanged_;
    telnet::Negotiation negotiation_;
    bool closedByServer_ = false;
    // Rate requests are answered in order: the answer to the latest is the reply that brings
    // rateReplies_ up to ratesAsked_; an earlier request's late answer is not taken for it,
    // and a reply nothing was asked for counts for nothing.
    int ratesAsked_ = 0;
    int rateReplies_ = 0;
    std::uint32_t confirmedRate_ = 0;
};
