// The network address parser on any text: it parses exactly when it has no problem in words, a
// text without a scheme is never an address, and a parsed address has a host taken from the
// text and a port from 1 to 65535, and reads back the same when written the usual way.
#include <cstdint>
#include <cstdlib>
#include <optional>

#include <QString>

#include "core/transport/NetworkAddress.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QString input = QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    // A first byte with its top bit set makes the rest an address's host and port, so that random
    // input reaches the checks of both.
    if (size > 0 && (data[0] & 0x80) != 0)
        input = QLatin1String((data[0] & 1) != 0 ? "socket://" : "rfc2217://") + input.mid(1);
    const std::optional<NetworkAddress> address = ParseNetworkAddress(input);
    if (address.has_value() != NetworkAddressProblem(input).isEmpty() || (address && !LooksLikeNetworkAddress(input)))
        std::abort();
    if (!address)
        return 0;
    if (address->port == 0 || address->host.isEmpty() || !input.contains(address->host))
        std::abort();
    const bool bracketed = address->host.contains(u':') || address->host.startsWith(u'[');
    const QString written = QLatin1String(address->kind == NetworkAddress::Kind::Rfc2217 ? "rfc2217://" : "socket://") +
                            (bracketed ? u'[' + address->host + u']' : address->host) + u':' +
                            QString::number(address->port);
    const std::optional<NetworkAddress> again = ParseNetworkAddress(written);
    if (!again || again->kind != address->kind || again->host != address->host || again->port != address->port)
        std::abort();
    return 0;
}
