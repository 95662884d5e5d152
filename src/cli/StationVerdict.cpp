#include "cli/StationVerdict.h"

#include <algorithm>
#include <array>

#include <QJsonArray>

namespace {

struct ResultName {
    const char *verdict;
    const char *log;
};

constexpr std::array<ResultName, 5> kResultNames = {{
    {"OK", "ok"},
    {"DIFF", "differs"},
    {"NONE", "nothing-verified"},
    {"FAIL", "failed"},
    {"STOP", "stopped"},
}};

const ResultName &nameOf(StationResult result)
{
    return kResultNames[static_cast<std::size_t>(result)];
}

QString field(const QString &text)
{
    if (text.isEmpty())
        return QStringLiteral("-");
    const bool plain = std::none_of(text.begin(), text.end(), [](QChar c) { return c.isSpace() || c == u'"'; });
    if (plain)
        return text;
    QString escaped = text;
    escaped.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('"'), QStringLiteral("\\\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

QString differenceText(const SettingDifference &difference)
{
    return QStringLiteral("%1:file=%2,camera=%3")
        .arg(difference.mnemonic)
        .arg(difference.fileValue)
        .arg(difference.cameraValue ? QString::number(*difference.cameraValue) : QStringLiteral("?"));
}

} // namespace

QString VerdictLine(const StationCamera &camera)
{
    QStringList parts = {QLatin1String(nameOf(camera.result).verdict), field(camera.cameraId), field(camera.model),
                         field(camera.firmware)};
    QStringList details;
    for (const SettingDifference &difference : camera.differences)
        details.append(differenceText(difference));
    for (const UnreadableLine &line : camera.unreadable)
        details.append(UnreadableLineText(line));
    parts.append(details.mid(0, kVerdictDifferences));
    if (details.size() > kVerdictDifferences)
        parts.append(QStringLiteral("+%1 more").arg(details.size() - kVerdictDifferences));
    if (!camera.reason.isEmpty())
        parts.append(camera.reason);
    return parts.join(QLatin1Char(' '));
}

QJsonObject LogRecord(const StationCamera &camera, const QDateTime &time, const QString &device,
                      const StationFile &file)
{
    QJsonArray differences;
    for (const SettingDifference &difference : camera.differences) {
        differences.append(QJsonObject{
            {QStringLiteral("mnemonic"), difference.mnemonic},
            {QStringLiteral("label"), difference.label},
            {QStringLiteral("file"), difference.fileValue},
            {QStringLiteral("camera"), difference.cameraValue ? QJsonValue(*difference.cameraValue) : QJsonValue()},
        });
    }
    QJsonArray unreadable;
    for (const UnreadableLine &line : camera.unreadable)
        unreadable.append(QJsonObject{{QStringLiteral("line"), line.lineNumber}, {QStringLiteral("text"), line.text}});
    QJsonObject record{
        {QStringLiteral("time"), time.toUTC().toString(Qt::ISODateWithMs)},
        {QStringLiteral("device"), device},
        {QStringLiteral("cameraId"), camera.cameraId},
        {QStringLiteral("userId"), camera.userId},
        {QStringLiteral("model"), camera.model},
        {QStringLiteral("firmware"), camera.firmware},
        {QStringLiteral("file"), file.path},
        {QStringLiteral("sha256"), QString::fromLatin1(file.sha256)},
        {QStringLiteral("result"), QLatin1String(nameOf(camera.result).log)},
        {QStringLiteral("differences"), differences},
        {QStringLiteral("unreadable"), unreadable},
        {QStringLiteral("refused"), camera.refused},
        {QStringLiteral("storedArea"), camera.storedArea ? QJsonValue(*camera.storedArea) : QJsonValue()},
    };
    if (!camera.reason.isEmpty())
        record.insert(QStringLiteral("reason"), camera.reason);
    if (!camera.calibrations.empty()) {
        QJsonArray calibrations;
        for (const StationCalibration &calibration : camera.calibrations) {
            calibrations.append(QJsonObject{{QStringLiteral("procedure"), calibration.procedure},
                                            {QStringLiteral("code"), calibration.code},
                                            {QStringLiteral("result"), calibration.result}});
        }
        record.insert(QStringLiteral("calibrations"), calibrations);
    }
    return record;
}
