#include "gui/tools/SerialDevices.h"

#include <algorithm>

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <QStringList>

namespace {

constexpr const char *kStableFolder = "/dev/serial/by-id";

QString describe(const SerialPortFacts &port)
{
    QStringList parts;
    for (const QString &part : {port.description, port.manufacturer})
        if (!part.isEmpty() && !parts.contains(part))
            parts << part;
    if (!port.serialNumber.isEmpty())
        parts << QStringLiteral("serial number %1").arg(port.serialNumber);
    return parts.join(QStringLiteral(", "));
}

void sortByPath(std::vector<SerialDevice> &devices)
{
    std::sort(devices.begin(), devices.end(),
              [](const SerialDevice &a, const SerialDevice &b) { return a.path < b.path; });
}

} // namespace

std::vector<SerialDevice> SerialDeviceChoices(const std::vector<SerialPortFacts> &ports)
{
    std::vector<SerialDevice> stable;
    std::vector<SerialDevice> plain;
    for (const SerialPortFacts &port : ports) {
        const QString what = describe(port);
        for (const QString &link : port.stableLinks) {
            const QString text = what.isEmpty() ? port.location : QStringLiteral("%1 (%2)").arg(what, port.location);
            stable.push_back({link, text});
        }
        plain.push_back({port.location, what});
    }
    sortByPath(stable);
    sortByPath(plain);
    stable.insert(stable.end(), plain.begin(), plain.end());
    return stable;
}

std::vector<SerialPortFacts> PresentSerialPorts()
{
    const QFileInfoList links = QDir(QString::fromLatin1(kStableFolder)).entryInfoList(QDir::Files | QDir::System);
    std::vector<SerialPortFacts> ports;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        SerialPortFacts port{info.systemLocation(), info.description(), info.manufacturer(), info.serialNumber(), {}};
        const QString target = QFileInfo(port.location).canonicalFilePath();
        for (const QFileInfo &link : links) {
            if (link.canonicalFilePath() == target)
                port.stableLinks << link.absoluteFilePath();
        }
        ports.push_back(port);
    }
    return ports;
}
