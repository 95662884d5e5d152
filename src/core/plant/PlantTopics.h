#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QString>

struct CameraReadouts;

// The topics and payloads this program publishes to the plant's broker, below a root:
//   ROOT/station/SID/status        retained  {"station","kind","state","time","version","device","backlog"}
//   ROOT/station/SID/camera        retained  {"station","cameraId","model","firmware","since"}
//   ROOT/station/SID/verdict                 a station's log record
//   ROOT/camera/CID/last-verdict   retained  the same record, found by camera
//   ROOT/camera/CID/telemetry      retained, expiring  flat readouts of the camera
// Ids are letters, digits, _ and - only, so no id can add a level or a wildcard; with at most
// four levels of root a topic never has more than seven.

inline constexpr int kMaxRootLevels = 4;
inline constexpr int kMaxClientIdLength = 23; // what every MQTT 3.1.1 broker must accept
inline constexpr auto kVerdictSchema = "qn-station-verdict/1";

bool IsPlantId(const QString &text);
// The text made an id: any other character becomes -, and an empty one "unknown".
QString PlantIdOf(const QString &text);
// The host name and the device's base name: "line3-pc-ttyUSB0".
QString DefaultStationId(const QString &hostName, const QString &device);
// A client id of at most 23 characters that stays the same for the same kind and station: the
// id itself when it fits, else its start and a digest of the whole.
QString ClientIdOf(const QString &kind, const QString &stationId);

QString StationTopic(const QString &root, const QString &stationId, const char *leaf);
QString CameraTopic(const QString &root, const QString &cameraId, const char *leaf);

enum class PresenceState { Online, Offline, Lost };

struct StationDescription {
    QString stationId;
    QString kind; // "station" or "watch"
    QString device;
    QString version;
};

QByteArray StatusPayload(const StationDescription &station, PresenceState state, const QDateTime &time, qint64 backlog);

struct CameraPresence {
    QString cameraId; // empty: no camera there
    QString model;
    QString firmware;
    QDateTime since;
};

QByteArray CameraPayload(const QString &stationId, const CameraPresence &camera);

struct TelemetryReading {
    QString cameraId;
    bool online = true;
    int rate = 0;
    int periodSeconds = 0;
    QDateTime time;
};

QByteArray TelemetryPayload(const QString &stationId, const TelemetryReading &reading, const CameraReadouts &readouts);

// A log record as a verdict message: the record with the station, its sequence number, the
// event id made of both, and the schema name, so that a subscriber can drop a second delivery.
void StampVerdictRecord(QJsonObject &record, const QString &stationId, qint64 sequence);
