#include "cli/CliCommands.h"
#include "cli/CliReport.h"
#include "core/operations/CameraIdentity.h"

ExitStatus RunIdentify(CameraSession &session, const CliOptions &, CliReport &report)
{
    const CameraModel &model = session.cameraModel();
    report.Json().insert(QStringLiteral("model"), model.Name());
    report.Json().insert(QStringLiteral("modelCode"), model.Code());
    report.Line(QStringLiteral("%1: %2").arg(QStringLiteral("Model"), -17).arg(model.Name()));
    report.Line(QStringLiteral("%1: %2").arg(QStringLiteral("Model code"), -17).arg(model.Code()));
    const CameraIdentity identity = ReadCameraIdentity(session.command(), session.commandTable());
    for (std::size_t index = 0; index < kIdentityFields.size(); ++index) {
        const IdentityField &field = kIdentityFields[index];
        const QString &text = identity.texts[index];
        report.Json().insert(QString::fromLatin1(field.key), text);
        report.Line(QStringLiteral("%1: %2").arg(QString::fromLatin1(field.title), -17).arg(text));
    }
    return identity.firstFailure == Command::Outcome::None ? ExitStatus::Done
                                                           : StatusOfExchangeOutcome(identity.firstFailure);
}
