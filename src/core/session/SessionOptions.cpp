#include "core/session/SessionOptions.h"

#include "core/transport/NetworkAddress.h"

namespace {

constexpr int kMaxDeviceWaitSeconds = 86400;

} // namespace

bool ParseDecimal(const QString &text, int &value)
{
    bool ok = false;
    value = text.toInt(&ok, 10);
    return ok;
}

bool IsLinkRate(int baud)
{
    return baud == 9600 || baud == 19200 || baud == 38400 || baud == 57600 || baud == 115200;
}

bool IsDirectDevice(const QString &port)
{
    return port.startsWith(QLatin1Char('/')) || LooksLikeNetworkAddress(port);
}

bool IsOption(const QString &argument, const QString &name)
{
    return argument == name || argument.startsWith(name + QLatin1Char('='));
}

bool TakeOptionValue(const QStringList &arguments, int &index, const QString &name, QString &value, QString &error)
{
    const QString &argument = arguments[index];
    if (argument.startsWith(name + QLatin1Char('='))) {
        value = argument.mid(name.size() + 1);
        return true;
    }
    if (index + 1 >= arguments.size()) {
        error = QStringLiteral("%1 needs a value").arg(name);
        return false;
    }
    value = arguments[++index];
    return true;
}

QString ApplySessionOption(SessionOptions &options, const QStringList &arguments, int &index, bool &taken)
{
    const QString &argument = arguments[index];
    QString value;
    QString error;
    taken = true;
    if (argument == QLatin1String("--fast")) {
        options.fast = true;
    } else if (argument == QLatin1String("--force")) {
        options.force = true;
    } else if (argument == QLatin1String("--save-preferences")) {
        options.savePreferences = true;
    } else if (IsOption(argument, QStringLiteral("--port"))) {
        if (!TakeOptionValue(arguments, index, QStringLiteral("--port"), value, error))
            return error;
        int number = 0;
        const bool comName = value.startsWith(QLatin1String("COM")) && ParseDecimal(value.mid(3), number);
        if (comName && (number < 1 || number > 16))
            return QStringLiteral("--port %1: the COM names are COM1 to COM16").arg(value);
        if (LooksLikeNetworkAddress(value) && !NetworkAddressProblem(value).isEmpty())
            return QStringLiteral("--port %1: %2").arg(value, NetworkAddressProblem(value));
        if (!comName && !IsDirectDevice(value))
            return QStringLiteral("--port %1: give a COM name (COM1..COM16), a device path or a network address "
                                  "(rfc2217://HOST:PORT, socket://HOST:PORT)")
                .arg(value);
        options.port = value;
    } else if (IsOption(argument, QStringLiteral("--camera-link"))) {
        if (!TakeOptionValue(arguments, index, QStringLiteral("--camera-link"), value, error))
            return error;
        const QStringList parts = value.split(QLatin1Char(':'));
        int kind = 0;
        int portIndex = 0;
        if (parts.size() != 2 || !ParseDecimal(parts[0], kind) || !ParseDecimal(parts[1], portIndex) || kind < 1 ||
            kind > 3 || portIndex < 0)
            return QStringLiteral("--camera-link %1: give KIND:INDEX, KIND 1..3, INDEX from 0").arg(value);
        options.cameraLinkKind = kind;
        options.cameraLinkIndex = portIndex;
    } else if (IsOption(argument, QStringLiteral("--rate"))) {
        if (!TakeOptionValue(arguments, index, QStringLiteral("--rate"), value, error))
            return error;
        int baud = 0;
        if (value == QLatin1String("auto"))
            options.fixedBaud.reset();
        else if (ParseDecimal(value, baud) && IsLinkRate(baud))
            options.fixedBaud = baud;
        else
            return QStringLiteral("--rate %1: give auto, 9600, 19200, 38400, 57600 or 115200").arg(value);
    } else if (IsOption(argument, QStringLiteral("--mode"))) {
        if (!TakeOptionValue(arguments, index, QStringLiteral("--mode"), value, error))
            return error;
        if (value == QLatin1String("standard"))
            options.controlMode = 0;
        else if (value == QLatin1String("extended"))
            options.controlMode = 1;
        else
            return QStringLiteral("--mode %1: give standard or extended").arg(value);
    } else if (IsOption(argument, QStringLiteral("--settings"))) {
        if (!TakeOptionValue(arguments, index, QStringLiteral("--settings"), value, error))
            return error;
        options.settingsPath = value;
    } else {
        taken = false;
    }
    return QString();
}

QString SessionOptionsProblem(const SessionOptions &options)
{
    if (options.cameraLinkKind != 0 && !options.port.isEmpty())
        return QStringLiteral("--port and --camera-link choose different links; give one");
    return QString();
}

QString SetDeviceWait(SessionOptions &options, const QString &seconds)
{
    int amount = 0;
    if (!ParseDecimal(seconds, amount) || amount < 0 || amount > kMaxDeviceWaitSeconds)
        return QStringLiteral("--wait %1: give seconds, 0 to %2").arg(seconds).arg(kMaxDeviceWaitSeconds);
    options.deviceWaitSeconds = amount;
    return QString();
}

SessionParse ParseSessionOptions(const QStringList &arguments)
{
    SessionParse parse;
    for (int index = 0; index < arguments.size() && parse.error.isEmpty(); ++index) {
        QString value;
        if (IsOption(arguments[index], QStringLiteral("--wait"))) {
            if (TakeOptionValue(arguments, index, QStringLiteral("--wait"), value, parse.error))
                parse.error = SetDeviceWait(parse.options, value);
            continue;
        }
        bool taken = false;
        parse.error = ApplySessionOption(parse.options, arguments, index, taken);
        if (parse.error.isEmpty() && !taken)
            parse.error = QStringLiteral("unknown option %1").arg(arguments[index]);
    }
    if (parse.error.isEmpty())
        parse.error = SessionOptionsProblem(parse.options);
    return parse;
}
