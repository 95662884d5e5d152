// The broker URL parser on any text: a URL it takes has a host, a port from 1 to 65535 and a
// root of one to four levels of id characters, and reads back the same when written the usual
// way with its user.
#include <cstdint>
#include <cstdlib>

#include <QString>

#include "core/plant/BrokerAddress.h"
#include "core/plant/PlantTopics.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QString input = QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    // A first byte with its top bit set puts a scheme before the rest, so random input gets past it.
    if (size > 0 && (data[0] & 0x80) != 0)
        input = QLatin1String((data[0] & 1) != 0 ? "mqtts://" : "mqtt://") + input.mid(1);
    const BrokerAddressParse parse = ParseBrokerAddress(input);
    if (!parse.error.isEmpty())
        return 0;
    const BrokerAddress &address = parse.address;
    const QStringList levels = address.root.split(u'/');
    if (address.host.isEmpty() || address.port < 1 || address.port > 65535 || levels.size() > kMaxRootLevels)
        std::abort();
    for (const QString &level : levels) {
        if (!IsPlantId(level))
            std::abort();
    }
    QString written = BrokerAddressText(address);
    if (!address.user.isEmpty())
        written.insert(written.indexOf(QLatin1String("://")) + 3, address.user + u'@');
    const BrokerAddressParse again = ParseBrokerAddress(written);
    if (!again.error.isEmpty() || again.address.host != address.host || again.address.port != address.port ||
        again.address.root != address.root || again.address.user != address.user || again.address.tls != address.tls)
        std::abort();
    return 0;
}
