#include "core/plant/BrokerAddress.h"

#include "core/plant/PlantTopics.h"

namespace {

constexpr int kMqttPort = 1883;
constexpr int kMqttsPort = 8883;

// Checks the topic root: levels of the letters an id may hold, and room left below it for the
// program's own levels.
QString rootProblem(const QString &root)
{
    if (root.isEmpty())
        return QStringLiteral("give a topic root after the host, as in mqtt://broker/plant");
    const QStringList levels = root.split(QLatin1Char('/'));
    if (levels.size() > kMaxRootLevels)
        return QStringLiteral("the topic root %1 has more than %2 levels").arg(root).arg(kMaxRootLevels);
    for (const QString &level : levels) {
        if (!IsPlantId(level))
            return QStringLiteral("the topic root %1: each level is letters, digits, _ and - only").arg(root);
    }
    return QString();
}

} // namespace

BrokerAddressParse ParseBrokerAddress(const QString &url)
{
    BrokerAddressParse parse;
    BrokerAddress &address = parse.address;
    QString rest;
    if (url.startsWith(QLatin1String("mqtt://"))) {
        rest = url.mid(7);
    } else if (url.startsWith(QLatin1String("mqtts://"))) {
        address.tls = true;
        rest = url.mid(8);
    } else {
        parse.error = QStringLiteral("%1: give mqtt://HOST[:PORT]/ROOT or mqtts://HOST[:PORT]/ROOT").arg(url);
        return parse;
    }
    const qsizetype slash = rest.indexOf(QLatin1Char('/'));
    QString authority = slash < 0 ? rest : rest.left(slash);
    QString root = slash < 0 ? QString() : rest.mid(slash + 1);
    while (root.endsWith(QLatin1Char('/')))
        root.chop(1);
    const qsizetype at = authority.lastIndexOf(QLatin1Char('@'));
    if (at >= 0) {
        address.user = authority.left(at);
        authority = authority.mid(at + 1);
        if (address.user.contains(QLatin1Char(':'))) {
            parse.error = QStringLiteral("%1: a password never goes into the URL; give --mqtt-password-file FILE").arg(url);
            return parse;
        }
        if (address.user.isEmpty()) {
            parse.error = QStringLiteral("%1: the user name before @ is empty").arg(url);
            return parse;
        }
    }
    QString portText;
    if (authority.startsWith(QLatin1Char('['))) {
        const qsizetype close = authority.indexOf(QLatin1Char(']'));
        address.host = close < 0 ? QString() : authority.mid(1, close - 1);
        const QString after = close < 0 ? QString() : authority.mid(close + 1);
        if (close < 0 || (!after.isEmpty() && !after.startsWith(QLatin1Char(':')))) {
            parse.error = QStringLiteral("%1: an IPv6 address goes in brackets, as in [::1]:1883").arg(url);
            return parse;
        }
        portText = after.mid(1);
    } else {
        const qsizetype colon = authority.indexOf(QLatin1Char(':'));
        address.host = colon < 0 ? authority : authority.left(colon);
        portText = colon < 0 ? QString() : authority.mid(colon + 1);
    }
    if (address.host.isEmpty()) {
        parse.error = QStringLiteral("%1: give the broker's host").arg(url);
        return parse;
    }
    address.port = address.tls ? kMqttsPort : kMqttPort;
    if (!portText.isEmpty() || authority.endsWith(QLatin1Char(':'))) {
        bool ok = false;
        address.port = portText.toInt(&ok);
        if (!ok || address.port < 1 || address.port > 65535) {
            parse.error = QStringLiteral("%1: the port is 1 to 65535").arg(url);
            return parse;
        }
    }
    const QString problem = rootProblem(root);
    if (!problem.isEmpty()) {
        parse.error = QStringLiteral("%1: %2").arg(url, problem);
        return parse;
    }
    address.root = root;
    return parse;
}

QString BrokerAddressText(const BrokerAddress &address)
{
    const QString host = address.host.contains(QLatin1Char(':')) ? QStringLiteral("[%1]").arg(address.host) : address.host;
    return QStringLiteral("%1://%2:%3/%4")
        .arg(address.tls ? QStringLiteral("mqtts") : QStringLiteral("mqtt"), host)
        .arg(address.port)
        .arg(address.root);
}
