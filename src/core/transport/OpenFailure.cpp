#include "core/transport/OpenFailure.h"

#include <cerrno>
#include <cstring>

#include <grp.h>
#include <sys/stat.h>

#include <QFile>

namespace {

QString networkAdvice(const OpenFailure &failure)
{
    switch (failure.errorNumber) {
    case ECONNREFUSED:
        return QStringLiteral("Nothing serves this address: check that the serial device server runs and that "
                              "the TCP port is the one it serves the camera's line on.");
    case EHOSTUNREACH:
    case ENETUNREACH:
    case ETIMEDOUT:
        return QStringLiteral("Check the host name or address, the network between this PC and the serial "
                              "device server, and any firewall on the way.");
    case 0:
        if (failure.reason.startsWith(QLatin1String("unknown host")))
            return QStringLiteral("Check the spelling of the host name, or write its address.");
        return QString();
    default:
        return QString();
    }
}

QString deviceAdvice(const OpenFailure &failure, const QString &portsFile)
{
    switch (failure.errorNumber) {
    case EACCES:
    case EPERM: {
        const QString group = failure.ownerGroup.isEmpty() ? QStringLiteral("dialout") : failure.ownerGroup;
        return QStringLiteral("You may not use this device. It belongs to the group \"%1\": add your user to "
                              "it (sudo usermod -aG %1 $USER), then log out and in again.")
            .arg(group);
    }
    case ENOENT:
    case ENODEV:
    case ENXIO:
        if (portsFile.isEmpty())
            return QStringLiteral("The device is not there: check that the adapter is plugged in and that the "
                                  "path is right.");
        return QStringLiteral("The device is not there: check that the adapter is plugged in, and that this "
                              "port name points at the right device in the [Ports] group of %1.")
            .arg(portsFile);
    case EBUSY:
    case EWOULDBLOCK:
        return QStringLiteral("Another program holds the device. Close it (another instance of this tool, a "
                              "terminal program or a modem manager) and try again.");
    case ENOTTY:
        if (portsFile.isEmpty())
            return QStringLiteral("This is not a serial device.");
        return QStringLiteral("This is not a serial device. Point the port name at a serial device in the "
                              "[Ports] group of %1.")
            .arg(portsFile);
    default:
        return QString();
    }
}

} // namespace

QString OpenFailureReason(const OpenFailure &failure)
{
    if (failure.device.isEmpty())
        return QStringLiteral("no device is set for this port name");
    if (!failure.reason.isEmpty())
        return failure.reason;
    return failure.errorNumber != 0 ? QString::fromLocal8Bit(std::strerror(failure.errorNumber))
                                    : QStringLiteral("the device does not behave like a serial port");
}

QString DescribeOpenFailure(const OpenFailure &failure, const QString &portsFile)
{
    if (failure.device.isEmpty())
        return QStringLiteral("No device is set for this port name. Point it at a serial device in the [Ports] "
                              "group of %1.")
            .arg(portsFile);
    const QString advice = failure.network ? networkAdvice(failure) : deviceAdvice(failure, portsFile);
    QString text = QStringLiteral("Device: %1\nReason: %2").arg(failure.device, OpenFailureReason(failure));
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
