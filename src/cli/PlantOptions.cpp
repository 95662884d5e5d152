#include "cli/PlantOptions.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QSysInfo>

#include "cli/CliOptions.h"
#include "core/plant/BrokerAddress.h"

namespace {

constexpr int kMaxTelemetrySeconds = 3600;
constexpr qint64 kLongestPassword = 4096;

} // namespace

bool TakePlantOption(const QStringList &arguments, int &index, PlantArguments &plant, QString &error)
{
    const QString &argument = arguments[index];
    QString value;
    const auto take = [&](const char *name, QString &into) {
        if (TakeOptionValue(arguments, index, QLatin1String(name), value, error)) {
            into = value;
            if (into.isEmpty())
                error = QStringLiteral("%1 needs a value").arg(QLatin1String(name));
        }
        return true;
    };
    if (IsOption(argument, QStringLiteral("--mqtt")))
        return take("--mqtt", plant.url);
    if (IsOption(argument, QStringLiteral("--mqtt-ca")))
        return take("--mqtt-ca", plant.caFile);
    if (IsOption(argument, QStringLiteral("--mqtt-password-file")))
        return take("--mqtt-password-file", plant.passwordFile);
    if (IsOption(argument, QStringLiteral("--mqtt-password"))) {
        error = QStringLiteral("--mqtt-password: a password never goes on the command line (others see it); give "
                               "--mqtt-password-file FILE or set %1")
                    .arg(QLatin1String(kPasswordVariable));
        return true;
    }
    if (IsOption(argument, QStringLiteral("--station-id"))) {
        take("--station-id", plant.stationId);
        if (error.isEmpty() && !IsPlantId(plant.stationId))
            error = QStringLiteral("--station-id %1: letters, digits, _ and - only").arg(plant.stationId);
        return true;
    }
    if (IsOption(argument, QStringLiteral("--telemetry-every"))) {
        QString seconds;
        take("--telemetry-every", seconds);
        bool ok = false;
        plant.telemetrySeconds = seconds.toInt(&ok);
        if (error.isEmpty() && (!ok || plant.telemetrySeconds < 1 || plant.telemetrySeconds > kMaxTelemetrySeconds))
            error = QStringLiteral("--telemetry-every %1: give seconds, 1 to %2").arg(seconds).arg(kMaxTelemetrySeconds);
        return true;
    }
    return false;
}

QString PlantArgumentsProblem(const PlantArguments &plant)
{
    if (!plant.Publishing()) {
        if (!plant.caFile.isEmpty() || !plant.passwordFile.isEmpty())
            return QStringLiteral("--mqtt-ca and --mqtt-password-file go with --mqtt URL");
        return QString();
    }
    const BrokerAddressParse parse = ParseBrokerAddress(plant.url);
    if (!parse.error.isEmpty())
        return QStringLiteral("--mqtt ") + parse.error;
    if (!plant.caFile.isEmpty() && !parse.address.tls)
        return QStringLiteral("--mqtt-ca goes with an mqtts:// URL");
    if (!plant.passwordFile.isEmpty() && parse.address.user.isEmpty())
        return QStringLiteral("--mqtt-password-file: give the user in the URL, as in mqtt://USER@HOST/ROOT");
    return QString();
}

QString StationIdFor(const PlantArguments &plant, const QString &device)
{
    return plant.stationId.isEmpty() ? DefaultStationId(QSysInfo::machineHostName(), device) : plant.stationId;
}

std::optional<PlantSettings> MakePlantSettings(const PlantArguments &plant, const QString &kind, const QString &device,
                                               const QString &logPath, QString &error)
{
    error = PlantArgumentsProblem(plant);
    if (!error.isEmpty())
        return std::nullopt;
    PlantSettings settings;
    settings.login.address = ParseBrokerAddress(plant.url).address;
    settings.login.caFile = plant.caFile;
    // A service gets it from systemd as a credential, readable by the service alone.
    const QString credential = qEnvironmentVariable("CREDENTIALS_DIRECTORY") + QStringLiteral("/mqtt-password");
    const QString passwordFile = !plant.passwordFile.isEmpty() || qEnvironmentVariableIsSet(kPasswordVariable) ||
                                         qEnvironmentVariableIsEmpty("CREDENTIALS_DIRECTORY") || !QFile::exists(credential)
                                     ? plant.passwordFile
                                     : credential;
    if (!passwordFile.isEmpty()) {
        QFile file(passwordFile);
        if (!file.open(QIODevice::ReadOnly)) {
            error = QStringLiteral("--mqtt-password-file %1: %2").arg(passwordFile, file.errorString());
            return std::nullopt;
        }
        // The first line, without its line end: a file written by echo works as one by printf.
        settings.login.password = QString::fromUtf8(file.readLine(kLongestPassword)).remove(QLatin1Char('\n')).remove(QLatin1Char('\r'));
    } else {
        settings.login.password = qEnvironmentVariable(kPasswordVariable);
    }
    if (!plant.caFile.isEmpty() && !QFile::exists(plant.caFile)) {
        error = QStringLiteral("--mqtt-ca %1: no such file").arg(plant.caFile);
        return std::nullopt;
    }
    settings.station.stationId = StationIdFor(plant, device);
    settings.station.kind = kind;
    settings.station.device = device;
    settings.station.version = QStringLiteral(QN_PROJECT_VERSION);
    settings.login.clientId = ClientIdOf(kind, settings.station.stationId);
    settings.telemetrySeconds = plant.telemetrySeconds;
    settings.logPath = logPath;
    return settings;
}

QString DefaultStationLog(const QString &stationId)
{
    QString folder = qEnvironmentVariable("XDG_STATE_HOME");
    if (folder.isEmpty())
        folder = QDir::homePath() + QStringLiteral("/.local/state");
    folder += QStringLiteral("/qnctl");
    QDir().mkpath(folder);
    return folder + QStringLiteral("/station-%1.jsonl").arg(stationId);
}
