// The Telnet decoder and the option negotiation on whatever a server sends: decoding in any
// pieces gives what decoding at once does, the data holds nothing the server did not send and
// no lone IAC, bytes without IAC pass untouched, framed data decodes back to itself, and every
// answer is one verb about the option asked, agreeing only to what we offer.
#include <cstdint>
#include <cstdlib>

#include "TelnetBytes.h"

using namespace telnet;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray input = TelnetBytes(data, size);
    const qsizetype piece = size > 0 ? 1 + data[0] % 16 : 1;
    const TelnetTranscript whole(input, input.size() + 1);
    if (!(TelnetTranscript(input, 1) == whole) || !(TelnetTranscript(input, piece) == whole))
        std::abort();
    if (whole.data.size() > input.size() || 2 * whole.data.count(char(kIac)) > input.count(char(kIac)))
        std::abort();
    if (!input.contains(char(kIac)) && (whole.data != input || !whole.events.empty()))
        std::abort();
    QByteArray framed;
    AppendData(framed, input.constData(), static_cast<int>(input.size()));
    const TelnetTranscript back(framed, piece);
    if (back.data != input || !back.events.empty())
        std::abort();

    Negotiation ours;
    (void)ours.Offers();
    for (const QByteArray &event : whole.events) {
        const auto verb = static_cast<unsigned char>(event[0]);
        const auto option = static_cast<unsigned char>(event[1]);
        if (verb == 0) {
            if (event.size() - 2 > Decoder::kMaxSubnegotiation)
                std::abort();
            continue;
        }
        const QByteArray reply = ours.Answer(verb, option);
        if (reply.isEmpty())
            continue;
        if (reply.size() != 3 || static_cast<unsigned char>(reply[0]) != kIac || static_cast<unsigned char>(reply[2]) != option)
            std::abort();
        const auto said = static_cast<unsigned char>(reply[1]);
        const bool aboutOurSide = verb == kDo || verb == kDont;
        const bool agrees = said == kWill || said == kDo;
        const bool offered = option == kOptionBinary || option == kOptionSuppressGoAhead ||
                             (option == kOptionComPort && said == kWill);
        if ((aboutOurSide ? said != kWill && said != kWont : said != kDo && said != kDont) ||
            (agrees && (verb == kDont || verb == kWont || !offered)))
            std::abort();
    }
    return 0;
}
