#pragma once

#include <QString>

// Where the plant's broker is and under which topic root this program publishes:
// mqtt://[USER@]HOST[:PORT]/ROOT or mqtts://... (TLS). HOST may be a name, an IPv4 address or
// an IPv6 address in brackets; ROOT is one or more topic levels.
struct BrokerAddress {
    bool tls = false;
    QString user;   // empty: no login
    QString host;   // without brackets
    int port = 0;   // 1883, or 8883 with TLS, when the URL gives none
    QString root;   // "plant" or "plant/line1", without slashes at either end
};

struct BrokerAddressParse {
    BrokerAddress address;
    QString error; // empty when the URL is usable
};

BrokerAddressParse ParseBrokerAddress(const QString &url);
// The address as the operator gave it, without the user: for messages and the status.
QString BrokerAddressText(const BrokerAddress &address);
