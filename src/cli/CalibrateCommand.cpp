#include "cli/CliCommands.h"
#include "cli/CliReport.h"

namespace {

std::optional<CameraProcedure> procedureOf(const CliOptions &options)
{
    return options.arguments.size() == 1 ? FindCameraProcedure(options.arguments.front()) : std::nullopt;
}

} // namespace

ExitStatus CheckCalibrate(CameraSession &session, const CliOptions &options)
{
    if (options.arguments.size() != 1)
        return UsageError(QStringLiteral("calibrate: give one NAME: %1").arg(CameraProcedureNames()));
    const QString problem = CheckProcedure(session, options.arguments.front());
    return problem.isEmpty() ? ExitStatus::Done : UsageError(QStringLiteral("calibrate ") + problem);
}

ExitStatus RunCalibrate(CameraSession &session, const CliOptions &options, CliReport &report)
{
    const CameraProcedure procedure = *procedureOf(options);
    const ProcedureResult result = RunCameraProcedure(session.command(), procedure);
    const ExitStatus status = StatusOfProcedure(result);
    if (result.failure != Command::Outcome::None) {
        report.SetReason(result.started ? QStringLiteral("the result was not read") : result.startFailure);
        return status;
    }
    report.Json().insert(QStringLiteral("procedure"), QLatin1String(InfoOf(procedure).name));
    report.Json().insert(QStringLiteral("code"), result.code);
    report.Json().insert(QStringLiteral("result"), result.text);
    report.Line(result.text);
    return status;
}
