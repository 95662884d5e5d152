#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include <QByteArray>

// The Telnet side of a serial port served over the network with the COM Port Control Option
// (RFC 854, RFC 856, RFC 858, RFC 1143, RFC 2217): framing of the data both ways, the option
// negotiation a client of a serial device server needs, and the COM-PORT-OPTION requests and
// replies. No sockets here: callers feed it bytes and send what it gives back.
namespace telnet {

inline constexpr unsigned char kIac = 255;
inline constexpr unsigned char kDont = 254;
inline constexpr unsigned char kDo = 253;
inline constexpr unsigned char kWont = 252;
inline constexpr unsigned char kWill = 251;
inline constexpr unsigned char kSb = 250;
inline constexpr unsigned char kSe = 240;

inline constexpr unsigned char kOptionBinary = 0;
inline constexpr unsigned char kOptionEcho = 1;
inline constexpr unsigned char kOptionSuppressGoAhead = 3;
inline constexpr unsigned char kOptionComPort = 44;

// Client-to-server command codes of the COM Port Control Option; the server answers with the
// same code plus kServerReplyOffset.
enum class ComPortCommand : unsigned char {
    SetBaudrate = 1,
    SetDatasize = 2,
    SetParity = 3,
    SetStopsize = 4,
    SetControl = 5,
    NotifyLinestate = 6,
    NotifyModemstate = 7,
    FlowcontrolSuspend = 8,
    FlowcontrolResume = 9,
    SetLinestateMask = 10,
    SetModemstateMask = 11,
    PurgeData = 12,
};
inline constexpr unsigned char kServerReplyOffset = 100;

inline constexpr unsigned char kDatasize8 = 8;
inline constexpr unsigned char kParityNone = 1;
inline constexpr unsigned char kStopsize1 = 1;
inline constexpr unsigned char kPurgeReceive = 1; // the server's receive buffer
inline constexpr unsigned char kPurgeBoth = 3;    // receive and transmit buffers

// Appends data to out with every IAC byte doubled.
void AppendData(QByteArray &out, const char *data, int count);

// IAC SB COM-PORT-OPTION command value IAC SE, with any IAC in the value doubled.
QByteArray ComPortRequest(ComPortCommand command, const QByteArray &value);
// SET-BAUDRATE with the rate as four bytes in network order.
QByteArray SetBaudrateRequest(std::uint32_t bitsPerSecond);
// SET-DATASIZE 8, SET-PARITY NONE, SET-STOPSIZE 1, in one piece.
QByteArray Line8N1Request();
// PURGE-DATA of the given buffers (both unless told otherwise).
QByteArray PurgeRequest(unsigned char buffers = kPurgeBoth);

// A server's COM-PORT-OPTION reply: the command it answers and its value (the rate for
// SET-BAUDRATE, the one value byte for the others, 0 when there is none).
struct ComPortReply {
    ComPortCommand command;
    std::uint32_t value = 0;
};
// The reply a COM-PORT-OPTION subnegotiation body holds (the bytes after IAC SB 44, before
// IAC SE, with doubling undone); nothing when the body is not a server reply or is too short.
std::optional<ComPortReply> ParseComPortReply(std::span<const unsigned char> body);

// What the decoder reports besides data.
class DecoderEvents {
public:
    virtual ~DecoderEvents() = default;
    // IAC WILL/WONT/DO/DONT option.
    virtual void OptionVerb(unsigned char verb, unsigned char option) = 0;
    // IAC SB option body IAC SE, with IAC IAC in the body undone.
    virtual void Subnegotiation(unsigned char option, std::span<const unsigned char> body) = 0;
};

// Takes the bytes a server sends, in pieces of any size: data stays (IAC IAC becomes one 0xFF),
// commands and subnegotiations are reported, other two-byte commands (NOP, GA, ...) vanish.
// A command or subnegotiation split across pieces is kept until its end arrives. A command other
// than IAC IAC or IAC SE inside a subnegotiation ends it (the server's IAC SE was lost): the body
// read so far is reported, then the command is taken as usual.
class Decoder {
public:
    // Decodes in place: the data is moved to the front of bytes; returns how many bytes of
    // data there are. Events are reported in the order they appear.
    int Decode(std::span<char> bytes, DecoderEvents &events);
    // Forgets a half-read command (a new connection).
    void Reset();

    // A subnegotiation body longer than this is cut (the rest of it is dropped until IAC SE).
    static constexpr int kMaxSubnegotiation = 64;

private:
    // Takes the byte after an IAC that is not a second IAC.
    void Command(unsigned char byte);
    // Adds a byte to the subnegotiation body unless it is already full.
    void Keep(unsigned char byte);

    enum class State { Data, Iac, Verb, SubOption, SubBody, SubIac };
    State state_ = State::Data;
    unsigned char verb_ = 0;
    unsigned char subOption_ = 0;
    unsigned char sub_[kMaxSubnegotiation] = {};
    int subLength_ = 0;
};

// The client's side of the option negotiation: we want BINARY and SUPPRESS-GO-AHEAD both ways
// and to send COM-PORT-OPTION; everything else is refused. Answers follow RFC 1143: a request
// that matches the state already agreed gets no answer, so no loop can start.
class Negotiation {
public:
    // Our offers at the start: WILL/DO BINARY, WILL/DO SUPPRESS-GO-AHEAD, WILL COM-PORT-OPTION.
    QByteArray Offers();
    // The answer to a server's verb, empty when none is due.
    QByteArray Answer(unsigned char verb, unsigned char option);

    // Whether the server agreed to COM-PORT-OPTION (DO 44), refused it (DONT 44), or has not
    // said yet.
    bool ComPortAccepted() const { return ours_[kOptionComPort] == Side::Yes; }
    bool ComPortRefused() const { return ours_[kOptionComPort] == Side::No; }

private:
    // RFC 1143 states without the disabling ones (we never ask to turn an option off). Unknown
    // is an option nobody has spoken of; No is one refused, by either end.
    enum class Side : unsigned char { Unknown, Yes, No, WantYes };
    using Sides = std::array<Side, 256>;

    static QByteArray Enable(Side &side, bool wanted, unsigned char agree, unsigned char refuse,
                             unsigned char option);
    static QByteArray Disable(Side &side, bool wanted, unsigned char acknowledge,
                              unsigned char option);

    // Our side (WILL from us) and the server's side (DO from us) of every option.
    Sides ours_{};
    Sides his_{};
};

} // namespace telnet
