// The network address parser on any text, read as UTF-8 and as Latin-1. A text either parses,
// with no problem, a host taken from it and a port from 1 to 65535, or it has a problem in words;
// a text without a scheme is never an address; and a parsed address written back the usual way
// reads back the same.
#include <cstdint>
#include <cstdlib>
#include <optional>

#include <QString>

#include "core/transport/NetworkAddress.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const auto *text = reinterpret_cast<const char *>(data);
    const auto length = static_cast<qsizetype>(size);
    for (const QString &input : {QString::fromUtf8(text, length), QString::fromLatin1(text, length)}) {
        const std::optional<NetworkAddress> address = ParseNetworkAddress(input);
        const QString problem = NetworkAddressProblem(input);
        if (address.has_value() != problem.isEmpty())
            std::abort();
        if (!LooksLikeNetworkAddress(input) && (address || problem.isEmpty()))
            std::abort();
        if (!address)
            continue;
        if (address->port == 0 || address->host.isEmpty() || !input.contains(address->host))
            std::abort();
        const bool bracketed = address->host.contains(u':') || address->host.startsWith(u'[');
        const QString written = QString::fromLatin1(address->kind == NetworkAddress::Kind::Rfc2217 ? "rfc2217://" : "socket://") +
                                (bracketed ? u'[' + address->host + u']' : address->host) + u':' +
                                QString::number(address->port);
        const std::optional<NetworkAddress> again = ParseNetworkAddress(written);
        if (!again || again->kind != address->kind || again->host != address->host || again->port != address->port)
            std::abort();
    }
    return 0;
}
