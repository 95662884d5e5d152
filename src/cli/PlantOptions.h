#pragma once

#include <cstdint>
#include <optional>

#include <QString>
#include <QStringList>

#include "core/plant/PlantReport.h"

// The options that put a station or a watcher on the plant's broker:
//   --mqtt mqtt[s]://[USER@]HOST[:PORT]/ROOT   --mqtt-ca FILE   --mqtt-password-file FILE
//   --station-id ID   --telemetry-every SECONDS
// The password comes from the file or from QNCTL_MQTT_PASSWORD, never from the command line.
struct PlantArguments {
    QString url;
    QString caFile;
    QString passwordFile;
    QString stationId;
    int telemetrySeconds = 10;
    bool Publishing() const { return !url.isEmpty(); }
};

inline constexpr auto kPasswordVariable = "QNCTL_MQTT_PASSWORD";
// Takes the plant option at arguments[index], if it is one: true when taken, with error set
// when its value is unusable.
bool TakePlantOption(const QStringList &arguments, int &index, PlantArguments &plant, QString &error);
// The options checked together: an error text, or empty.
QString PlantArgumentsProblem(const PlantArguments &plant);

// What the report needs; an error text when the URL, the password file or the id is unusable.
std::optional<PlantSettings> MakePlantSettings(const PlantArguments &plant, const QString &kind, const QString &device,
                                               const QString &logPath, QString &error);
// The station id given, or the default for this host and device.
QString StationIdFor(const PlantArguments &plant, const QString &device);
// Where a station's log goes when --mqtt is given without --log: the user's state folder.
QString DefaultStationLog(const QString &stationId);
