// The network address parser on any text, read as UTF-8 and as Latin-1. A text either parses,
// with no problem, a host taken from it and a port from 1 to 65535, or it has a problem in words;
// a text without a scheme is never an address; and a parsed address written back the usual way
// reads back the same.
#include <algorithm>
#include <cstdint>
#include <iterator>
#include <cstdlib>
#include <optional>

#include <QString>
#include <QStringList>

#include "core/transport/NetworkAddress.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const auto *text = reinterpret_cast<const char *>(data);
    const auto length = static_cast<qsizetype>(size);
    QStringList inputs = {QString::fromUtf8(text, length), QString::fromLatin1(text, length)};
    // A first byte with its top bit set makes the rest the host of an address, bracketed or not,
    // with the scheme, the port and the host's length (up to 31) from the next bytes (the port is an
    // edge of the range or any 16 bits).
    if (size >= 3 && (data[0] & 0x80) != 0) {
        constexpr qint64 kEdges[] = {0, 1, 65535, 65536, 65537, 99999, 4294967296, 4294967297};
        const qint64 port = data[1] < std::size(kEdges) ? kEdges[data[1]] : (data[1] << 8 | data[2]);
        const QString host = QString::fromUtf8(text + 3, std::min<qsizetype>(length - 3, data[2] & 0x1F));
        inputs += QString::fromLatin1((data[0] & 0x10) != 0 ? "socket://" : "rfc2217://") +
                  ((data[0] & 0x40) != 0 ? u'[' + host + u']' : host) + u':' + QString::number(port);
    }
    for (const QString &input : inputs) {
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
