#pragma once

#include <cstdint>
#include <optional>

#include <QString>

// A serial port served over the network, written where a device path goes:
// rfc2217://HOST:PORT (Telnet with the COM Port Control Option: the rate can be set) or
// socket://HOST:PORT (raw TCP: bytes only, the line keeps the rate the server gives it).
// HOST is a name, an IPv4 address or an IPv6 address in brackets.
struct NetworkAddress {
    enum class Kind { Rfc2217, RawTcp };
    Kind kind = Kind::Rfc2217;
    QString host;
    std::uint16_t port = 0;
};

// Whether the text is meant as a network address (it starts with one of the two schemes),
// well formed or not.
bool LooksLikeNetworkAddress(const QString &text);

// The address the text holds; nothing when it is not a well-formed network address.
std::optional<NetworkAddress> ParseNetworkAddress(const QString &text);

// What is wrong with a text that looks like a network address, in words for the operator;
// empty when it is well formed.
QString NetworkAddressProblem(const QString &text);
