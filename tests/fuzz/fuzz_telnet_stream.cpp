// The Telnet decoder and the option negotiation on whatever a server sends. The data never
// holds a byte the server did not send, an IAC never passes alone, bytes without IAC pass
// untouched, decoding in any pieces gives what decoding at once does, and after a reset framed
// data decodes back to itself. The negotiation agrees only to what we offer, answers a repeated
// verb with silence, falls quiet against a peer of its own kind, and reports COM-PORT-OPTION
// as the last word said about it.
#include <cstdint>
#include <cstdlib>

#include <QByteArray>

#include "TelnetTranscript.h"

namespace {

using namespace telnet;

bool isVerb(unsigned char byte)
{
    return byte == kWill || byte == kWont || byte == kDo || byte == kDont;
}

bool isSubsequence(const QByteArray &part, const QByteArray &whole)
{
    qsizetype at = 0;
    for (const char c : part) {
        at = whole.indexOf(c, at);
        if (at < 0)
            return false;
        ++at;
    }
    return true;
}

// Our end of the negotiation, a peer that wants what we want, and the last DO (1) or DONT (-1)
// we heard about COM-PORT-OPTION.
struct Talk {
    Negotiation ours;
    Negotiation peer;
    int comPortWord = 0;

    QByteArray answer(unsigned char verb, unsigned char option)
    {
        const QByteArray reply = ours.Answer(verb, option);
        if (option == kOptionComPort && (verb == kDo || verb == kDont))
            comPortWord = verb == kDo ? 1 : -1;
        if (reply.isEmpty())
            return reply;
        if (reply.size() != 3 || static_cast<unsigned char>(reply[0]) != kIac ||
            static_cast<unsigned char>(reply[2]) != option)
            std::abort();
        const auto said = static_cast<unsigned char>(reply[1]);
        const bool aboutOurSide = verb == kDo || verb == kDont;
        if (aboutOurSide ? (said != kWill && said != kWont) : (said != kDo && said != kDont))
            std::abort();
        const bool agrees = said == kWill || said == kDo;
        const bool offered = option == kOptionBinary || option == kOptionSuppressGoAhead ||
                             (option == kOptionComPort && said == kWill);
        if (agrees && (verb == kDont || verb == kWont || !offered))
            std::abort();
        return reply;
    }

    void hear(unsigned char verb, unsigned char option)
    {
        QByteArray reply = answer(verb, option);
        if (!ours.Answer(verb, option).isEmpty())
            std::abort(); // the same verb again must not be answered
        for (int round = 0; !reply.isEmpty(); ++round) {
            if (round == 8)
                std::abort(); // the two ends keep answering each other
            const QByteArray back =
                peer.Answer(static_cast<unsigned char>(reply[1]), static_cast<unsigned char>(reply[2]));
            if (back.isEmpty())
                break;
            reply = answer(static_cast<unsigned char>(back[1]), static_cast<unsigned char>(back[2]));
        }
        if (ours.ComPortAccepted() != (comPortWord == 1) || ours.ComPortRefused() != (comPortWord == -1))
            std::abort();
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    Decoder decoder;
    const TelnetTranscript whole = DecodeInPieces(decoder, input, 0);
    if (!isSubsequence(whole.data, input) || 2 * whole.data.count(char(kIac)) > input.count(char(kIac)))
        std::abort();
    if (!input.contains(char(kIac)) && (whole.data != input || !whole.events.empty()))
        std::abort();
    for (const TelnetEvent &event : whole.events) {
        if (event.verb == 0 ? event.body.size() > Decoder::kMaxSubnegotiation : !isVerb(event.verb))
            std::abort();
    }
    const qsizetype piece = size > 0 ? 1 + data[0] % 16 : 1;
    for (const qsizetype split : {qsizetype(1), piece}) {
        Decoder fresh;
        if (DecodeInPieces(fresh, input, split) != whole)
            std::abort();
    }

    decoder.Reset();
    QByteArray framed;
    AppendData(framed, input.constData(), static_cast<int>(input.size()));
    const TelnetTranscript back = DecodeInPieces(decoder, framed, piece);
    if (back.data != input || !back.events.empty())
        std::abort();

    // Our offers go out after the first few verbs (a server may speak first).
    Talk talk;
    const std::size_t offerAfter = size > 0 ? data[0] % 4 : 0;
    std::size_t seen = 0;
    for (const TelnetEvent &event : whole.events) {
        if (seen++ == offerAfter) {
            (void)talk.ours.Offers();
            if (!talk.ours.Offers().isEmpty())
                std::abort(); // asking again for what is pending or settled could start a loop
        }
        if (event.verb != 0)
            talk.hear(event.verb, event.option);
    }
    return 0;
}
