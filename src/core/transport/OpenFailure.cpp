#include "core/transport/OpenFailure.h"

#include <cerrno>
#include <cstring>

#include <grp.h>
#include <sys/stat.h>

#include <QFile>

namespace {

QString describeNetworkFailure(const OpenFailure &failure)
{
    QString advice;
    switch (failure.errorNumber) {
    case ECONNREFUSED:
        advice = QStringLiteral("Nothing serves this address: check that the serial device server runs and that "
                                "the TCP port is the one it serves the camera's line on.");
        break;
    case EHOSTUNREACH:
    case ENETUNREACH:
    case ETIMEDOUT:
        advice = QStringLiteral("Check the host name or address, the network between this PC and the serial "
                                "device server, and any firewall on the way.");
        break;
    case 0:
        if (failure.reason.startsWith(QLatin1String("unknown host")))
            advice = QStringLiteral("Check the spelling of the host name, or write its address.");
        break;
    default:
        break;
    }
    QString text = QStringLiteral("Device: %1\nReason: %2").arg(failure.device, failure.reason);
    if (!advice.isEmpty())
        text += QLatin1Char('\n') + advice;
    return text;
}

} // namespace

QString DescribeOpenFailure(const OpenFailure &failure, const QString &settingsPath)
{
    if (failure.device.isEmpty())
        return QStringLiteral("No device is set for this port name. Point it at a serial device in the [Ports] "
                              "group of %1.")
            .arg(settingsPath);

    if (failure.network)
        return describeNetworkFailure(failure);
    const QString system = !failure.reason.isEmpty() ? failure.reason
        : failure.errorNumber != 0
        ? QString::fromLocal8Bit(std::strerror(failure.errorNumber))
        : QStringLiteral("the device does not behave like a serial port");
    QString advice;
    switch (failure.errorNumber) {
    case EACCES:
    case EPERM: {
        const QString group = failure.ownerGroup.isEmpty() ? QStringLiteral("dialout") : failure.ownerGroup;
        advice = QStringLiteral("You may not use this device. It belongs to the group \"%1\": add your user to "
                                "it (sudo usermod -aG %1 $USER), then log out and in again.")
                     .arg(group);
        break;
    }
    case ENOENT:
    case ENODEV:
    case ENXIO:
        advice = QStringLiteral("The device is not there: check that the adapter is plugged in, and that this "
                                "port name points at the right device in the [Ports] group of %1.")
                     .arg(settingsPath);
        break;
    case EBUSY:
    case EWOULDBLOCK:
        advice = QStringLiteral("Another program holds the device. Close it (another instance of this tool, a "
                                "terminal program or a modem manager) and try again.");
        break;
    case ENOTTY:
        advice = QStringLiteral("This is not a serial device. Point the port name at a serial device in the "
                                "[Ports] group of %1.")
                     .arg(settingsPath);
        break;
    default:
        break;
    }
    QString text = QStringLiteral("Device: %1\nReason: %2").arg(failure.device, system);
    if (!advice.isEmpty())
        text += QLatin1Char('\n') + advice;
    return text;
}

QString OwnerGroupOf(const QString &path)
{
    struct stat info {};
    if (stat(QFile::encodeName(path).constData(), &info) != 0)
        return QString();
    group entry {};
    group *found = nullptr;
    char buffer[1024];
    if (getgrgid_r(info.st_gid, &entry, buffer, sizeof buffer, &found) != 0 || !found)
        return QString();
    return QString::fromLocal8Bit(found->gr_name);
}
