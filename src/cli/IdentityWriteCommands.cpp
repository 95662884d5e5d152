#include "cli/CliCommands.h"
#include "cli/CliReport.h"
#include "core/operations/CameraReadouts.h"
#include "core/operations/IdentityWrites.h"

// The writes of the identification windows and the counter reset of the camera's page, with the
// windows' rules and texts: a text the windows refuse is a usage error here, nothing is sent.

namespace {

ExitStatus statusOf(IdentityWrite write, const Command &command)
{
    switch (write) {
    case IdentityWrite::Written:
        return ExitStatus::Done;
    case IdentityWrite::NotSent:
        return ExitStatus::Usage;
    case IdentityWrite::Failed:
        break;
    }
    const ExitStatus status = StatusOfLastExchange(command);
    return status == ExitStatus::Done ? ExitStatus::Refused : status;
}

QString oneArgument(const CliOptions &options, const char *command, const char *what)
{
    return options.arguments.size() == 1
               ? QString()
               : QStringLiteral("%1: give %2 as one argument (quote it when it holds blanks)")
                     .arg(QLatin1String(command), QLatin1String(what));
}

} // namespace

ExitStatus CheckSetUserId(CameraSession &, const CliOptions &options)
{
    QString problem = oneArgument(options, "set-user-id", "the user id");
    if (problem.isEmpty())
        problem = UserIdRefusal(options.arguments[0]);
    return problem.isEmpty() ? ExitStatus::Done : UsageError(QStringLiteral("set-user-id: ") + problem);
}

ExitStatus RunSetUserId(CameraSession &session, const CliOptions &options, CliReport &report)
{
    const QString &text = options.arguments[0];
    const IdentityWrite write = SaveUserId(session.command(), session.dialogs(), text);
    report.Json().insert(QStringLiteral("userId"), text);
    return statusOf(write, session.command());
}

ExitStatus CheckSetCameraId(CameraSession &session, const CliOptions &options)
{
    // The windows offer the camera id in the extended mode only.
    if (!session.IsExtended())
        return UsageError(QStringLiteral("set-camera-id: the camera id is written in the extended mode (--mode extended)"));
    QString problem = oneArgument(options, "set-camera-id", "the camera id");
    if (problem.isEmpty() && !CameraIdFields(options.arguments[0]))
        problem = QStringLiteral("a camera id has ten characters, %1 has %2")
                      .arg(options.arguments[0])
                      .arg(options.arguments[0].size());
    if (problem.isEmpty())
        problem = CameraIdRefusal(options.arguments[0]);
    return problem.isEmpty() ? ExitStatus::Done : UsageError(QStringLiteral("set-camera-id: ") + problem);
}

ExitStatus RunSetCameraId(CameraSession &session, const CliOptions &options, CliReport &report)
{
    const QString &id = options.arguments[0];
    const IdentityWrite write = SaveCameraId(session.command(), session.dialogs(), *CameraIdFields(id));
    report.Json().insert(QStringLiteral("cameraId"), id);
    return statusOf(write, session.command());
}

ExitStatus CheckCounterReset(CameraSession &, const CliOptions &options)
{
    bool number = false;
    const int counter = options.arguments.value(0).toInt(&number);
    if (options.arguments.size() != 1 || !number || counter < 0 || counter >= kCameraCounters)
        return UsageError(QStringLiteral("counter-reset: give the counter, 0 to %1").arg(kCameraCounters - 1));
    return ExitStatus::Done;
}

ExitStatus RunCounterReset(CameraSession &session, const CliOptions &options, CliReport &report)
{
    const int counter = options.arguments[0].toInt();
    ResetCounter(session.command(), counter);
    const CounterReadout readout = ReadCounter(session.command(), counter);
    if (!readout.value)
        return StatusOfLastExchange(session.command());
    report.Json().insert(QStringLiteral("counter"), counter);
    report.Json().insert(QStringLiteral("value"), *readout.value);
    report.Json().insert(QStringLiteral("status"), readout.status);
    report.Line(QStringLiteral("Counter %1 = %2 (%3)").arg(counter).arg(*readout.value).arg(readout.status));
    return ExitStatus::Done;
}
