#include "core/transport/TelnetCodec.h"

#include <algorithm>
#include <cstring>

namespace telnet {

namespace {

// Value bytes of each server reply, by command code: the rate is four bytes, flow control
// suspend and resume carry none, the rest one.
constexpr int kReplyValueSize[] = {4, 1, 1, 1, 1, 1, 1, 0, 0, 1, 1, 1};
static_assert(std::size(kReplyValueSize) == static_cast<std::size_t>(ComPortCommand::PurgeData));

struct Verb {
    unsigned char verb;
    unsigned char option;
};

// What we ask for at the start, in the order we send it. WILL x here means we want our side of
// x on, DO x that we want the server's.
constexpr Verb kOffers[] = {
    {kWill, kOptionBinary},         {kDo, kOptionBinary},   {kWill, kOptionSuppressGoAhead},
    {kDo, kOptionSuppressGoAhead}, {kWill, kOptionComPort},
};

bool Offered(unsigned char verb, unsigned char option)
{
    return std::any_of(std::begin(kOffers), std::end(kOffers), [&](const Verb &offer) {
        return offer.verb == verb && offer.option == option;
    });
}

QByteArray VerbBytes(unsigned char verb, unsigned char option)
{
    const char bytes[] = {static_cast<char>(kIac), static_cast<char>(verb), static_cast<char>(option)};
    return QByteArray(bytes, sizeof bytes);
}

} // namespace

// ---- Encoding -------------------------------------------------------------------------------

void AppendData(QByteArray &out, const char *data, int count)
{
    const char *const end = data + count;
    while (data < end) {
        // Copy up to and including the next IAC, then double it.
        const auto *iac =
            static_cast<const char *>(std::memchr(data, kIac, static_cast<std::size_t>(end - data)));
        const char *const runEnd = iac ? iac + 1 : end;
        out.append(data, static_cast<qsizetype>(runEnd - data));
        if (iac)
            out.append(static_cast<char>(kIac));
        data = runEnd;
    }
}

QByteArray ComPortRequest(ComPortCommand command, const QByteArray &value)
{
    QByteArray out;
    out.reserve(6 + 2 * value.size());
    out.append(static_cast<char>(kIac));
    out.append(static_cast<char>(kSb));
    out.append(static_cast<char>(kOptionComPort));
    out.append(static_cast<char>(command));
    AppendData(out, value.constData(), static_cast<int>(value.size()));
    out.append(static_cast<char>(kIac));
    out.append(static_cast<char>(kSe));
    return out;
}

QByteArray SetBaudrateRequest(std::uint32_t bitsPerSecond)
{
    QByteArray rate(4, '\0');
    for (int i = 0; i < 4; ++i)
        rate[i] = static_cast<char>((bitsPerSecond >> (8 * (3 - i))) & 0xFF);
    return ComPortRequest(ComPortCommand::SetBaudrate, rate);
}

QByteArray Line8N1Request()
{
    struct Setting {
        ComPortCommand command;
        unsigned char value;
    };
    constexpr Setting kLine[] = {
        {ComPortCommand::SetDatasize, kDatasize8},
        {ComPortCommand::SetParity, kParityNone},
        {ComPortCommand::SetStopsize, kStopsize1},
    };
    QByteArray out;
    for (const Setting &setting : kLine)
        out += ComPortRequest(setting.command, QByteArray(1, static_cast<char>(setting.value)));
    return out;
}

QByteArray PurgeRequest(unsigned char buffers)
{
    return ComPortRequest(ComPortCommand::PurgeData, QByteArray(1, static_cast<char>(buffers)));
}

std::optional<ComPortReply> ParseComPortReply(std::span<const unsigned char> body)
{
    if (body.empty())
        return std::nullopt;
    const int code = body[0] - kServerReplyOffset;
    if (code < 1 || code > static_cast<int>(std::size(kReplyValueSize)))
        return std::nullopt;
    const int size = kReplyValueSize[code - 1];
    if (static_cast<int>(body.size()) < 1 + size)
        return std::nullopt;
    ComPortReply reply{static_cast<ComPortCommand>(code)};
    for (int i = 1; i <= size; ++i)
        reply.value = (reply.value << 8) | body[static_cast<std::size_t>(i)];
    return reply;
}

// ---- Decoding -------------------------------------------------------------------------------

int Decoder::Decode(std::span<char> bytes, DecoderEvents &events)
{
    // Every data byte comes from at least one input byte, so writing never overtakes reading.
    std::size_t out = 0;
    for (std::size_t in = 0; in < bytes.size(); ++in) {
        const auto byte = static_cast<unsigned char>(bytes[in]);
        switch (state_) {
        case State::Data:
            if (byte == kIac)
                state_ = State::Iac;
            else
                bytes[out++] = bytes[in];
            break;
        case State::Iac:
            if (byte == kIac) {
                bytes[out++] = static_cast<char>(kIac);
                state_ = State::Data;
            } else {
                Command(byte);
            }
            break;
        case State::Verb:
            events.OptionVerb(verb_, byte);
            state_ = State::Data;
            break;
        case State::SubOption:
            // IAC right after IAC SB: no option to report; the IAC starts a command instead.
            if (byte == kIac) {
                state_ = State::Iac;
            } else {
                subOption_ = byte;
                subLength_ = 0;
                state_ = State::SubBody;
            }
            break;
        case State::SubBody:
            if (byte == kIac)
                state_ = State::SubIac;
            else
                Keep(byte);
            break;
        case State::SubIac:
            if (byte == kIac) {
                Keep(byte);
                state_ = State::SubBody;
                break;
            }
            // IAC SE ends the body as it should; any other command ends it too (the server's
            // IAC SE was lost), and what was read is still reported before the command is taken.
            events.Subnegotiation(subOption_, std::span<const unsigned char>(
                                                  sub_, static_cast<std::size_t>(subLength_)));
            if (byte == kSe)
                state_ = State::Data;
            else
                Command(byte);
            break;
        }
    }
    return static_cast<int>(out);
}

void Decoder::Command(unsigned char byte)
{
    switch (byte) {
    case kWill:
    case kWont:
    case kDo:
    case kDont:
        verb_ = byte;
        state_ = State::Verb;
        break;
    case kSb:
        state_ = State::SubOption;
        break;
    default: // NOP, GA, DM, BRK, ... mean nothing to a serial line
        state_ = State::Data;
        break;
    }
}

void Decoder::Keep(unsigned char byte)
{
    if (subLength_ < kMaxSubnegotiation)
        sub_[subLength_++] = byte;
}

void Decoder::Reset()
{
    state_ = State::Data;
    subLength_ = 0;
}

// ---- Negotiation ----------------------------------------------------------------------------

QByteArray Negotiation::Offers()
{
    QByteArray out;
    for (const Verb &offer : kOffers) {
        Side &side = offer.verb == kWill ? ours_[offer.option] : his_[offer.option];
        // Only what nobody has spoken of yet: asking again for what is pending, agreed or
        // refused could start the loop the answers are careful to avoid.
        if (side == Side::Unknown) {
            side = Side::WantYes;
            out += VerbBytes(offer.verb, offer.option);
        }
    }
    return out;
}

QByteArray Negotiation::Answer(unsigned char verb, unsigned char option)
{
    switch (verb) {
    case kDo:
        return Enable(ours_[option], Offered(kWill, option), kWill, kWont, option);
    case kWill:
        return Enable(his_[option], Offered(kDo, option), kDo, kDont, option);
    case kDont:
        return Disable(ours_[option], Offered(kWill, option), kWont, option);
    case kWont:
        return Disable(his_[option], Offered(kDo, option), kDont, option);
    default:
        return {};
    }
}

QByteArray Negotiation::Enable(Side &side, bool wanted, unsigned char agree, unsigned char refuse,
                               unsigned char option)
{
    switch (side) {
    case Side::Yes:
        return {};
    case Side::WantYes: // the answer to our own request
        side = Side::Yes;
        return {};
    case Side::Unknown:
    case Side::No:
        if (wanted) {
            side = Side::Yes;
            return VerbBytes(agree, option);
        }
        // An option we do not have is refused once; a server repeating itself gets silence.
        if (side == Side::No)
            return {};
        side = Side::No;
        return VerbBytes(refuse, option);
    }
    return {};
}

QByteArray Negotiation::Disable(Side &side, bool wanted, unsigned char acknowledge,
                                unsigned char option)
{
    switch (side) {
    case Side::Yes: // turned off after being on: say we follow
        side = Side::No;
        return VerbBytes(acknowledge, option);
    case Side::WantYes: // our request refused: nothing to answer
        side = Side::No;
        return {};
    case Side::Unknown:
        // Remember the refusal of an option we want; an unwanted one stays unspoken of, so a
        // later request for it still gets its one refusal.
        if (wanted)
            side = Side::No;
        return {};
    case Side::No:
        return {};
    }
    return {};
}

} // namespace telnet
