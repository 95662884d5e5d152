#include "core/transport/NetworkAddress.h"

#include <array>

namespace {

struct Scheme {
    const char *prefix;
    NetworkAddress::Kind kind;
};
constexpr std::array<Scheme, 2> kSchemes = {{
    {"rfc2217://", NetworkAddress::Kind::Rfc2217},
    {"socket://", NetworkAddress::Kind::RawTcp},
}};

const Scheme *schemeOf(const QString &text)
{
    for (const Scheme &scheme : kSchemes) {
        if (text.startsWith(QLatin1String(scheme.prefix), Qt::CaseInsensitive))
            return &scheme;
    }
    return nullptr;
}

// The host and port of HOST:PORT or [V6]:PORT, or the reason it is not one.
QString splitHostPort(const QString &rest, QString &host, QString &port)
{
    if (rest.startsWith(QLatin1Char('['))) {
        const qsizetype close = rest.indexOf(QLatin1Char(']'));
        if (close < 0 || close + 1 >= rest.size() || rest[close + 1] != QLatin1Char(':'))
            return QStringLiteral("an IPv6 address is written [ADDRESS]:PORT");
        host = rest.mid(1, close - 1);
        port = rest.mid(close + 2);
    } else {
        const qsizetype colon = rest.lastIndexOf(QLatin1Char(':'));
        if (colon < 0)
            return QStringLiteral("the TCP port is missing (HOST:PORT)");
        host = rest.left(colon);
        port = rest.mid(colon + 1);
        if (host.contains(QLatin1Char(':')))
            return QStringLiteral("an IPv6 address is written [ADDRESS]:PORT");
    }
    if (host.isEmpty())
        return QStringLiteral("the host is missing");
    for (const QChar c : host) {
        if (c.isSpace() || c == QLatin1Char('/') || c == QLatin1Char('@'))
            return QStringLiteral("\"%1\" is not a host name or address").arg(host);
    }
    return QString();
}

} // namespace

bool LooksLikeNetworkAddress(const QString &text)
{
    return schemeOf(text) != nullptr;
}

QString NetworkAddressProblem(const QString &text)
{
    const Scheme *scheme = schemeOf(text);
    if (scheme == nullptr)
        return QStringLiteral("a network address starts with rfc2217:// or socket://");
    QString host;
    QString port;
    const QString problem = splitHostPort(text.mid(static_cast<qsizetype>(qstrlen(scheme->prefix))), host, port);
    if (!problem.isEmpty())
        return problem;
    bool number = false;
    const uint value = port.toUInt(&number);
    for (const QChar c : port)
        number = number && c.isDigit();
    if (!number || value == 0 || value > 65535)
        return QStringLiteral("\"%1\" is not a TCP port (1 to 65535)").arg(port);
    return QString();
}

std::optional<NetworkAddress> ParseNetworkAddress(const QString &text)
{
    if (!NetworkAddressProblem(text).isEmpty())
        return std::nullopt;
    const Scheme *scheme = schemeOf(text);
    NetworkAddress address;
    address.kind = scheme->kind;
    QString port;
    splitHostPort(text.mid(static_cast<qsizetype>(qstrlen(scheme->prefix))), address.host, port);
    address.port = static_cast<std::uint16_t>(port.toUInt());
    return address;
}
