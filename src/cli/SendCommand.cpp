#include <QJsonArray>

#include "cli/CliCommands.h"
#include "cli/CliReport.h"
#include "core/operations/RawLineExchange.h"

ExitStatus CheckSend(CameraSession &, const CliOptions &options)
{
    if (options.arguments.size() != 1)
        return UsageError(QStringLiteral("send: give one LINE (quote it)"));
    const QString problem = RawLineProblem(options.arguments.front());
    return problem.isEmpty() ? ExitStatus::Done : UsageError(QStringLiteral("send: ") + problem);
}

ExitStatus RunSend(CameraSession &session, const CliOptions &options, CliReport &report)
{
    const QString line = options.arguments.front();
    const std::optional<QStringList> received =
        ExchangeRawLine(session.command(), session.serialLink(), session.lineLog(), line,
                        static_cast<unsigned>(options.waitMs));
    const QStringList lines = received.value_or(QStringList());
    report.Json().insert(QStringLiteral("sent"), line);
    report.Json().insert(QStringLiteral("received"), QJsonArray::fromStringList(lines));
    for (const QString &text : lines)
        report.Line(text);
    return lines.isEmpty() ? ExitStatus::NoCamera : ExitStatus::Done;
}
