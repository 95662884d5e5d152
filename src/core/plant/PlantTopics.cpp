#include "core/plant/PlantTopics.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QJsonDocument>

#include "core/operations/CameraReadouts.h"

namespace {

bool isIdCharacter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_' || c == u'-';
}

QByteArray compact(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

QJsonValue timeValue(const QDateTime &time)
{
    return time.isValid() ? QJsonValue(time.toUTC().toString(Qt::ISODateWithMs)) : QJsonValue();
}

template <typename T> QJsonValue optionalValue(const std::optional<T> &value)
{
    return value ? QJsonValue(static_cast<qint64>(*value)) : QJsonValue();
}

const char *stateName(PresenceState state)
{
    switch (state) {
    case PresenceState::Online:
        return "online";
    case PresenceState::Offline:
        return "offline";
    case PresenceState::Lost:
        break;
    }
    return "lost";
}

} // namespace

bool IsPlantId(const QString &text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        if (!isIdCharacter(c))
            return false;
    }
    return true;
}

QString PlantIdOf(const QString &text)
{
    QString id;
    for (const QChar c : text.trimmed())
        id += isIdCharacter(c) ? c : QChar(u'-');
    return id.isEmpty() ? QStringLiteral("unknown") : id;
}

QString DefaultStationId(const QString &hostName, const QString &device)
{
    // A network port's address names its server and port; a device its file.
    QString base = device.contains(QLatin1String("://")) ? device.section(QLatin1String("://"), 1)
                                                          : QFileInfo(device).fileName();
    return PlantIdOf(hostName.section(QLatin1Char('.'), 0, 0) + QLatin1Char('-') + base);
}

QString ClientIdOf(const QString &kind, const QString &stationId)
{
    const QString whole = kind.left(1) + QLatin1Char('-') + stationId;
    if (whole.size() <= kMaxClientIdLength)
        return whole;
    constexpr int kDigest = 8;
    const QString digest = QString::fromLatin1(
        QCryptographicHash::hash(whole.toUtf8(), QCryptographicHash::Sha256).toHex().left(kDigest));
    return whole.left(kMaxClientIdLength - kDigest - 1) + QLatin1Char('-') + digest;
}

QString StationTopic(const QString &root, const QString &stationId, const char *leaf)
{
    return QStringLiteral("%1/station/%2/%3").arg(root, stationId, QLatin1String(leaf));
}

QString CameraTopic(const QString &root, const QString &cameraId, const char *leaf)
{
    return QStringLiteral("%1/camera/%2/%3").arg(root, PlantIdOf(cameraId), QLatin1String(leaf));
}

QByteArray StatusPayload(const StationDescription &station, PresenceState state, const QDateTime &time, qint64 backlog)
{
    return compact({{QStringLiteral("station"), station.stationId},
                    {QStringLiteral("kind"), station.kind},
                    {QStringLiteral("state"), QLatin1String(stateName(state))},
                    {QStringLiteral("time"), timeValue(time)},
                    {QStringLiteral("version"), station.version},
                    {QStringLiteral("device"), station.device},
                    {QStringLiteral("backlog"), backlog}});
}

QByteArray CameraPayload(const QString &stationId, const CameraPresence &camera)
{
    const bool there = !camera.cameraId.isEmpty();
    return compact({{QStringLiteral("station"), stationId},
                    {QStringLiteral("cameraId"), there ? QJsonValue(camera.cameraId) : QJsonValue()},
                    {QStringLiteral("model"), there ? QJsonValue(camera.model) : QJsonValue()},
                    {QStringLiteral("firmware"), there ? QJsonValue(camera.firmware) : QJsonValue()},
                    {QStringLiteral("since"), timeValue(camera.since)}});
}

QByteArray TelemetryPayload(const QString &stationId, const TelemetryReading &reading, const CameraReadouts &readouts)
{
    QJsonObject object{{QStringLiteral("station"), stationId},
                       {QStringLiteral("cameraId"), reading.cameraId},
                       {QStringLiteral("time"), timeValue(reading.time)},
                       {QStringLiteral("online"), reading.online},
                       {QStringLiteral("rate"), reading.rate},
                       {QStringLiteral("period"), reading.periodSeconds},
                       {QStringLiteral("temperature"), optionalValue(readouts.temperature)}};
    for (int n = 0; n < kCameraCounters; ++n) {
        const std::size_t index = static_cast<std::size_t>(n);
        object.insert(QStringLiteral("counter%1").arg(n), optionalValue(readouts.counters[index]));
        object.insert(QStringLiteral("counter%1Status").arg(n),
                      readouts.counterStatus[index].isEmpty() ? QJsonValue() : QJsonValue(readouts.counterStatus[index]));
    }
    return compact(object);
}

void StampVerdictRecord(QJsonObject &record, const QString &stationId, qint64 sequence)
{
    record.insert(QStringLiteral("station"), stationId);
    record.insert(QStringLiteral("sequence"), sequence);
    record.insert(QStringLiteral("event"), QStringLiteral("%1:%2").arg(stationId).arg(sequence));
    record.insert(QStringLiteral("schema"), QLatin1String(kVerdictSchema));
}
