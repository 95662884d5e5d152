// The COM-PORT-OPTION reply parser on any subnegotiation body. Its answer rests on the command
// and at most four value bytes: bytes after them change nothing, fewer give no reply, and the
// value fits the bytes read. The body framed as a server sends it (IAC doubled, IAC SE) comes
// through the decoder in any pieces, cut to the decoder's limit, to the same answer; and a rate
// a server confirms so is the rate read back.
#include <cstdint>
#include <cstdlib>
#include <optional>

#include <QByteArray>
#include <QtEndian>

#include "TelnetTranscript.h"

namespace {

using namespace telnet;

std::optional<ComPortReply> parse(const QByteArray &body, qsizetype count)
{
    return ParseComPortReply(std::span<const unsigned char>(reinterpret_cast<const unsigned char *>(body.constData()),
                                                            static_cast<std::size_t>(count)));
}

bool same(const std::optional<ComPortReply> &a, const std::optional<ComPortReply> &b)
{
    return a.has_value() == b.has_value() && (!a || (a->command == b->command && a->value == b->value));
}

// The one COM-PORT-OPTION body the decoder makes of a frame; aborts on anything else.
QByteArray bodyThroughDecoder(const QByteArray &frame, qsizetype piece)
{
    Decoder decoder;
    const TelnetTranscript transcript = DecodeInPieces(decoder, frame, piece);
    if (!transcript.data.isEmpty() || transcript.events.size() != 1 || transcript.events[0].verb != 0 ||
        transcript.events[0].option != kOptionComPort)
        std::abort();
    return transcript.events[0].body;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray body(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const std::optional<ComPortReply> reply = parse(body, body.size());
    qsizetype needed = -1; // the shortest prefix that gives a reply
    for (qsizetype count = 0; count <= body.size(); ++count) {
        const std::optional<ComPortReply> prefix = parse(body, count);
        if (needed < 0 && prefix)
            needed = count;
        if (needed >= 0 && !same(prefix, reply))
            std::abort();
    }
    if (reply) {
        if (needed > 5 || static_cast<int>(reply->command) != static_cast<unsigned char>(body[0]) - kServerReplyOffset)
            std::abort();
        if (needed < 5 && (reply->value >> (8 * (needed - 1))) != 0)
            std::abort();
    }
    if (body.isEmpty())
        return 0;

    const qsizetype piece = 1 + data[0] % 8;
    QByteArray frame("\xff\xfa\x2c", 3); // IAC SB COM-PORT-OPTION
    AppendData(frame, body.constData(), static_cast<int>(body.size()));
    frame.append("\xff\xf0", 2); // IAC SE
    const QByteArray decoded = bodyThroughDecoder(frame, piece);
    if (decoded != body.left(Decoder::kMaxSubnegotiation) || !same(parse(decoded, decoded.size()), reply))
        std::abort();

    if (body.size() >= 4) {
        const auto rate = qFromBigEndian<std::uint32_t>(body.constData());
        QByteArray confirmation = SetBaudrateRequest(rate);
        confirmation[3] = static_cast<char>(kServerReplyOffset + static_cast<int>(ComPortCommand::SetBaudrate));
        const QByteArray rateBody = bodyThroughDecoder(confirmation, piece);
        const std::optional<ComPortReply> confirmed = parse(rateBody, rateBody.size());
        if (!confirmed || confirmed->command != ComPortCommand::SetBaudrate || confirmed->value != rate)
            std::abort();
    }
    return 0;
}
