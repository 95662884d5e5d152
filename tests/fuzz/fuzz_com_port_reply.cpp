// The COM-PORT-OPTION reply parser on any subnegotiation body: its answer rests on the command
// and at most four value bytes (more change nothing, fewer give no reply), and a rate a server
// confirms, framed as it sends it, is the rate read back.
#include <cstdint>
#include <cstdlib>
#include <optional>

#include <QtEndian>

#include "TelnetBytes.h"

using namespace telnet;

namespace {

std::optional<ComPortReply> parse(const QByteArray &body, qsizetype count)
{
    return ParseComPortReply(std::span(reinterpret_cast<const unsigned char *>(body.constData()), static_cast<std::size_t>(count)));
}

bool same(const std::optional<ComPortReply> &a, const std::optional<ComPortReply> &b)
{
    return a.has_value() == b.has_value() && (!a || (a->command == b->command && a->value == b->value));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray body = TelnetBytes(data, size);
    const std::optional<ComPortReply> reply = parse(body, body.size());
    for (qsizetype count = 0; count <= body.size(); ++count) {
        const std::optional<ComPortReply> prefix = parse(body, count);
        if (prefix ? !same(prefix, reply) : count >= 5 && reply)
            std::abort();
    }
    if (body.size() < 4)
        return 0;
    const auto rate = qFromBigEndian<std::uint32_t>(body.constData());
    QByteArray confirmation = SetBaudrateRequest(rate);
    confirmation[3] = static_cast<char>(kServerReplyOffset + static_cast<int>(ComPortCommand::SetBaudrate));
    const TelnetTranscript heard(confirmation, 1 + data[0] % 8);
    if (heard.events.size() != 1)
        std::abort();
    const QByteArray rateBody = heard.events[0].mid(2);
    const std::optional<ComPortReply> confirmed = parse(rateBody, rateBody.size());
    if (!confirmed || confirmed->command != ComPortCommand::SetBaudrate || confirmed->value != rate)
        std::abort();
    return 0;
}
