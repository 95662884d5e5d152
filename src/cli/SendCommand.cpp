#include <QJsonArray>

#include "cli/CliCommands.h"
#include "cli/CliReport.h"
#include "core/common/LineLog.h"
#include "core/common/TickClock.h"

namespace {

// Keeps the lines the camera sends, as they arrived.
class ReceivedLines final : public LineLog {
public:
    void AddLogLine(const QString &line) override
    {
        if (line.startsWith(QLatin1String("Rx: ")))
            lines.append(line.mid(4));
    }
    QStringList lines;
};

} // namespace

ExitStatus CheckSend(CliSession &, const CliOptions &options)
{
    if (options.arguments.size() != 1)
        return UsageError(QStringLiteral("send: give one LINE (quote it)"));
    const QString line = options.arguments.front();
    if (line.contains(QLatin1Char('\r')) || line.contains(QLatin1Char('\n')))
        return UsageError(QStringLiteral("send: the line must not hold a line break"));
    bool latin1 = true;
    for (QChar c : line)
        latin1 = latin1 && c.unicode() < 256;
    if (!latin1)
        return UsageError(QStringLiteral("send: the line holds characters the camera's line cannot carry"));
    return ExitStatus::Done;
}

ExitStatus RunSend(CliSession &session, const CliOptions &options, CliReport &report)
{
    const QString line = options.arguments.front();
    ReceivedLines received;
    session.lineLog().Register(received);
    Command &command = session.command();
    command.ClearReceived();
    const bool sent = session.serialLink().SendLine((line + QStringLiteral("\r\n")).toLatin1());
    const TickClock clock;
    const std::uint32_t start = clock.Now();
    while (sent && clock.Since(start) < static_cast<std::uint32_t>(options.waitMs))
        command.ReceiveLine(true);
    session.lineLog().Unregister(received);

    report.Json().insert(QStringLiteral("sent"), line);
    report.Json().insert(QStringLiteral("received"), QJsonArray::fromStringList(received.lines));
    for (const QString &text : received.lines)
        report.Line(text);
    if (!sent)
        return ExitStatus::NoCamera;
    return received.lines.isEmpty() ? ExitStatus::NoCamera : ExitStatus::Done;
}
