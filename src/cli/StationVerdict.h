#pragma once

#include <optional>
#include <vector>

#include <QDateTime>
#include <QJsonObject>
#include <QString>

#include "core/operations/SettingFileCompare.h"

// What a provisioning station learnt about one camera, and the two forms it reports it in: a
// verdict line on standard output for the operator and for grep, and a JSON record for the log.

enum class StationResult {
    Ok,      // every value of the file read back as written
    Differs, // the camera holds other values, some could not be read, or the file has unreadable lines
    Unverified, // the file sets no parameter of this camera: nothing was loaded or compared
    Failed,  // lost on the way, or the flash store refused
    Stopped, // Ctrl-C before the camera was done
};

// One calibration the station ran, with the camera's result code and its text.
struct StationCalibration {
    QString procedure;
    int code = 0;
    QString result;
};

struct StationCamera {
    QString cameraId;
    QString userId;
    QString model;
    QString firmware;
    StationResult result = StationResult::Failed;
    QString reason; // why it failed or stopped
    std::vector<SettingDifference> differences;
    std::vector<UnreadableLine> unreadable; // lines of the file skipped for their value
    int refused = 0; // file lines the camera did not take
    std::optional<int> storedArea;
    std::vector<StationCalibration> calibrations; // those that ran, in order
};

// The setting file that the station loads into every camera.
struct StationFile {
    QString path;
    QByteArray sha256; // hex
};

// At most this many differences and unreadable lines are spelled out in a verdict line; the
// log has them all.
inline constexpr int kVerdictDifferences = 8;

// "OK|DIFF|NONE|FAIL|STOP CAMERA-ID MODEL FIRMWARE [details]": differences as
// "GA:file=150,camera=100" ("camera=?" when not read), then unreadable lines as
// "line 3 unreadable: GA=1O0", then the reason. An unknown field is "-";
// one with blanks is quoted, so the first four fields always split on blanks.
QString VerdictLine(const StationCamera &camera);

QJsonObject LogRecord(const StationCamera &camera, const QDateTime &time, const QString &device,
                      const StationFile &file);
