#include <array>

#include "cli/CliCommands.h"
#include "cli/CliReport.h"
#include "core/protocol/IdentityTexts.h"

namespace {

constexpr unsigned kReadMs = 1000;

struct IdentityField {
    const char *key;   // JSON key
    const char *title; // text output
    const char *mnemonic;
};

constexpr std::array<IdentityField, 5> kFields = {{
    {"firmware", "Firmware version", "VN"},
    {"fpga", "FPGA version", "FPVN"},
    {"deviceVersion", "Device version", "DV"},
    {"cameraId", "Camera id", "ID"},
    {"userId", "User id", "UD"},
}};

} // namespace

ExitStatus RunIdentify(CliSession &session, const CliOptions &, CliReport &report)
{
    Command &command = session.command();
    const CameraModel &model = session.cameraModel();
    report.Json().insert(QStringLiteral("model"), model.Name());
    report.Json().insert(QStringLiteral("modelCode"), model.Code());
    report.Line(QStringLiteral("%1: %2").arg(QStringLiteral("Model"), -17).arg(model.Name()));
    report.Line(QStringLiteral("%1: %2").arg(QStringLiteral("Model code"), -17).arg(model.Code()));
    ExitStatus status = ExitStatus::Done;
    for (const IdentityField &field : kFields) {
        QString text;
        const int id = session.commandTable().FindMnemonic(QString::fromLatin1(field.mnemonic));
        if (!command.QueryString(id, text, kReadMs) && status == ExitStatus::Done)
            status = StatusOfLastExchange(command);
        if (QLatin1String(field.key) == QLatin1String("deviceVersion") && !SplitDeviceVersion(text))
            text.clear(); // not a four-part version: shown as unknown, as the windows do
        report.Json().insert(QString::fromLatin1(field.key), text);
        report.Line(QStringLiteral("%1: %2").arg(QString::fromLatin1(field.title), -17).arg(text));
    }
    return status;
}
